#pragma once

#include "formdescription.h"
#include "js.h"
#include "tablerow.h"
#include "typeahead.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class Html;

// A list box as an ARIA listbox of its items, or a table as an ARIA grid of rows of cells under
// column captions: one item or whole row selected at a time, or none until the player chooses.
// The arrows, Home, End, Page Up and Page Down select, as a click does, and in a list box so
// do the first letters of an item typed together; once one is selected, none of them leaves none
// selected. Items and rows are found by their ids, the widget's own and their place:
// "listSpells-3". The captions of a table that sorts take the focus before the rows: Left and Right
// move between them, and Enter, Space or a click asks to sort.
class ListWidget {
public:
    struct Events {
        std::function<void()> changed; // the player selected another
        std::function<void(int column)> sortAsked;
    };

    ListWidget(const Js& element, std::string id, const WidgetDesc& desc, Events events);

    int selected() const { return selected_; }
    void select(int place); // -1: none; not reported

    // A table's columns, rows and sort mark; new columns come with no rows, and new rows with
    // none selected.
    void setColumns(std::span<const ColumnDesc> columns);
    void setRows(std::span<const TableRow> rows);
    void setSortMark(int column, bool descending);
    // The caption that takes the focus, or null when the table does not sort.
    Js captionStop() const;

    void click(const Js& target);
    bool key(const Js& event);

private:
    void choose(int place); // the player's choice, reported
    void fitColumns();
    // Where the key moves the selection; nothing for a key that moves none.
    std::optional<int> moved(const std::string& key) const;
    Js row(int place) const;

    Js element_;
    std::string id_;
    const WidgetDesc& desc_;
    Events events_;
    std::vector<ColumnDesc> columns_;
    int count_;
    int selected_ = -1;
    int focusedCaption_ = 0;
    int sortColumn_ = -1;
    bool descending_ = false;
    TypeAhead typeAhead_;
};

} // namespace runetally::web
