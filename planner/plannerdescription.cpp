#include "plannerwindow.h"

#include <array>

namespace runetally {
namespace {

using enum PlannerControl;

// The ten inputs as the main window names them, from top to bottom.
const std::array<std::string_view, kFieldCount> kInputCaptions = [] {
    std::array<std::string_view, kFieldCount> captions;
    for (std::size_t i = 0; i < kInputsTopDown.size(); ++i) {
        captions[i] = CaptionOf(kInputsTopDown[i]);
    }
    return captions;
}();

constexpr std::array<ColumnDesc, 9> kCompareColumns{{
    {"Spell", 1650},
    {"Element", 780},
    {"Damage", 2070, true},
    {"% of best", 900, true},
    {"Gain (+Step)", 2250, true},
    {"Points to best", 1290, true},
    {"Damage (B)", 2070, true},
    {"Difference", 2070, true},
    {"Difference %", 1200, true},
}};
constexpr std::span<const ColumnDesc> kSpellColumns = std::span(kCompareColumns).first(6);

constexpr std::array<ColumnDesc, 3> kInputColumns{{
    {"Input", 2250},
    {"+Step adds", 2100, true},
    {"Rank", 600, true},
}};

constexpr WidgetDesc Caption(PlannerControl label, std::string_view text, PlannerControl widget,
                             TwipsRect rect, Stretch stretch = {}) {
    return {.id = label,
            .kind = WidgetKind::Label,
            .rect = rect,
            .text = text,
            .buddy = widget,
            .stretch = stretch};
}

// The spell table takes three fifths of any added width and all added height; the input table
// and the chart share the rest of the width, and the chart takes the added height.
constexpr Stretch kLeftPart{.right = 60, .bottom = 100};
constexpr Stretch kRightPart{.left = 60, .right = 100};
constexpr Stretch kRightRest{.left = 60, .right = 100, .bottom = 100};

constexpr std::array kWidgets{
    Caption(lblInput, "Input", cboInput, {120, 165, 480, 255}),
    WidgetDesc{.id = cboInput,
               .kind = WidgetKind::ComboBox,
               .rect = {660, 120, 2700, 330},
               .text = "Inteligence",
               .items = kInputCaptions},
    Caption(lblStep, "Step", txtStep, {3600, 165, 480, 255}),
    WidgetDesc{
        .id = txtStep, .kind = WidgetKind::TextBox, .rect = {4140, 135, 1200, 285}, .text = "1"},
    WidgetDesc{.id = cmdCompare,
               .kind = WidgetKind::PushButton,
               .rect = {5580, 90, 1800, 375},
               .text = "Compare with..."},
    WidgetDesc{.id = cmdStopCompare,
               .kind = WidgetKind::PushButton,
               .rect = {7500, 90, 1800, 375},
               .text = "Stop comparing",
               .hidden = true},
    WidgetDesc{.id = lblStatus,
               .kind = WidgetKind::Label,
               .rect = {120, 600, 14460, 255},
               .stretch = {.right = 100}},
    WidgetDesc{.id = lvwSpells,
               .kind = WidgetKind::Table,
               .rect = {120, 960, 9240, 7320},
               .accessibleName = "Spells",
               .columns = kSpellColumns,
               .sortable = true,
               .stretch = kLeftPart},
    Caption(lblInputs, "Inputs of the selected spell", lvwInputs, {9480, 960, 5100, 255},
            kRightPart),
    WidgetDesc{.id = lvwInputs,
               .kind = WidgetKind::Table,
               .rect = {9480, 1260, 5100, 3480},
               .columns = kInputColumns,
               .stretch = kRightPart},
    WidgetDesc{.id = picChart,
               .kind = WidgetKind::Chart,
               .rect = {9480, 4860, 5100, 3420},
               .accessibleName = "Damage chart",
               .stretch = kRightRest},
};

constexpr std::array<ControlId, 7> kFocusOrder{cboInput,  txtStep,   cmdCompare, cmdStopCompare,
                                               lvwSpells, lvwInputs, picChart};

constexpr FormDesc kPlanner{.name = "frmPlanner",
                            .caption = "Spell Planner",
                            .clientWidth = 14700,
                            .clientHeight = 8400,
                            .controlNames = ControlNames(PlannerControl{}),
                            .widgets = kWidgets,
                            .focusOrder = kFocusOrder,
                            .describedIsMinimum = true};
static_assert(FollowsItsList(kPlanner));

} // namespace

const FormDesc& PlannerDescription() {
    return kPlanner;
}

std::span<const ColumnDesc> CompareColumns() {
    return kCompareColumns;
}

} // namespace runetally
