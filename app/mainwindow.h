#pragma once

#include "damage.h"
#include "filestore.h"
#include "formdescription.h"
#include "formsurface.h"
#include "platform.h"

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

// The window's commands, written once for every front end, over the window's surface and its
// platform. A command that asks the player something changes nothing before its first question,
// and does the same when it runs again with the same answers: a page, which cannot wait for an
// answer, runs it again from the start once the player answers (web/conversation.h).
class MainCommands : public FormEvents {
public:
    MainCommands(FormSurface& form, Platform& platform) : form_(form), platform_(platform) {}

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

    // The ten boxes' texts exactly as they stand and the selected spell: what a calculation, the
    // planner, a character file and a link take.
    SpellInputs shown() const;

    // FormEvents
    void loaded() override { Form_Load(); }
    void clicked(ControlId id) override { click(id.as<MainControl>()); }
    void changed(ControlId id) override { change(id.as<MainControl>()); }
    bool pasting(ControlId box, std::size_t length) override {
        return pasteFits(box.as<MainControl>(), length);
    }
    bool takesFile(std::string_view path) const override;
    void dropped(const std::string& path) override { openCharacter(path); }
    bool closing() override { return Form_QueryUnload(); }

private:
    void setText(TextBox box, std::string_view text) { form_.setText(box.control(), text); }
    // The selected spell's name, or empty text when none is selected.
    std::string selectedSpell() const;
    // Selects the spell of that name in the list, or none for empty text.
    void selectSpell(std::string_view name);
    void tellPlanner();
    void open(const std::string& path);
    // Whether the player lets the window's character go: saved, or its edits given up.
    bool mayLeaveCharacter();
    bool saveTo(const std::string& path);
    // The caption names the character, with "*" before it while it has unsaved edits.
    void showCharacterName();
    void showEdits();
    void remember(const std::string& path);
    void showRecent();

    FormSurface& form_;
    Platform& platform_;
    // The character file the window holds, and its texts as they were last opened or saved.
    std::optional<std::string> path_;
    SpellInputs saved_;
    // The file as it stood when the window last read or wrote it; nothing where files carry no
    // stamp.
    std::optional<FileStamp> stamp_;
    std::vector<std::string> recent_;
    std::string caption_; // as last set; empty: the description's
};

} // namespace runetally
