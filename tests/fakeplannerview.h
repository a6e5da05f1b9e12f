#pragma once

#include "plannercommands.h"

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace runetally {

// The planner as its commands see it, held in memory.
class FakePlannerView : public PlannerView {
public:
    std::string stepText() const override { return step; }
    int chosenInput() const override { return input; }
    void setStatus(std::string_view text) override { status = text; }
    void setRows(PlannerControl table, std::span<const TableRow> shown) override {
        rows[table].assign(shown.begin(), shown.end());
        selected[table] = -1;
    }
    void setSortMark(PlannerControl, int column, bool descending) override {
        sortMark = {column, descending};
    }
    void selectRow(PlannerControl table, int row) override { selected[table] = row; }
    int selectedRow(PlannerControl table) const override { return selected.at(table); }
    PointTwips chartSize() const override { return size; }
    void setChart(const ChartPicture& shown) override { chart = shown; }
    void copyText(std::string_view text) override { copied = text; }
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    void unload() override {}
    char decimalSeparator() const override { return separator; }
    std::optional<std::string> chooseCharacterToOpen() override { return toOpen; }
    void setColumns(PlannerControl table, std::span<const ColumnDesc> shown) override {
        columns[table].assign(shown.begin(), shown.end());
        rows[table].clear();
    }
    void setShown(PlannerControl control, bool shown) override { visible[control] = shown; }

    // The player picks the spell table's row of that spell; false when no row shows it.
    bool pick(PlannerCommands& commands, std::string_view spell) {
        const auto& shown = rows[PlannerControl::lvwSpells];
        const auto row = std::find_if(shown.begin(), shown.end(),
                                      [&](const TableRow& r) { return r.cells[0] == spell; });
        if (row == shown.end()) {
            return false;
        }
        selected[PlannerControl::lvwSpells] = static_cast<int>(row - shown.begin());
        commands.lvwSpells_Click();
        return true;
    }
    std::vector<std::string> column(PlannerControl table, SpellColumn c) const {
        std::vector<std::string> cells;
        for (const TableRow& row : rows.at(table)) {
            cells.push_back(row.cells[static_cast<std::size_t>(c)]);
        }
        return cells;
    }
    const TableRow& selectedSpellRow() const {
        return rows.at(PlannerControl::lvwSpells)
            .at(static_cast<std::size_t>(selected.at(PlannerControl::lvwSpells)));
    }

    std::string step = "1";
    PointTwips size{6000, 4500};
    int input = 1; // Inteligence
    char separator = '.';
    std::string status = "unset";
    std::map<PlannerControl, std::vector<TableRow>> rows;
    std::map<PlannerControl, int> selected;
    std::pair<int, bool> sortMark{-1, false};
    ChartPicture chart;
    std::string copied;
    std::vector<std::string> messages;
    std::optional<std::string> toOpen;
    std::map<PlannerControl, std::vector<ColumnDesc>> columns;
    std::map<PlannerControl, bool> visible;
};

} // namespace runetally
