#pragma once

#include "aboutdialog.h"
#include "formwindow.h"

namespace runetally::win32 {

// The About dialog drawn with the system's own controls: a fixed frame, modeless, without an
// owner and with a taskbar button of its own.
class AboutBox final : public FormWindow, public AboutView {
public:
    // identity fills the caption and labels on load. platform, when given, stands in for the
    // desktop's own behind the System Info button and must outlive the dialog.
    explicit AboutBox(const AppIdentity& identity = BuildIdentity(),
                      SysInfoLauncher* platform = nullptr);

    void Form_Load() { commands_.Form_Load(); }

    // AboutView
    void setCaption(std::string_view text) override;
    void setLabel(std::string_view label, std::string_view text) override;
    void showMessage(std::string_view text) override;
    void unload() override;

private:
    ~AboutBox() override;
    void clicked(std::string_view name) override;
    void unloaded() override;

    AboutCommands commands_;
    HICON icon_;
};

// The program's one About dialog.
FormInstance<AboutBox>& AboutForm();

} // namespace runetally::win32
