#pragma once

#include "characterview.h"
#include "damage.h"
#include "filestore.h"
#include "formdescription.h"
#include "localeseparator.h"
#include "windowservices.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// The calculator window's controls: its widgets in drawing order, then its menus and their items.
// clang-format off
#define RUNETALLY_MAIN_CONTROLS(X)                                                                 \
    X(Label1) X(varWis) X(Label2) X(varInt) X(Label3) X(varResist)                                 \
    X(Label4) X(powerLight) X(Label5) X(powerEarth) X(Label6) X(powerFire)                         \
    X(Label7) X(powerAir) X(Label8) X(powerWater) X(Label9) X(powerDark)                           \
    X(Label11) X(varLevel) X(cmdCalculate) X(listSpells) X(Label10) X(dmg)                         \
    X(mnuFile) X(mnuOpen) X(mnuSave) X(mnuSaveAs) X(mnuRecent1) X(mnuRecent2) X(mnuRecent3)        \
    X(mnuRecent4) X(mnuReset) X(mnuExit) X(mnuTools) X(mnuPlanner)                                 \
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
class MainView : public FormView, public CharacterPicker {
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

    // Selects the spell of that name in the list, or none for empty text.
    virtual void selectSpell(std::string_view name) = 0;
    virtual void setCaption(std::string_view caption) = 0;
    // Shows a menu item with that caption, or leaves it out of its menu.
    virtual void setMenuItem(MainControl item, std::string_view caption, bool shown) = 0;
    // Asks the question with Yes, No and Cancel buttons; closing the box is Cancel.
    virtual SaveAnswer askToSave(std::string_view question) = 0;
    // Asks the question with Yes and No buttons; closing the box is No.
    virtual bool askYesNo(std::string_view question) = 0;
    // The file to save the character in, from the system's save dialog that offers
    // `suggestedName`: a name, or the full path of the character's file, whose folder the dialog
    // opens in. Nothing when the player cancels.
    virtual std::optional<std::string> chooseCharacterToSave(std::string_view suggestedName) = 0;
    // The recent list, most recent first, as the platform's settings keep it between runs.
    virtual std::vector<std::string> recentCharacters() const = 0;
    virtual void keepRecentCharacters(std::span<const std::string> paths) = 0;
};

// The window's commands, written once for every front end.
class MainCommands {
public:
    explicit MainCommands(MainView& view) : view_(view) {}

    // Once the window's widgets stand: shows the recent list.
    void Form_Load();
    // Whether the window may close: with unsaved edits to a character, the player is asked to
    // save them first. Exit asks it; a front end asks it before any other close.
    bool Form_QueryUnload();
    // Whether the inputs or the spell differ from those of the character file the window holds:
    // what Form_QueryUnload asks about, for a front end that cannot ask, only warn.
    bool hasUnsavedEdits() const;

    void cmdCalculate_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuRecent_Click(int place); // 0 for the most recent
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

    // Opens the character in that file, as Open does once the file is chosen: from the command
    // line, or dropped on the window.
    void openCharacter(const std::string& path);

private:
    void tellPlanner();
    void open(const std::string& path);
    // The ten boxes' texts exactly as they stand and the selected spell: what a calculation, the
    // planner and a character file take.
    SpellInputs shown() const;
    // Whether the player lets the window's character go: saved, or its edits given up.
    bool mayLeaveCharacter();
    bool saveTo(const std::string& path);
    void showCharacterName();
    void remember(const std::string& path);
    void showRecent();

    MainView& view_;
    // The character file the window holds, and its texts as they were last opened or saved.
    std::optional<std::string> path_;
    SpellInputs saved_;
    // The file as it stood when the window last read or wrote it; nothing where files carry no
    // stamp.
    std::optional<FileStamp> stamp_;
    std::vector<std::string> recent_;
};

} // namespace runetally
