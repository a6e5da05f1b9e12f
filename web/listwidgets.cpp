#include "listwidgets.h"

#include "dom.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace runetally::web {
namespace {

// The place that the element holding `target` has, from its data attribute; -1 for none.
int PlaceOf(const Js& target, const char* selector, const char* attribute) {
    if (!target.instanceof (Js::global("Element"))) {
        return -1;
    }
    const Js holder = target.call<Js>("closest", selector);
    return holder.isNull() ? -1
                           : std::atoi(Utf8(holder.call<Js>("getAttribute", attribute)).c_str());
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
    options.set("block", "nearest");
    element.call<void>("scrollIntoView", options);
}

Js ById(const std::string& id) {
    return Document().call<Js>("getElementById", id);
}

} // namespace

void ListBox::Markup(std::string_view id, std::span<const std::string_view> items, Html& html) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        html.open("div").attr("class", "option").attr("role", "option");
        html.attr("aria-selected", "false").attr("id", std::string(id) + "-" + std::to_string(i));
        html.attr("data-item", std::to_string(i)).close().text(items[i]).end("div");
    }
}

ListBox::ListBox(const Js& element, std::string id, std::span<const std::string_view> items,
                 std::function<void()> changed)
    : element_(element), id_(std::move(id)), items_(items), changed_(std::move(changed)) {}

Js ListBox::item(int place) const {
    return element_.call<Js>("querySelector", "#" + id_ + "-" + std::to_string(place));
}

void ListBox::select(int place) {
    if (selected_ >= 0) {
        SetAttribute(item(selected_), "aria-selected", "false");
    }
    selected_ = place >= 0 && place < static_cast<int>(items_.size()) ? place : -1;
    if (selected_ < 0) {
        element_.call<void>("removeAttribute", "aria-activedescendant");
    } else {
        const Js chosen = item(selected_);
        SetAttribute(chosen, "aria-selected", "true");
        SetAttribute(element_, "aria-activedescendant", id_ + "-" + std::to_string(selected_));
        ShowSelected(chosen);
    }
}

void ListBox::choose(int place) {
    if (place != selected_) {
        select(place);
        changed_();
    }
}

void ListBox::click(const Js& target) {
    const int place = PlaceOf(target, "[data-item]", "data-item");
    if (place >= 0) {
        choose(place);
    }
}

int ListBox::pageSize() const {
    if (items_.empty()) {
        return 1;
    }
    const int itemHeight = std::max(item(0)["offsetHeight"].as<int>(), 1);
    return std::max(element_["clientHeight"].as<int>() / itemHeight, 1);
}

bool ListBox::key(const Js& event) {
    const std::string key = Utf8(event["key"]);
    const int count = static_cast<int>(items_.size());
    if (IsMovingKey(key)) {
        choose(Moved(key, selected_, count, pageSize()));
        return true;
    }
    // A letter selects the next item that starts with it, as in a desktop list.
    if (key.size() == 1 && key[0] != ' ' && !event["ctrlKey"].as<bool>() &&
        !event["altKey"].as<bool>()) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        for (int step = 1; step <= count; ++step) {
            const int at = (std::max(selected_, -1) + step + count) % count;
            const std::string_view text = items_[static_cast<std::size_t>(at)];
            if (!text.empty() && lower(text.front()) == lower(key[0])) {
                choose(at);
                break;
            }
        }
        return true;
    }
    return false;
}

void ReportGrid::Markup(Html& html) {
    html.open("div").attr("class", "head").attr("role", "row").close().end("div");
    html.open("div").attr("class", "body").attr("role", "rowgroup").close().end("div");
}

ReportGrid::ReportGrid(const Js& element, std::string id, const WidgetDesc& desc, Events events)
    : element_(element), id_(std::move(id)), sortable_(desc.sortable), events_(std::move(events)) {
    setColumns(desc.columns);
}

void ReportGrid::setColumns(std::span<const ColumnDesc> columns) {
    columns_.assign(columns.begin(), columns.end());
    focusedCaption_ = std::min(focusedCaption_, static_cast<int>(columns_.size()) - 1);
    setRows({});
    if (sortColumn_ >= 0) {
        setSortMark(sortColumn_, descending_);
    } else {
        setSortMark(-1, false);
    }
}

