#pragma once

#include "formdescription.h"
#include "formsurface.h"
#include "platform.h"
#include "sysinfo.h"
#include "windowservices.h"

#include <array>
#include <optional>
#include <string_view>

namespace runetally {

// The dialog's controls, in its creation order: later widgets lie above earlier ones. The two
// lines are the control array Line1, indexes 1 and 0.
// clang-format off
#define RUNETALLY_ABOUT_CONTROLS(X)                                                                \
    X(picIcon) X(cmdOK) X(cmdSysInfo) X(Line1_1) X(lblDescription) X(lblTitle) X(Line1_0)          \
    X(lblVersion) X(lblDisclaimer)
// clang-format on
RUNETALLY_CONTROLS(AboutControl, RUNETALLY_ABOUT_CONTROLS)

// The About dialog: the application's title and version, the author's hints, a download warning,
// an OK button and a button that starts the system's information tool.
const FormDesc& AboutDescription();

// picIcon's picture: 32 x 32 pixels, one character each, in the colours of the palette below;
// a character the palette maps to no colour is transparent.
inline constexpr int kIconSize = 32;
const std::array<std::string_view, kIconSize>& AboutIconRows();
std::optional<Rgb> AboutIconColour(char pixel);

// The dialog's load step and its two buttons, written once for every front end.
class AboutCommands : public FormEvents {
public:
    // launcher, when given, stands in for the desktop's own behind System Info and must outlive
    // the commands.
    AboutCommands(FormSurface& form, Platform& platform,
                  const AppIdentity& identity = BuildIdentity(),
                  SysInfoLauncher* launcher = nullptr)
        : form_(form), platform_(platform), identity_(identity), launcher_(launcher) {}

    // Writes the caption, the version and the title; runs each time the dialog is loaded.
    void Form_Load();
    // Unloads the dialog, as its close box does.
    void cmdOK_Click();
    // Starts the system-information tool or tells why it cannot; the dialog stays as it is.
    void cmdSysInfo_Click();

    // Runs the command of that button; false for a control that has none.
    bool click(AboutControl control);

    // FormEvents
    void loaded() override { Form_Load(); }
    void clicked(ControlId id) override { click(id.as<AboutControl>()); }

private:
    FormSurface& form_;
    Platform& platform_;
    AppIdentity identity_;
    SysInfoLauncher* launcher_;
};

} // namespace runetally
