#pragma once

#include "damagechart.h"
#include "mainwindow.h"
#include "plannerwindow.h"
#include "plantable.h"
#include "ranking.h"

#include <optional>
#include <string>
#include <vector>

namespace runetally {

// The planner's commands, written once for every front end. The planner follows the main
// window: it is told every change there and works every figure out again from what it was told,
// the input chosen and the step. As every window's commands, one that asks the player something
// changes nothing before its first question, and does the same when it runs again with the same
// answers: a page runs it again from the start once the player answers (web/conversation.h).
class PlannerCommands : public MainFollower, public FormEvents {
public:
    PlannerCommands(FormSurface& form, Platform& platform) : form_(form), platform_(platform) {}

    void follow(const SpellInputs& inputs) override;

    void cboInput_Click();
    void txtStep_Change();
    // The player selected another row of the spell table.
    void lvwSpells_Click();
    // A click or Enter on a column's caption: sorts by that column, the other way round when it
    // is sorted by it already.
    void lvwSpells_ColumnClick(int column);
    void picChart_Resize();
    // Compares the main window's character, A, with one the player opens, B; and stops.
    void cmdCompare_Click();
    void cmdStopCompare_Click();

    // Runs the command of that button; false for a control that has none.
    bool click(PlannerControl control);

    // Puts what the table or chart shows on the clipboard, as runetally-table writes it as CSV;
    // false for a control that copies nothing of its own, or while no figures are shown.
    bool copy(PlannerControl control);

    // Runs what follows a change of that control; false for a control whose change runs nothing.
    bool change(PlannerControl control);
    // Sorts that table by the column; false for a table that does not sort.
    bool sort(PlannerControl table, int column);

    // FormEvents
    void clicked(ControlId id) override { click(id.as<PlannerControl>()); }
    void changed(ControlId id) override { change(id.as<PlannerControl>()); }
    void sortAsked(ControlId table, int column) override {
        sort(table.as<PlannerControl>(), column);
    }
    bool copying(ControlId id) override { return copy(id.as<PlannerControl>()); }
    void resized(ControlId) override { picChart_Resize(); }

private:
    // Everything worked out from one set of inputs, input and step.
    struct Figures {
        ParsedInputs inputs;
        Field input = Field::varInt;
        double step = 1;
        std::vector<GainRow> gains;                       // in the spell table's order
        std::vector<RankedSpell> ranking;                 // highest damage first
        std::vector<std::optional<double>> percentOfBest; // in the spell table's order
        std::vector<DamageValue> damageB; // while comparing, in the spell table's order
        std::vector<Change> changes;      // from A to B
        std::vector<TableRow> rows;       // the spell table's rows, in SpellTable's order
        std::optional<DamageChartData> chart;
        Sweep sweep;
    };

    void refresh();
    std::optional<std::string> problem(ParsedInputs& parsed, double& step) const;
    void showSpells();
    void showSelected();
    void drawChart();
    const SpellFormula* bestOther() const;

    // The character compared with the main window's: its file's name and its inputs.
    struct Compared {
        std::string name;
        ParsedInputs inputs;
    };

    FormSurface& form_;
    Platform& platform_;
    std::optional<SpellInputs> inputs_;
    std::optional<Compared> compared_;
    std::optional<Figures> figures_; // none while the step holds no number
    std::vector<int> shown_;         // the spell table's rows as shown: places in SpellTable
    SpellColumn sortColumn_ = SpellColumn::Damage;
    bool descending_ = true;
    const SpellFormula* selected_ = nullptr; // none: the best
};

} // namespace runetally
