#pragma once

#include "damage.h"
#include "formdescription.h"
#include "localeseparator.h"
#include "windowservices.h"

#include <string>
#include <string_view>

namespace runetally {

// The calculator window: ten input boxes, the spell list, the calculate button, the result box
// and the File and Help menus.
const FormDesc& MainWindowDescription();

// The name of the box that holds a field's text ("varInt", ...) and of the result box.
std::string_view BoxName(Field field);
inline constexpr std::string_view kResultBox = "dmg";

// The most an input box holds, as a Windows edit box by default: a box that held megabytes kept
// the window busy laying the text out again on every paint, for seconds with each key.
inline constexpr int kInputLimit = 32767;

inline constexpr std::string_view kHelpMeText = "Sorry, but this feature is not implemented yet";

// What the player is told when a calculation fails; a box is named by its caption.
std::string FailureMessage(const DamageFailure& failure);

// The main window as its commands see it; a front end implements it over its widgets.
class MainView : public FormView {
public:
    // A box's text exactly as it stands.
    virtual std::string text(std::string_view box) const = 0;
    virtual void setText(std::string_view box, std::string_view text) = 0;
    // The selected spell's text, or empty text when none is selected.
    virtual std::string selectedSpell() const = 0;
    // Shows the About dialog, modeless and without an owner.
    virtual void showAbout() = 0;
    // The decimal separator of the player's regional settings.
    virtual char decimalSeparator() const { return UserDecimalSeparator(); }
};

// The window's five commands, written once for every front end.
class MainCommands {
public:
    explicit MainCommands(MainView& view) : view_(view) {}

    void cmdCalculate_Click();
    void mnuReset_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuHelpme_Click();

    // Runs the command of the button or menu item of that name; false for any other name.
    bool click(std::string_view control);

private:
    MainView& view_;
};

} // namespace runetally
