#include "mainwindow.h"

#include "characterfile.h"
#include "filestore.h"
#include "spelltable.h"

#include <algorithm>
#include <array>
#include <string>

namespace runetally {
namespace {

constexpr FontDesc kDamageFont{"Zelkor Beaulieux", 24};

using enum MainControl;

constexpr WidgetDesc Caption(MainControl label, std::string_view text, MainControl box,
                             TwipsRect rect) {
    return {.id = label, .kind = WidgetKind::Label, .rect = rect, .text = text, .buddy = box};
}

constexpr WidgetDesc Box(MainControl box, std::string_view text, TwipsRect rect) {
    return {.id = box,
            .kind = WidgetKind::TextBox,
            .rect = rect,
            .text = text,
            .maxLength = kInputLimit};
}

// The spell list's items: every spell, in the table's order.
const std::array<std::string_view, kSpellCount> kSpellNames = [] {
    std::array<std::string_view, kSpellCount> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = SpellTable[i].name;
    }
    return names;
}();

// Each caption is created just before its box: Windows screen readers name a box after the
// static text that precedes it.
constexpr std::array kWidgets{
    Caption(Label1, "Wisdom", varWis, {120, 360, 615, 255}),
    Box(varWis, "100", {1560, 360, 1695, 285}),
    Caption(Label2, "Inteligence", varInt, {120, 840, 1095, 375}),
    Box(varInt, "100", {1560, 960, 1695, 285}),
    Caption(Label3, "Target Elemental Resist", varResist, {120, 1440, 855, 615}),
    Box(varResist, "100", {1560, 1560, 1695, 285}),
    Caption(Label4, "Light Power", powerLight, {120, 2520, 975, 255}),
    Box(powerLight, "100", {1560, 2520, 1695, 285}),
    Caption(Label5, "Earth Power", powerEarth, {120, 3000, 975, 255}),
    Box(powerEarth, "100", {1560, 3000, 1695, 285}),
    Caption(Label6, "Fire Power", powerFire, {120, 3480, 975, 255}),
    Box(powerFire, "100", {1560, 3480, 1695, 285}),
    Caption(Label7, "Air Power", powerAir, {120, 3960, 975, 255}),
    Box(powerAir, "100", {1560, 3960, 1695, 285}),
    Caption(Label8, "Water Power", powerWater, {120, 4440, 975, 255}),
    Box(powerWater, "100", {1560, 4440, 1695, 285}),
    Caption(Label9, "Dark Power", powerDark, {120, 4920, 975, 255}),
    Box(powerDark, "100", {1560, 4920, 1695, 285}),
    Caption(Label11, "Level", varLevel, {120, 5520, 1095, 255}),
    Box(varLevel, "99", {1560, 5520, 1695, 285}),
    WidgetDesc{.id = cmdCalculate,
               .kind = WidgetKind::PushButton,
               .rect = {5160, 360, 2895, 855},
               .text = "Calculate The Damage"},
    WidgetDesc{.id = listSpells,
               .kind = WidgetKind::ListBox,
               .rect = {3600, 1800, 3135, 2595},
               .accessibleName = "Spells",
               .items = kSpellNames},
    WidgetDesc{.id = Label10,
               .kind = WidgetKind::Label,
               .rect = {4800, 5280, 2535, 615},
               .text = "DAMAGE",
               .buddy = dmg,
               .font = &kDamageFont},
    WidgetDesc{.id = dmg,
               .kind = WidgetKind::TextBox,
               .rect = {4440, 5880, 3495, 735},
               .text = "0",
               .readOnly = true},
};

constexpr std::array<ControlId, 13> kFocusOrder{
    varResist,  varWis,    varInt,     powerLight, powerEarth,   powerFire, powerAir,
    powerWater, powerDark, listSpells, dmg,        cmdCalculate, varLevel};

constexpr MenuItemDesc Recent(MainControl item) {
    return {.id = item, .caption = {}, .hidden = true};
}

constexpr std::array<MenuItemDesc, 9> kFileItems{
    {{mnuOpen, "&Open Character...", {.key = 'O', .control = true}},
     {mnuSave, "&Save Character", {.key = 'S', .control = true}},
     {mnuSaveAs, "Save Character &As...", {.key = 'S', .control = true, .shift = true}},
     Recent(mnuRecent1),
     Recent(mnuRecent2),
     Recent(mnuRecent3),
     Recent(mnuRecent4),
     {.id = mnuReset, .caption = "&Reset", .separatorBefore = true},
     {mnuExit, "&Exit"}}};
constexpr std::array kRecentItems{mnuRecent1, mnuRecent2, mnuRecent3, mnuRecent4};
constexpr std::array<MenuItemDesc, 1> kToolsItems{
    {{mnuPlanner, "Spell &Planner...", {.key = 'P', .control = true}}}};
constexpr std::array<MenuItemDesc, 2> kHelpItems{{{mnuAbout, "&About"}, {mnuHelpme, "Help &Me"}}};
constexpr std::array<MenuDesc, 3> kMenus{{{mnuFile, "&File", kFileItems},
                                          {mnuTools, "&Tools", kToolsItems},
                                          {mnuHelp, "&Help", kHelpItems}}};

constexpr FormDesc kMainWindow{.name = "frmMain",
                               .caption = "Velmoranth's Zelkor Runetally",
                               .clientWidth = 9330,
                               .clientHeight = 7140,
                               .controlNames = ControlNames(MainControl{}),
                               .widgets = kWidgets,
                               .focusOrder = kFocusOrder,
                               .menus = kMenus};
static_assert(FollowsItsList(kMainWindow));

} // namespace

