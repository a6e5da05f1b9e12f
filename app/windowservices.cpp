#include "windowservices.h"

#include <QMessageBox>

namespace runetally {

const AppIdentity& BuildIdentity() {
    static const AppIdentity identity{QStringLiteral(RUNETALLY_TITLE), RUNETALLY_VERSION_MAJOR,
                                      RUNETALLY_VERSION_MINOR, RUNETALLY_VERSION_PATCH};
    return identity;
}

void ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, BuildIdentity().title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace runetally
