#pragma once

#include "damage.h"
#include "formdescription.h"
#include "localeseparator.h"
#include "windowservices.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace runetally {

// The calculator window's controls: its widgets in drawing order, then its menus and their items.
// clang-format off
#define RUNETALLY_MAIN_CONTROLS(X)                                                                 \
    X(Label1) X(varWis) X(Label2) X(varInt) X(Label3) X(varResist)                                 \
    X(Label4) X(powerLight) X(Label5) X(powerEarth) X(Label6) X(powerFire)                         \
    X(Label7) X(powerAir) X(Label8) X(powerWater) X(Label9) X(powerDark)                           \
    X(Label11) X(varLevel) X(cmdCalculate) X(listSpells) X(Label10) X(dmg)                         \
    X(mnuFile) X(mnuReset) X(mnuExit) X(mnuTools) X(mnuPlanner)                                   \
    X(mnuHelp) X(mnuAbout) X(mnuHelpme)
// clang-format on
RUNETALLY_CONTROLS(MainControl, RUNETALLY_MAIN_CONTROLS)

// The calculator window: ten input boxes, the spell list, the calculate button, the result box
// and the File, Tools and Help menus.
const FormDesc& MainWindowDescription();

// The box that holds a field's text.
MainControl BoxOf(Field field);

// The ten input boxes from top to bottom, as the window shows them.
inline constexpr std::array<Field, kFieldCount> kInputsTopDown{
    Field::varWis,    Field::varInt,   Field::varResist,  Field::powerLight, Field::powerEarth,
    Field::powerFire, Field::powerAir, Field::powerWater, Field::powerDark,  Field::varLevel};

// The caption that names a field's box: "Inteligence" for varInt.
std::string_view CaptionOf(Field field);

// One of the window's eleven text boxes: an input box, named by its field, or the result box.
class TextBox {
public:
    TextBox(Field field) : control_(BoxOf(field)) {}
    static constexpr TextBox Result() { return TextBox(MainControl::dmg); }

    MainControl control() const { return control_; }

private:
    constexpr explicit TextBox(MainControl control) : control_(control) {}
    MainControl control_;
};

inline constexpr TextBox kResultBox = TextBox::Result();

// The most an input box holds, as a Windows edit box by default: a box that held megabytes kept
// the window busy laying the text out again on every paint, for seconds with each key.
inline constexpr int kInputLimit = 32767;

inline constexpr std::string_view kHelpMeText = "Sorry, but this feature is not implemented yet";

// What the player is told when a calculation fails; a box is named by its caption.
std::string FailureMessage(const DamageFailure& failure);

// A window that follows the main window as it is edited: the input boxes' texts exactly as they
// stand and the selected spell's name. It is told; it never changes the main window.
class MainFollower {
public:
    virtual ~MainFollower() = default;
    virtual void follow(const SpellInputs& inputs) = 0;
};

// The main window as its commands see it; a front end implements it over its widgets.
class MainView : public FormView {
public:
    // An input box's text exactly as it stands.
    virtual std::string text(Field field) const = 0;
    virtual void setText(TextBox box, std::string_view text) = 0;
    // The selected spell's text, or empty text when none is selected.
    virtual std::string selectedSpell() const = 0;
    // Shows the About dialog, modeless and without an owner.
    virtual void showAbout() = 0;
    // Shows the spell planner, modeless and without an owner, loading it first when needed.
    virtual void showPlanner() = 0;
    // The spell planner while it is loaded, else null.
    virtual MainFollower* planner() = 0;
    // The decimal separator of the player's regional settings.
    virtual char decimalSeparator() const { return UserDecimalSeparator(); }
};

// The window's commands, written once for every front end.
class MainCommands {
public:
    explicit MainCommands(MainView& view) : view_(view) {}

    void cmdCalculate_Click();
    void mnuReset_Click();
    void mnuExit_Click();
    void mnuPlanner_Click();
    void mnuAbout_Click();
    void mnuHelpme_Click();

    // A front end reports every change of an input box's text, the program's own included, and
    // of the spell list's selection: the planner follows them while it is loaded.
    void input_Change();
    void listSpells_Click();

    // Runs the command of that button or menu item; false for a control that has none.
    bool click(MainControl control);
    // Runs what follows a change of that box's text or of the list's selection; false for a
    // control whose change runs nothing.
    bool change(MainControl control);

    // Whether a paste may go ahead that would leave the box `length` characters long. One that
    // would take the box past its limit is refused whole, and the player is told: cut short, it
    // could change the number without a word.
    bool pasteFits(MainControl box, std::size_t length);

private:
    void tellPlanner();

    MainView& view_;
};

} // namespace runetally
