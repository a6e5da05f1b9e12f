#include "listwidgets.h"

#include "dom.h"

#include <algorithm>
#include <utility>

namespace runetally::web {
namespace {

int IndexIn(const std::vector<Js>& elements, const Js& target) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (Holds(elements[i], target)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The place the key moves a selection at `now` to, in a list of `count` with `page` per page;
// `now` itself for a key that moves nothing.
int Moved(const std::string& key, int now, int count, int page) {
    if (count == 0) {
        return now;
    }
    int to = now;
    if (key == "ArrowDown") {
        to = now + 1;
    } else if (key == "ArrowUp") {
        to = now < 0 ? 0 : now - 1;
    } else if (key == "PageDown") {
        to = now + std::max(page - 1, 1);
    } else if (key == "PageUp") {
        to = now - std::max(page - 1, 1);
    } else if (key == "Home") {
        to = 0;
    } else if (key == "End") {
        to = count - 1;
    }
    return std::clamp(to, 0, count - 1);
}

bool IsMovingKey(const std::string& key) {
    return key == "ArrowDown" || key == "ArrowUp" || key == "PageDown" || key == "PageUp" ||
           key == "Home" || key == "End";
}

void ShowSelected(const Js& element) {
    Js options = Js::object();
    options.set("block", Js("nearest"));
    element.call<void>("scrollIntoView", options);
}

} // namespace

ListBox::ListBox(const Js& element, std::function<void()> changed)
    : element_(element), changed_(std::move(changed)) {
    SetAttribute(element_, "role", "listbox");
    element_.set("tabIndex", 0);
}

void ListBox::setItems(std::span<const std::string_view> items) {
    const std::string id = Utf8(element_["id"]);
    Js fragment = Document().call<Js>("createDocumentFragment");
    for (std::size_t i = 0; i < items.size(); ++i) {
        Js item = Create("div", fragment, "option");
        item.set("id", std::string_view(id + "-" + std::to_string(i)));
        SetAttribute(item, "role", "option");
        SetAttribute(item, "aria-selected", "false");
        SetText(item, items[i]);
        items_.push_back(item);
        texts_.emplace_back(items[i]);
    }
    element_.call<void>("appendChild", fragment);
}

std::string ListBox::selectedText() const {
    return selected_ < 0 ? std::string() : texts_[static_cast<std::size_t>(selected_)];
}

void ListBox::select(int item) {
    if (item == selected_) {
        return;
    }
    if (selected_ >= 0) {
        SetAttribute(items_[static_cast<std::size_t>(selected_)], "aria-selected", "false");
    }
    selected_ = item;
    if (item < 0) {
        element_.call<void>("removeAttribute", Js("aria-activedescendant"));
    } else {
        const Js& chosen = items_[static_cast<std::size_t>(item)];
        SetAttribute(chosen, "aria-selected", "true");
        SetAttribute(element_, "aria-activedescendant", Utf8(chosen["id"]));
        ShowSelected(chosen);
    }
    changed_();
}

void ListBox::click(const Js& target) {
    const int item = IndexIn(items_, target);
    if (item >= 0) {
        select(item);
    }
}

int ListBox::pageSize() const {
    if (items_.empty()) {
        return 1;
    }
    const int itemHeight = std::max(items_.front()["offsetHeight"].as<int>(), 1);
    return std::max(element_["clientHeight"].as<int>() / itemHeight, 1);
}

bool ListBox::key(const Js& event) {
    const std::string key = Utf8(event["key"]);
    const int count = static_cast<int>(items_.size());
    if (IsMovingKey(key)) {
        select(Moved(key, selected_, count, pageSize()));
        return true;
    }
    // A letter selects the next item that starts with it, as in a desktop list.
    if (key.size() == 1 && key[0] != ' ' && !event["ctrlKey"].as<bool>() &&
        !event["altKey"].as<bool>()) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        for (int step = 1; step <= count; ++step) {
            const int at = (std::max(selected_, -1) + step + count) % count;
            const std::string& text = texts_[static_cast<std::size_t>(at)];
            if (!text.empty() && lower(text.front()) == lower(key[0])) {
                select(at);
                break;
            }
        }
        return true;
    }
    return false;
}

ReportGrid::ReportGrid(const Js& element, const WidgetDesc& desc, Events events)
    : element_(element), sortable_(desc.sortable), events_(std::move(events)) {
    SetAttribute(element_, "role", "grid");
    SetAttribute(element_, "aria-readonly", "true");
    element_.set("tabIndex", 0);
    head_ = Create("div", element_, "head");
    SetAttribute(head_, "role", "row");
    body_ = Create("div", element_, "body");
    SetAttribute(body_, "role", "rowgroup");
    setColumns(desc.columns);
}

void ReportGrid::setColumns(std::span<const ColumnDesc> columns) {
    columns_.assign(columns.begin(), columns.end());
    SetText(head_, "");
    captions_.clear();
    for (const ColumnDesc& column : columns_) {
        Js caption = Create("div", head_, column.alignRight ? "cell right" : "cell");
        SetAttribute(caption, "role", "columnheader");
        SetStyle(caption, "width", Twips(column.width));
        SetText(caption, column.caption);
        if (sortable_) {
            caption.set("tabIndex", -1);
            SetAttribute(caption, "aria-sort", "none");
        }
        captions_.push_back(caption);
    }
    focusedCaption_ = std::min(focusedCaption_, static_cast<int>(captions_.size()) - 1);
    setRows({});
    if (sortColumn_ >= 0) {
        setSortMark(sortColumn_, descending_);
    }
}

void ReportGrid::setRows(std::span<const TableRow> rows) {
    const std::string id = Utf8(element_["id"]);
    SetText(body_, "");
    rows_.clear();
    selected_ = -1;
    element_.call<void>("removeAttribute", Js("aria-activedescendant"));
    Js fragment = Document().call<Js>("createDocumentFragment");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        Js row = Create("div", fragment, "row");
        row.set("id", std::string_view(id + "-" + std::to_string(r)));
        SetAttribute(row, "role", "row");
        SetAttribute(row, "aria-selected", "false");
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            Js cell = Create("div", row, columns_[c].alignRight ? "cell right" : "cell");
            SetAttribute(cell, "role", "gridcell");
            SetStyle(cell, "width", Twips(columns_[c].width));
            const std::string text = c < rows[r].cells.size() ? rows[r].cells[c] : "";
            if (c == 0 && !rows[r].note.empty()) {
                // Marked out in bold, its note spoken after it and shown as its tip.
                SetText(Create("strong", cell), text);
                SetText(Create("span", cell, "spoken"), ", " + rows[r].note);
                SetAttribute(row, "title", rows[r].note);
            } else {
                SetText(cell, text);
            }
        }
        rows_.push_back(row);
    }
    body_.call<void>("appendChild", fragment);
    SetAttribute(element_, "aria-rowcount", std::to_string(rows.size() + 1));
}

