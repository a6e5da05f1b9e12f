#pragma once

#include "chartpicture.h"
#include "formdescription.h"
#include "localeseparator.h"
#include "mainwindow.h"
#include "tablerow.h"
#include "windowservices.h"

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

// The planner as its commands see it; a front end implements it over its widgets.
class PlannerView : public FormView, public CharacterPicker {
public:
    // The step box's text exactly as it stands.
    virtual std::string stepText() const = 0;
    // The place of the input chosen in the drop-down, in its items' order.
    virtual int chosenInput() const = 0;
    virtual void setStatus(std::string_view text) = 0;
    // The table shows these rows, none selected, and marks the column it is sorted by.
    virtual void setRows(PlannerControl table, std::span<const TableRow> rows) = 0;
    virtual void setSortMark(PlannerControl table, int column, bool descending) = 0;
    // Selects the row, or none for -1; the table does not report it back.
    virtual void selectRow(PlannerControl table, int row) = 0;
    // The row the player selected, or -1.
    virtual int selectedRow(PlannerControl table) const = 0;
    // The chart's size in twips, as it stands on the screen.
    virtual PointTwips chartSize() const = 0;
    virtual void setChart(const ChartPicture& picture) = 0;
    virtual void copyText(std::string_view text) = 0;
    // The table shows these columns, with no rows until it is given them.
    virtual void setColumns(PlannerControl table, std::span<const ColumnDesc> columns) = 0;
    virtual void setShown(PlannerControl control, bool shown) = 0;
    // The decimal separator of the player's regional settings.
    virtual char decimalSeparator() const { return UserDecimalSeparator(); }
};

} // namespace runetally
