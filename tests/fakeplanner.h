#pragma once

#include "fakeform.h"
#include "plannercommands.h"

#include <algorithm>
#include <string>
#include <vector>

namespace runetally {

// The planner and the system around it, held in memory.
struct FakePlanner {
    // The player picks the spell table's row of that spell; false when no row shows it.
    bool pick(PlannerCommands& commands, std::string_view spell) {
        const auto& shown = form.rows[PlannerControl::lvwSpells];
        const auto row = std::find_if(shown.begin(), shown.end(),
                                      [&](const TableRow& r) { return r.cells[0] == spell; });
        if (row == shown.end()) {
            return false;
        }
        form.chosen[PlannerControl::lvwSpells] = static_cast<int>(row - shown.begin());
        commands.lvwSpells_Click();
        return true;
    }
    std::vector<std::string> column(PlannerControl table, SpellColumn c) const {
        std::vector<std::string> cells;
        for (const TableRow& row : form.rows.at(table)) {
            cells.push_back(row.cells[static_cast<std::size_t>(c)]);
        }
        return cells;
    }
    const TableRow& selectedSpellRow() const {
        return form.rows.at(PlannerControl::lvwSpells)
            .at(static_cast<std::size_t>(form.chosen.at(PlannerControl::lvwSpells)));
    }
    std::string status() const { return form.texts.at(PlannerControl::lblStatus); }

    FakeSurface form{PlannerDescription()};
    FakePlatform platform;
};

} // namespace runetally
