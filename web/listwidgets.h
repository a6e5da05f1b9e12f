#pragma once

#include "formdescription.h"
#include "js.h"
#include "tablerow.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class Html;

// A list box as an ARIA listbox: one item selected at a time, or none until the player chooses.
// The arrows, Home, End, Page Up, Page Down and an item's first letter select, as a click does;
// once an item is selected, none of them leaves none selected. Items are found by their ids,
// the list's own and their place: "listSpells-3".
class ListBox {
public:
    // The items' markup, inside the list's element.
    static void Markup(std::string_view id, std::span<const std::string_view> items, Html& html);
    ListBox(const Js& element, std::string id, std::span<const std::string_view> items,
            std::function<void()> changed);

    int selected() const { return selected_; }
    // Selects the item, or none for -1; not reported.
    void select(int item);

    void click(const Js& target);
    bool key(const Js& event);

private:
    void choose(int item); // the player's choice, reported
    Js item(int place) const;
    int pageSize() const;

    Js element_;
    std::string id_;
    std::span<const std::string_view> items_;
    int selected_ = -1;
    std::function<void()> changed_;
};

// A report list as an ARIA grid: rows of cells under column captions, one whole row selected at a
// time. Its commands fill, sort and select it; it tells what the player did. The captions of a
// table that sorts take the focus before the rows: Left and Right move between them, and Enter,
// Space or a click sorts.
class ReportGrid {
public:
    struct Events {
        std::function<void()> rowChanged;
        std::function<void(int column)> sortRequested;
    };

    // The markup of an empty table; the grid then fills what the page made of it.
    static void Markup(Html& html);
    ReportGrid(const Js& element, std::string id, const WidgetDesc& desc, Events events);

    void setColumns(std::span<const ColumnDesc> columns);
    void setRows(std::span<const TableRow> rows);
    void selectRow(int row); // -1: none; not reported
    int selectedRow() const { return selected_; }
    void setSortMark(int column, bool descending);

    // The caption that takes the focus, or null when the table does not sort.
    Js captionStop() const;
    void click(const Js& target);
    bool key(const Js& event);

private:
    void choose(int row); // the player's choice, reported
    Js row(int place) const;

    Js element_;
    std::string id_;
    std::vector<ColumnDesc> columns_;
    int rowCount_ = 0;
    bool sortable_;
    int focusedCaption_ = 0;
    int sortColumn_ = -1;
    bool descending_ = false;
    int selected_ = -1;
    Events events_;
};

} // namespace runetally::web
