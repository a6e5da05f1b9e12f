// Plays arbitrary planner sessions (see plannerscript.h): texts in the ten boxes and the step
// box, the input chosen, sorting, selecting, comparing with B characters and copying. Nothing
// may end the program, and every figure shown must be a number, a failure or a known word; a
// spell said to be best now must deal the most.
#include "numbers.h"
#include "plannerscript.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

using namespace runetally;

namespace {

// B's file, one for the run, removed when it ends.
const std::string& ComparedPath() {
    static const std::string path =
        "/tmp/plannercommands_fuzz_" + std::to_string(getpid()) + ".rtchar";
    static const int removed = std::atexit([] { std::remove(path.c_str()); });
    static_cast<void>(removed);
    return path;
}

// A number, or a failure in the window's short words.
bool IsFigure(const std::string& cell, char separator) {
    return cell.empty() || ParseNumber(cell, separator) || cell == "divided by zero" ||
           cell == "zero divided by zero" || cell == "too large" ||
           cell.starts_with("not a number: ");
}

void Check(const FakePlanner& view) {
    const auto rows = view.form.rows.find(PlannerControl::lvwSpells);
    if (rows == view.form.rows.end() || rows->second.empty()) {
        return;
    }
    if (rows->second.size() != SpellTable.size()) {
        std::abort();
    }
    std::optional<double> top;
    for (const TableRow& row : rows->second) {
        for (std::size_t c = 2; c < row.cells.size(); ++c) {
            const bool toBest = c == static_cast<std::size_t>(SpellColumn::PointsToBest);
            if (toBest ? row.cells[c] != "never" &&
                             row.cells[c].find_first_not_of("0123456789") != std::string::npos
                       : !IsFigure(row.cells[c], view.platform.separator)) {
                std::abort();
            }
        }
        if (const auto damage = ParseNumber(row.cells[2], view.platform.separator)) {
            top = top ? std::max(*top, *damage) : *damage;
        }
    }
    for (const TableRow& row : rows->second) {
        if (row.cells[static_cast<std::size_t>(SpellColumn::PointsToBest)] == "0" &&
            ParseNumber(row.cells[2], view.platform.separator) != top) {
            std::abort();
        }
    }
    if (const auto inputs = view.form.rows.find(PlannerControl::lvwInputs);
        inputs != view.form.rows.end()) {
        for (const TableRow& row : inputs->second) {
            if (!IsFigure(row.cells[1], view.platform.separator)) {
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    PlannerScript script(ComparedPath());
    script.play(std::string_view(reinterpret_cast<const char*>(bytes), size),
                [&] { Check(script.view); });
    return 0;
}