const FormDesc& MainWindowDescription() {
    return kMainWindow;
}

MainControl BoxOf(Field field) {
    switch (field) {
    case Field::varLevel:
        return MainControl::varLevel;
    case Field::varInt:
        return MainControl::varInt;
    case Field::varWis:
        return MainControl::varWis;
    case Field::varResist:
        return MainControl::varResist;
    case Field::powerLight:
        return MainControl::powerLight;
    case Field::powerEarth:
        return MainControl::powerEarth;
    case Field::powerFire:
        return MainControl::powerFire;
    case Field::powerAir:
        return MainControl::powerAir;
    case Field::powerWater:
        return MainControl::powerWater;
    case Field::powerDark:
        return MainControl::powerDark;
    }
    return MainControl::varLevel;
}

std::string_view CaptionOf(Field field) {
    return AccessibleName(kMainWindow, kMainWindow.widget(BoxOf(field)));
}

std::string FailureMessage(const DamageFailure& failure) {
    if (const auto* bad = std::get_if<BadInput>(&failure)) {
        const WidgetDesc* box = &kMainWindow.widget(BoxOf(bad->field));
        return "The text in \"" + std::string(AccessibleName(kMainWindow, *box)) +
               "\" is not a number.";
    }
    switch (std::get<ArithmeticFault>(failure)) {
    case ArithmeticFault::DivideByZero:
        return "A value was divided by zero.";
    case ArithmeticFault::InvalidOperation:
        return "Zero was divided by zero.";
    case ArithmeticFault::Overflow:
        return "The result is too large.";
    }
    return "The damage could not be calculated.";
}

void MainCommands::cmdCalculate_Click() {
    const DamageResult result = CalculateDamage(shown(), platform_.decimalSeparator());
    if (const auto* failure = std::get_if<DamageFailure>(&result)) {
        platform_.showMessage(FailureMessage(*failure));
        return;
    }
    const auto& outcome = std::get<DamageOutcome>(result);
    if (outcome.kind == DamageOutcome::Kind::ShowText) {
        setText(kResultBox, outcome.text);
    }
}

void MainCommands::mnuReset_Click() {
    const TextBox boxes[] = {kResultBox,        Field::powerLight, Field::powerEarth,
                             Field::powerWater, Field::powerAir,   Field::powerFire,
                             Field::powerDark,  Field::varResist,  Field::varWis,
                             Field::varInt,     Field::varLevel};
    for (const TextBox& box : boxes) {
        setText(box, "0");
    }
}

void MainCommands::mnuExit_Click() {
    if (Form_QueryUnload()) {
        form_.close();
    }
}

void MainCommands::Form_Load() {
    recent_ = platform_.recentFiles();
    if (recent_.size() > kRecentItems.size()) {
        recent_.resize(kRecentItems.size());
    }
    showRecent();
}

bool MainCommands::Form_QueryUnload() {
    return mayLeaveCharacter();
}

