#include "mainwindow.h"

#include <array>

namespace runetally {
namespace {

constexpr FontDesc kDamageFont{"Zelkor Beaulieux", 24};

constexpr WidgetDesc Caption(std::string_view name, std::string_view text, std::string_view box,
                             TwipsRect rect) {
    return {.name = name, .kind = WidgetKind::Label, .rect = rect, .text = text, .buddy = box};
}

constexpr WidgetDesc Box(std::string_view name, std::string_view text, TwipsRect rect) {
    return {.name = name,
            .kind = WidgetKind::TextBox,
            .rect = rect,
            .text = text,
            .maxLength = kInputLimit};
}

// Each caption is created just before its box: Windows screen readers name a box after the
// static text that precedes it.
constexpr std::array kWidgets{
    Caption("Label1", "Wisdom", "varWis", {120, 360, 615, 255}),
    Box("varWis", "100", {1560, 360, 1695, 285}),
    Caption("Label2", "Inteligence", "varInt", {120, 840, 1095, 375}),
    Box("varInt", "100", {1560, 960, 1695, 285}),
    Caption("Label3", "Target Elemental Resist", "varResist", {120, 1440, 855, 615}),
    Box("varResist", "100", {1560, 1560, 1695, 285}),
    Caption("Label4", "Light Power", "powerLight", {120, 2520, 975, 255}),
    Box("powerLight", "100", {1560, 2520, 1695, 285}),
    Caption("Label5", "Earth Power", "powerEarth", {120, 3000, 975, 255}),
    Box("powerEarth", "100", {1560, 3000, 1695, 285}),
    Caption("Label6", "Fire Power", "powerFire", {120, 3480, 975, 255}),
    Box("powerFire", "100", {1560, 3480, 1695, 285}),
    Caption("Label7", "Air Power", "powerAir", {120, 3960, 975, 255}),
    Box("powerAir", "100", {1560, 3960, 1695, 285}),
    Caption("Label8", "Water Power", "powerWater", {120, 4440, 975, 255}),
    Box("powerWater", "100", {1560, 4440, 1695, 285}),
    Caption("Label9", "Dark Power", "powerDark", {120, 4920, 975, 255}),
    Box("powerDark", "100", {1560, 4920, 1695, 285}),
    Caption("Label11", "Level", "varLevel", {120, 5520, 1095, 255}),
    Box("varLevel", "99", {1560, 5520, 1695, 285}),
    WidgetDesc{.name = "cmdCalculate",
               .kind = WidgetKind::PushButton,
               .rect = {5160, 360, 2895, 855},
               .text = "Calculate The Damage"},
    WidgetDesc{.name = "listSpells",
               .kind = WidgetKind::ListBox,
               .rect = {3600, 1800, 3135, 2595},
               .accessibleName = "Spells"},
    WidgetDesc{.name = "Label10",
               .kind = WidgetKind::Label,
               .rect = {4800, 5280, 2535, 615},
               .text = "DAMAGE",
               .buddy = kResultBox,
               .font = &kDamageFont},
    WidgetDesc{.name = kResultBox,
               .kind = WidgetKind::TextBox,
               .rect = {4440, 5880, 3495, 735},
               .text = "0",
               .readOnly = true},
};

constexpr std::array<std::string_view, 13> kFocusOrder{
    "varResist",  "varWis",    "varInt",     "powerLight", "powerEarth",   "powerFire", "powerAir",
    "powerWater", "powerDark", "listSpells", kResultBox,   "cmdCalculate", "varLevel"};

constexpr std::array<MenuItemDesc, 2> kFileItems{{{"mnuReset", "&Reset"}, {"mnuExit", "&Exit"}}};
constexpr std::array<MenuItemDesc, 2> kHelpItems{
    {{"mnuAbout", "&About"}, {"mnuHelpme", "Help &Me"}}};
constexpr std::array<MenuDesc, 2> kMenus{
    {{"mnuFile", "&File", kFileItems}, {"mnuHelp", "&Help", kHelpItems}}};

constexpr FormDesc kMainWindow{.name = "frmMain",
                               .caption = "Velmoranth's Zelkor Runetally",
                               .clientWidth = 9330,
                               .clientHeight = 7140,
                               .widgets = kWidgets,
                               .focusOrder = kFocusOrder,
                               .menus = kMenus};

constexpr Field kFields[] = {
    Field::varLevel,   Field::varInt,    Field::varWis,   Field::varResist,  Field::powerLight,
    Field::powerEarth, Field::powerFire, Field::powerAir, Field::powerWater, Field::powerDark};

} // namespace

const FormDesc& MainWindowDescription() {
    return kMainWindow;
}

std::string_view BoxName(Field field) {
    return FieldName(field);
}

std::string FailureMessage(const DamageFailure& failure) {
    if (const auto* bad = std::get_if<BadInput>(&failure)) {
        const WidgetDesc* box = FindWidget(kMainWindow, BoxName(bad->field));
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
    SpellInputs inputs;
    inputs.spellName = view_.selectedSpell();
    for (Field field : kFields) {
        inputs.text(field) = view_.text(BoxName(field));
    }
    const DamageResult result = CalculateDamage(inputs, view_.decimalSeparator());
    if (const auto* failure = std::get_if<DamageFailure>(&result)) {
        view_.showMessage(FailureMessage(*failure));
        return;
    }
    const auto& outcome = std::get<DamageOutcome>(result);
    if (outcome.kind == DamageOutcome::Kind::ShowText) {
        view_.setText(kResultBox, outcome.text);
    }
}

void MainCommands::mnuReset_Click() {
    for (std::string_view box :
         {kResultBox, BoxName(Field::powerLight), BoxName(Field::powerEarth),
          BoxName(Field::powerWater), BoxName(Field::powerAir), BoxName(Field::powerFire),
          BoxName(Field::powerDark), BoxName(Field::varResist), BoxName(Field::varWis),
          BoxName(Field::varInt), BoxName(Field::varLevel)}) {
        view_.setText(box, "0");
    }
}

void MainCommands::mnuExit_Click() {
    view_.unload();
}

void MainCommands::mnuAbout_Click() {
    // The dialog has no owner: it stays when this window closes, and keeps the program alive.
    view_.showAbout();
}

void MainCommands::mnuHelpme_Click() {
    view_.showMessage(kHelpMeText);
}

bool MainCommands::click(std::string_view control) {
    using Handler = void (MainCommands::*)();
    static constexpr std::pair<std::string_view, Handler> kHandlers[] = {
        {"cmdCalculate", &MainCommands::cmdCalculate_Click},
        {"mnuReset", &MainCommands::mnuReset_Click},
        {"mnuExit", &MainCommands::mnuExit_Click},
        {"mnuAbout", &MainCommands::mnuAbout_Click},
        {"mnuHelpme", &MainCommands::mnuHelpme_Click},
    };
    for (const auto& [name, handler] : kHandlers) {
        if (name == control) {
            (this->*handler)();
            return true;
        }
    }
    return false;
}

} // namespace runetally
