#pragma once

#include "aboutdialog.h"
#include "formwindow.h"

namespace runetally::win32 {

// The About dialog drawn with the system's own controls: a fixed frame, modeless, without an
// owner and with a taskbar button of its own.
class frmAbout final : public FormWindow, public AboutView {
public:
    // identity fills the caption and labels on load. launcher, when given, stands in for the
    // desktop's own behind the System Info button and must outlive the dialog.
    explicit frmAbout(const AppIdentity& identity = BuildIdentity(),
                      SysInfoLauncher* launcher = nullptr);

    void Form_Load() { commands_.Form_Load(); }
    HWND control(AboutControl id) const { return controls().get(id); }

    // AboutView
    void setCaption(std::string_view text) override;
    void setLabel(AboutControl label, std::string_view text) override;
    void showMessage(std::string_view text) override;
    void unload() override;

private:
    ~frmAbout() override;
    void clicked(ControlId id) override;
    void unloaded() override;

    AboutCommands commands_;
    HICON icon_;
};

// The program's one About dialog.
FormInstance<frmAbout>& AboutForm();

} // namespace runetally::win32
