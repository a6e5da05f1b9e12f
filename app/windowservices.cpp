#include "windowservices.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace runetally {

const AppIdentity& BuildIdentity() {
    static const AppIdentity identity{QStringLiteral(RUNETALLY_TITLE), RUNETALLY_VERSION_MAJOR,
                                      RUNETALLY_VERSION_MINOR, RUNETALLY_VERSION_PATCH};
    return identity;
}

QLabel* CreateLabel(QWidget* parent, const QString& name, const QRect& box, const QString& text) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(box);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setText(text);
    return label;
}

void ShowMessage(const QString& text) {
    // The box has no owner, so nothing hands the keyboard back to the window the player was
    // working in when it closes; that window is activated again here, its focus widget intact.
    const QPointer<QWidget> active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, BuildIdentity().title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (active && active->isVisible()) {
        active->activateWindow();
    }
}

} // namespace runetally