void MainCommands::mnuOpen_Click() {
    if (!mayLeaveCharacter()) {
        return;
    }
    if (const std::optional<std::string> path = platform_.chooseFileToOpen()) {
        open(*path);
    }
}

void MainCommands::mnuSave_Click() {
    if (path_) {
        saveTo(*path_);
    } else {
        mnuSaveAs_Click();
    }
}

void MainCommands::mnuSaveAs_Click() {
    // The character's own file, so that the dialog opens in its folder.
    const std::string suggested = path_ ? *path_ : "Untitled.rtchar";
    if (const std::optional<std::string> path = platform_.chooseFileToSave(suggested)) {
        saveTo(*path);
    }
}

void MainCommands::mnuRecent_Click(int place) {
    if (place < 0 || static_cast<std::size_t>(place) >= recent_.size() || !mayLeaveCharacter()) {
        return;
    }
    const std::string path = recent_[static_cast<std::size_t>(place)];
    if (CharacterFileIsGone(path)) {
        recent_.erase(recent_.begin() + place);
        platform_.keepRecentFiles(recent_);
        showRecent();
        platform_.showMessage(FileNameOf(path) +
                              " is no longer there, so it was taken off the recent list.");
        return;
    }
    open(path);
}

void MainCommands::openCharacter(const std::string& path) {
    if (mayLeaveCharacter()) {
        open(path);
    }
}

void MainCommands::open(const std::string& path) {
    // Taken before reading: a change made meanwhile is then asked about at the next save rather
    // than overwritten.
    std::optional<FileStamp> stamp = FileStampOf(path);
    auto opened = OpenCharacter(path, platform_.decimalSeparator());
    if (const auto* message = std::get_if<std::string>(&opened)) {
        platform_.showMessage(*message);
        return;
    }
    const Character& character = std::get<Character>(opened);
    for (Field field : kInputsTopDown) {
        setText(field, character.text(field));
    }
    selectSpell(character.spellName);
    // The damage shown was worked out for other inputs.
    setText(kResultBox, "0");
    tellPlanner();
    path_ = path;
    saved_ = shown();
    stamp_ = stamp;
    showCharacterName();
    remember(path);
}

std::string MainCommands::selectedSpell() const {
    const int place = form_.selected(listSpells);
    return place < 0 ? std::string()
                     : std::string(SpellTable[static_cast<std::size_t>(place)].name);
}

void MainCommands::selectSpell(std::string_view name) {
    const auto found =
        std::find_if(SpellTable.begin(), SpellTable.end(),
                     [name](const SpellFormula& spell) { return spell.name == name; });
    form_.select(listSpells,
                 found == SpellTable.end() ? -1 : static_cast<int>(found - SpellTable.begin()));
}

bool MainCommands::takesFile(std::string_view path) const {
    return HasCharacterExtension(path);
}

SpellInputs MainCommands::shown() const {
    SpellInputs inputs;
    inputs.spellName = selectedSpell();
    for (Field field : kInputsTopDown) {
        inputs.text(field) = form_.text(BoxOf(field));
    }
    return inputs;
}

bool MainCommands::hasUnsavedEdits() const {
    return path_ && shown() != saved_;
}

