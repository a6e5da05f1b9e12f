#include "frmabout.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace runetally {
namespace {

const FormDesc& Form() {
    return AboutDescription();
}

QPixmap IconPixmap() {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32);
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            const std::optional<Rgb> colour = AboutIconColour(AboutIconRows()[y][x]);
            image.setPixel(x, y, colour ? qRgb(colour->red, colour->green, colour->blue) : 0);
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

frmAbout::frmAbout(const AppIdentity& identity, SysInfoLauncher* launcher)
    : QDialog(nullptr), commands_(*this, identity, launcher),
      widgets_(this, Form(),
               {.clicked = [this](ControlId id) { commands_.click(id.as<AboutControl>()); }}) {
    setObjectName(ToQString(Form().name));
    // A fixed frame that keeps its close box. A plain window rather than a dialog: X11 window
    // managers keep a dialog above the rest of its program, and this one has no owner.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const QRect client = ToPixels({Form().screenPosition->x, Form().screenPosition->y,
                                   Form().clientWidth, Form().clientHeight});
    setFixedSize(client.size());
    setGeometry(client);

    widgets_.get<QLabel>(AboutControl::picIcon)->setPixmap(IconPixmap());
    widgets_.setFocusOrder();
}

void frmAbout::activate() {
    show();
    raise();
    activateWindow();
}

void frmAbout::setCaption(std::string_view text) {
    setWindowTitle(ToQString(text));
}

void frmAbout::setLabel(AboutControl label, std::string_view text) {
    widgets_.get<QLabel>(label)->setText(ToQString(text));
}

void frmAbout::showMessage(std::string_view text) {
    ShowMessage(ToQString(text));
}

void frmAbout::unload() {
    close();
}

void frmAbout::reject() {
    widgets_.get<QPushButton>(AboutControl::cmdOK)->click();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    // QDialog would route the close through reject(), which presses OK and closes again.
    event->accept();
    AboutForm().unloaded(this);
}

FormInstance<frmAbout>& AboutForm() {
    static FormInstance<frmAbout> instance([] {
        frmAbout* dialog = NewSharedForm(AboutForm());
        dialog->Form_Load();
        return dialog;
    });
    return instance;
}

} // namespace runetally
