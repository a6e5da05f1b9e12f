#pragma once

#include "aboutdialog.h"
#include "formwidgets.h"

#include <QDialog>

class QCloseEvent;

namespace runetally {

// The About dialog drawn by Qt.
class frmAbout : public QDialog, public AboutView {
    Q_OBJECT

public:
    // identity fills the caption and labels on load. launcher, when given, stands in for the
    // desktop's own behind the System Info button and must outlive the dialog.
    explicit frmAbout(const AppIdentity& identity = BuildIdentity(),
                      SysInfoLauncher* launcher = nullptr);

    void Form_Load() { commands_.Form_Load(); }

    // What the dialog's one shared instance asks of it.
    void activate();
    using QDialog::close;

    // AboutView
    void setCaption(std::string_view text) override;
    void setLabel(AboutControl label, std::string_view text) override;
    void showMessage(std::string_view text) override;
    void unload() override;

protected:
    // OK is the cancel button: Esc presses it wherever the focus is.
    void reject() override;
    // Closing unloads the dialog at once, whichever way it is asked for.
    void closeEvent(QCloseEvent* event) override;

private:
    AboutCommands commands_;
    FormWidgets<AboutControl> widgets_;
};

// The program's one About dialog.
FormInstance<frmAbout>& AboutForm();

} // namespace runetally