void ReportGrid::setSortMark(int column, bool descending) {
    sortColumn_ = column;
    descending_ = descending;
    Html html;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const bool sorted = static_cast<int>(c) == column;
        html.open("div").attr("role", "columnheader");
        html.attr("class", columns_[c].alignRight ? "cell right" : "cell");
        html.attr("id", id_ + "-h" + std::to_string(c)).attr("data-column", std::to_string(c));
        html.attr("style", "width:" + Twips(columns_[c].width));
        if (sortable_) {
            html.attr("tabindex", "-1");
            html.attr("aria-sort", !sorted ? "none" : descending ? "descending" : "ascending");
        }
        html.close().text(columns_[c].caption);
        if (sorted) {
            html.open("span").attr("aria-hidden", "true").close();
            html.text(descending ? " \xE2\x96\xBE" : " \xE2\x96\xB4").end("span");
        }
        html.end("div");
    }
    // The captions are made anew: the one with the focus keeps it.
    const bool hadFocus = Holds(element_["firstChild"], ActiveElement());
    element_["firstChild"].set("innerHTML", html.str());
    if (hadFocus) {
        Focus(captionStop());
    }
}

void ReportGrid::setRows(std::span<const TableRow> rows) {
    Html html;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        html.open("div").attr("class", "row").attr("role", "row").attr("aria-selected", "false");
        html.attr("id", id_ + "-" + std::to_string(r)).attr("data-row", std::to_string(r));
        if (!rows[r].note.empty()) {
            html.attr("title", rows[r].note);
        }
        html.close();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const std::string_view text =
                c < rows[r].cells.size() ? std::string_view(rows[r].cells[c]) : std::string_view();
            html.open("div").attr("role", "gridcell");
            html.attr("class", columns_[c].alignRight ? "cell right" : "cell");
            html.attr("style", "width:" + Twips(columns_[c].width)).close();
            if (c == 0 && !rows[r].note.empty()) {
                // Marked out in bold, its note spoken after it and shown as its tip.
                html.open("strong").close().text(text).end("strong");
                html.open("span").attr("class", "spoken").close().text(", ").text(rows[r].note);
                html.end("span");
            } else {
                html.text(text);
            }
            html.end("div");
        }
        html.end("div");
    }
    element_["lastChild"].set("innerHTML", html.str());
    rowCount_ = static_cast<int>(rows.size());
    selected_ = -1;
    element_.call<void>("removeAttribute", "aria-activedescendant");
    SetAttribute(element_, "aria-rowcount", std::to_string(rows.size() + 1));
}

Js ReportGrid::row(int place) const {
    return ById(id_ + "-" + std::to_string(place));
}

void ReportGrid::selectRow(int place) {
    if (selected_ >= 0) {
        SetAttribute(row(selected_), "aria-selected", "false");
    }
    selected_ = place >= 0 && place < rowCount_ ? place : -1;
    if (selected_ < 0) {
        element_.call<void>("removeAttribute", "aria-activedescendant");
        return;
    }
    const Js chosen = row(selected_);
    SetAttribute(chosen, "aria-selected", "true");
    SetAttribute(element_, "aria-activedescendant", id_ + "-" + std::to_string(selected_));
    ShowSelected(chosen);
}

void ReportGrid::choose(int place) {
    if (place == selected_ || place < 0) {
        return;
    }
    selectRow(place);
    events_.rowChanged();
}

Js ReportGrid::captionStop() const {
    return sortable_ && !columns_.empty() ? ById(id_ + "-h" + std::to_string(focusedCaption_))
                                          : Js::null();
}

void ReportGrid::click(const Js& target) {
    if (const int column = PlaceOf(target, "[data-column]", "data-column"); column >= 0) {
        if (sortable_) {
            focusedCaption_ = column;
            events_.sortRequested(column);
        }
        return;
    }
    choose(PlaceOf(target, "[data-row]", "data-row"));
}

bool ReportGrid::key(const Js& event) {
    const std::string key = Utf8(event["key"]);
    if (const int column = PlaceOf(event["target"], "[data-column]", "data-column"); column >= 0) {
        if (key == "ArrowLeft" || key == "ArrowRight") {
            const int count = static_cast<int>(columns_.size());
            focusedCaption_ = std::clamp(column + (key == "ArrowLeft" ? -1 : 1), 0, count - 1);
            Focus(captionStop());
            return true;
        }
        if (key == "Enter" || key == " ") {
            focusedCaption_ = column;
            events_.sortRequested(column);
            return true;
        }
        return false;
    }
    if (!IsMovingKey(key)) {
        return false;
    }
    int page = 1;
    if (rowCount_ > 0) {
        page = std::max(
            element_["clientHeight"].as<int>() / std::max(row(0)["offsetHeight"].as<int>(), 1) - 1,
            1);
    }
    choose(Moved(key, selected_, rowCount_, page));
    return true;
}

} // namespace runetally::web