void ReportGrid::selectRow(int row) {
    if (selected_ >= 0 && selected_ < static_cast<int>(rows_.size())) {
        SetAttribute(rows_[static_cast<std::size_t>(selected_)], "aria-selected", "false");
    }
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
    if (selected_ < 0) {
        element_.call<void>("removeAttribute", Js("aria-activedescendant"));
        return;
    }
    const Js& chosen = rows_[static_cast<std::size_t>(selected_)];
    SetAttribute(chosen, "aria-selected", "true");
    SetAttribute(element_, "aria-activedescendant", Utf8(chosen["id"]));
    ShowSelected(chosen);
}

void ReportGrid::choose(int row) {
    if (row == selected_ || row < 0) {
        return;
    }
    selectRow(row);
    events_.rowChanged();
}

void ReportGrid::setSortMark(int column, bool descending) {
    sortColumn_ = column;
    descending_ = descending;
    for (std::size_t c = 0; c < captions_.size(); ++c) {
        const bool sorted = static_cast<int>(c) == column;
        SetAttribute(captions_[c], "aria-sort",
                     !sorted      ? "none"
                     : descending ? "descending"
                                  : "ascending");
        SetText(captions_[c], std::string(columns_[c].caption) + (!sorted      ? ""
                                                                  : descending ? " \xE2\x96\xBE"
                                                                               : " \xE2\x96\xB4"));
    }
}

Js ReportGrid::captionStop() const {
    return sortable_ && !captions_.empty() ? captions_[static_cast<std::size_t>(focusedCaption_)]
                                           : Js::null();
}

void ReportGrid::click(const Js& target) {
    if (const int column = IndexIn(captions_, target); column >= 0) {
        if (sortable_) {
            focusedCaption_ = column;
            events_.sortRequested(column);
        }
        return;
    }
    choose(IndexIn(rows_, target));
}

bool ReportGrid::key(const Js& event) {
    const std::string key = Utf8(event["key"]);
    const Js target = event["target"];
    if (const int column = IndexIn(captions_, target); column >= 0) {
        if (key == "ArrowLeft" || key == "ArrowRight") {
            const int count = static_cast<int>(captions_.size());
            focusedCaption_ = std::clamp(column + (key == "ArrowLeft" ? -1 : 1), 0, count - 1);
            Focus(captions_[static_cast<std::size_t>(focusedCaption_)]);
            return true;
        }
        if (key == "Enter" || key == " ") {
            events_.sortRequested(column);
            return true;
        }
        return false;
    }
    if (!IsMovingKey(key)) {
        return false;
    }
    int page = 1;
    if (!rows_.empty()) {
        page = std::max(element_["clientHeight"].as<int>() /
                                std::max(rows_.front()["offsetHeight"].as<int>(), 1) -
                            1,
                        1);
    }
    choose(Moved(key, selected_, static_cast<int>(rows_.size()), page));
    return true;
}

} // namespace runetally::web
