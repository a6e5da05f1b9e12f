#pragma once

#include <string>
#include <vector>

namespace runetally {

// One row of a table widget, a text per column.
struct TableRow {
    std::vector<std::string> cells;
    // What marks the row out from the rest, spoken after its first cell and shown as its tip;
    // a front end also sets the first cell in bold. Empty: an ordinary row.
    std::string note = {};
    bool operator==(const TableRow&) const = default;
};

} // namespace runetally
