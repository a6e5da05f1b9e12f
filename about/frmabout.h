#pragma once

#include "windowservices.h"

#include <QDialog>

class QCloseEvent;
class QLabel;
class QPushButton;

namespace runetally {

class SysInfoPlatform;

// The About dialog: the application's title and version, the author's hints, a download warning,
// and a button that starts the system's information tool.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // identity fills the caption and labels on load. platform, when given, stands in for the
    // desktop's own behind the System Info button and must outlive the dialog.
    explicit frmAbout(const AppIdentity& identity = BuildIdentity(),
                      SysInfoPlatform* platform = nullptr);

    // Writes the caption, the version and the title; runs each time the dialog is loaded.
    void Form_Load();
    // Unloads the dialog, as its close box does.
    void cmdOK_Click();
    // Starts the system-information tool or tells why it cannot; the dialog stays as it is.
    void cmdSysInfo_Click();

protected:
    // OK is the cancel button: Esc presses it wherever the focus is.
    void reject() override;
    // Closing unloads the dialog at once, whichever way it is asked for.
    void closeEvent(QCloseEvent* event) override;

private:
    AppIdentity identity_;
    SysInfoPlatform* platform_;
    QLabel* picIcon_;
    QPushButton* cmdOK_;
    QPushButton* cmdSysInfo_;
    QLabel* lblDescription_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* lblDisclaimer_;
};

// The program's one About dialog.
FormInstance<frmAbout>& AboutForm();

} // namespace runetally
