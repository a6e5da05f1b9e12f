#pragma once

#include "aboutdialog.h"
#include "formpage.h"

namespace runetally::web {

// What a page can show for System Info: the facts the browser tells about itself and its
// system, in a message of the About dialog's.
class BrowserInfo : public SysInfoLauncher {
public:
    explicit BrowserInfo(FormView& view) : view_(view) {}
    std::optional<std::string> findTool() override;
    void start(const std::string& program) override;

private:
    FormView& view_;
};

// The About dialog drawn into the page.
class frmAbout : public AboutView {
public:
    frmAbout();

    AboutCommands& commands() { return commands_; }

    void activate();
    void close();

    // AboutView
    void setCaption(std::string_view text) override;
    void setLabel(AboutControl label, std::string_view text) override;
    void showMessage(std::string_view text) override;
    void unload() override;

private:
    BrowserInfo browserInfo_{*this};
    AboutCommands commands_;
    FormPage form_;
};

} // namespace runetally::web
