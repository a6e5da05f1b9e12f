#pragma once

#include "formdescription.h"
#include "mainwindow.h"

#include <span>
#include <string>
#include <string_view>

namespace runetally {

// The spell planner's controls, in drawing order.
// clang-format off
#define RUNETALLY_PLANNER_CONTROLS(X)                                                              \
    X(lblInput) X(cboInput) X(lblStep) X(txtStep) X(cmdCompare) X(cmdStopCompare) X(lblStatus)     \
    X(lvwSpells)                                                                                   \
    X(lblInputs) X(lvwInputs) X(picChart)
// clang-format on
RUNETALLY_CONTROLS(PlannerControl, RUNETALLY_PLANNER_CONTROLS)

// The planner window: which input to raise and by how much, every spell's damage and gain, what
// each input adds to one spell, and a chart of two spells along the input.
const FormDesc& PlannerDescription();

// The spell table's columns while comparing.
std::span<const ColumnDesc> CompareColumns();

// The columns of the spell table and of the input table. The last three are shown while the
// planner compares the main window's character, A, with one from a file, B.
enum class SpellColumn {
    Spell,
    Element,
    Damage,
    PercentOfBest,
    Gain,
    PointsToBest,
    DamageB,
    Difference,
    DifferencePercent
};
enum class InputColumn { Input, Adds, Rank };

} // namespace runetally