bool MainCommands::mayLeaveCharacter() {
    if (!hasUnsavedEdits()) {
        return true;
    }
    static constexpr Answer kAnswers[] = {Answer::Yes, Answer::No, Answer::Cancel};
    switch (
        platform_.ask("Save changes to " + CharacterName(*path_) + "?", kAnswers, Answer::Yes)) {
    case Answer::Yes:
        return saveTo(*path_);
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

bool MainCommands::saveTo(const std::string& path) {
    // Another window or program may have written the file since; a file deleted since is simply
    // written again.
    if (path_ == path && stamp_) {
        const std::optional<FileStamp> now = FileStampOf(path);
        static constexpr Answer kAnswers[] = {Answer::Yes, Answer::No};
        if (now && *now != *stamp_ &&
            platform_.ask(FileNameOf(path) +
                              " has changed on disk since it was opened. Replace it?",
                          kAnswers, Answer::No) != Answer::Yes) {
            return false;
        }
    }
    const SpellInputs inputs = shown();
    if (auto message = SaveCharacter(path, inputs, platform_.decimalSeparator())) {
        platform_.showMessage(*message);
        return false;
    }
    path_ = path;
    saved_ = inputs;
    stamp_ = FileStampOf(path);
    showCharacterName();
    remember(path);
    return true;
}

void MainCommands::showCharacterName() {
    // "*" marks unsaved edits, as editors do; only a change of it is drawn.
    std::string caption = std::string(hasUnsavedEdits() ? "*" : "") + CharacterName(*path_) +
                          " - " + std::string(kMainWindow.caption);
    if (caption != caption_) {
        form_.setCaption(caption);
        caption_ = std::move(caption);
    }
}

void MainCommands::remember(const std::string& path) {
    std::erase(recent_, path);
    recent_.insert(recent_.begin(), path);
    if (recent_.size() > kRecentItems.size()) {
        recent_.resize(kRecentItems.size());
    }
    platform_.keepRecentFiles(recent_);
    showRecent();
}

void MainCommands::showRecent() {
    for (std::size_t i = 0; i < kRecentItems.size(); ++i) {
        if (i >= recent_.size()) {
            form_.setMenuItem(kRecentItems[i], {}, false);
            continue;
        }
        // "&" in a file name is shown as itself, not taken as the item's access key.
        std::string caption = "&" + std::to_string(i + 1) + " ";
        for (char c : FileNameOf(recent_[i])) {
            caption += c == '&' ? "&&" : std::string(1, c);
        }
        form_.setMenuItem(kRecentItems[i], caption, true);
    }
}

void MainCommands::mnuPlanner_Click() {
    // Like the About dialog it has no owner; it is told the inputs in the same command.
    platform_.show(Window::Planner);
    tellPlanner();
}

void MainCommands::input_Change() {
    tellPlanner();
    showEdits();
}

void MainCommands::listSpells_Click() {
    tellPlanner();
    showEdits();
}

void MainCommands::showEdits() {
    if (path_) {
        showCharacterName();
    }
}

void MainCommands::tellPlanner() {
    MainFollower* planner = platform_.follower();
    if (planner == nullptr) {
        return;
    }
    planner->follow(shown());
}

void MainCommands::mnuAbout_Click() {
    // The dialog has no owner: it stays when this window closes, and keeps the program alive.
    platform_.show(Window::About);
}

void MainCommands::mnuHelpme_Click() {
    platform_.showMessage(kHelpMeText);
}

bool MainCommands::click(MainControl control) {
    switch (control) {
    case cmdCalculate:
        cmdCalculate_Click();
        return true;
    case mnuReset:
        mnuReset_Click();
        return true;
    case mnuExit:
        mnuExit_Click();
        return true;
    case mnuOpen:
        mnuOpen_Click();
        return true;
    case mnuSave:
        mnuSave_Click();
        return true;
    case mnuSaveAs:
        mnuSaveAs_Click();
        return true;
    case mnuRecent1:
    case mnuRecent2:
    case mnuRecent3:
    case mnuRecent4:
        mnuRecent_Click(static_cast<int>(
            std::find(kRecentItems.begin(), kRecentItems.end(), control) - kRecentItems.begin()));
        return true;
    case mnuPlanner:
        mnuPlanner_Click();
        return true;
    case mnuAbout:
        mnuAbout_Click();
        return true;
    case mnuHelpme:
        mnuHelpme_Click();
        return true;
    default:
        return false;
    }
}

bool MainCommands::change(MainControl control) {
    if (control == listSpells) {
        listSpells_Click();
        return true;
    }
    const auto input = std::find_if(kInputsTopDown.begin(), kInputsTopDown.end(),
                                    [control](Field field) { return BoxOf(field) == control; });
    if (input == kInputsTopDown.end()) {
        return false;
    }
    input_Change();
    return true;
}

bool MainCommands::pasteFits(MainControl box, std::size_t length) {
    const WidgetDesc& desc = kMainWindow.widget(box);
    if (desc.maxLength == 0 || length <= static_cast<std::size_t>(desc.maxLength)) {
        return true;
    }
    platform_.showMessage("The text pasted into \"" +
                          std::string(AccessibleName(kMainWindow, desc)) +
                          "\" would make it longer than " + std::to_string(desc.maxLength) +
                          " characters, so it was not pasted.");
    return false;
}

} // namespace runetally
