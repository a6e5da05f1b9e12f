#pragma once

#include "formdescription.h"
#include "tablerow.h"

#include "js.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

// A list box as an ARIA listbox: one item selected at a time, or none until the player chooses.
// The arrows, Home, End, Page Up, Page Down and an item's first letter select, as a click does;
// once an item is selected, none of them leaves none selected.
class ListBox {
public:
    ListBox(const Js& element, std::function<void()> changed);

    void setItems(std::span<const std::string_view> items);
    int selected() const { return selected_; }
    std::string selectedText() const;
    // Selects the item, or none for -1, and reports it as a change.
    void select(int item);

    void click(const Js& target);
    bool key(const Js& event);

private:
    int pageSize() const;

    Js element_;
    std::vector<Js> items_;
    std::vector<std::string> texts_;
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

    ReportGrid(const Js& element, const WidgetDesc& desc, Events events);

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

    Js element_;
    Js head_ = Js::null();
    Js body_ = Js::null();
    std::vector<Js> captions_;
    std::vector<Js> rows_;
    std::vector<ColumnDesc> columns_;
    bool sortable_;
    int focusedCaption_ = 0;
    int sortColumn_ = -1;
    bool descending_ = false;
    int selected_ = -1;
    Events events_;
};

} // namespace runetally::web
