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

} // namespace

ListWidget::ListWidget(const Js& element, std::string id, const WidgetDesc& desc, Events events)
    : element_(element), id_(std::move(id)), desc_(desc), events_(std::move(events)),
      count_(static_cast<int>(desc.items.size())) {
    if (desc.kind == WidgetKind::Table) {
        setColumns(desc.columns);
    }
}

Js ListWidget::row(int place) const {
    return element_.call<Js>("querySelector", "#" + id_ + "-" + std::to_string(place));
}

void ListWidget::select(int place) {
    if (selected_ >= 0) {
        SetAttribute(row(selected_), "aria-selected", "false");
    }
    selected_ = place >= 0 && place < count_ ? place : -1;
    if (selected_ < 0) {
        element_.call<void>("removeAttribute", "aria-activedescendant");
        return;
    }
    const Js chosen = row(selected_);
    SetAttribute(chosen, "aria-selected", "true");
    SetAttribute(element_, "aria-activedescendant", id_ + "-" + std::to_string(selected_));
    Js options = Js::object();
    options.set("block", "nearest");
    chosen.call<void>("scrollIntoView", options);
}

void ListWidget::choose(int place) {
    if (place != selected_ && place >= 0) {
        select(place);
        events_.changed();
    }
}

void ListWidget::setColumns(std::span<const ColumnDesc> columns) {
    columns_.assign(columns.begin(), columns.end());
    focusedCaption_ = std::min(focusedCaption_, static_cast<int>(columns_.size()) - 1);
    setRows({});
    setSortMark(sortColumn_, descending_);
}

void ListWidget::setSortMark(int column, bool descending) {
    sortColumn_ = column;
    descending_ = descending;
    Html html;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const bool sorted = static_cast<int>(c) == column;
        html.open("div").attr("role", "columnheader");
        html.attr("class", columns_[c].alignRight ? "cell right" : "cell");
        html.attr("id", id_ + "-h" + std::to_string(c)).attr("data-column", std::to_string(c));
        html.attr("style", "width:var(--c" + std::to_string(c) + ")");
        if (desc_.sortable) {
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
    fitColumns();
}

void ListWidget::fitColumns() {
    // Each column as wide as described, or as its widest caption or cell: no cell hides the
    // end of its text, an exponent least of all, and the table scrolls where it must.
    const std::size_t count = columns_.size();
    if (count == 0) {
        return;
    }
    const Js style = element_["style"];
    for (std::size_t c = 0; c < count; ++c) {
        style.call<void>("setProperty", "--c" + std::to_string(c),
                         std::string_view(Twips(columns_[c].width)));
    }
    std::vector<int> widths(count);
    const Js cells = element_.call<Js>("querySelectorAll", ".cell");
    const int cellCount = cells["length"].as<int>();
    for (int i = 0; i < cellCount; ++i) {
        int& widest = widths[static_cast<std::size_t>(i) % count];
        // scrollWidth is rounded, and leaves out a caption's 1-pixel border.
        widest = std::max(widest, cells.call<Js>("item", i)["scrollWidth"].as<int>() + 2);
    }
    for (std::size_t c = 0; c < count; ++c) {
        style.call<void>("setProperty", "--c" + std::to_string(c), std::string_view(Px(widths[c])));
    }
}

void ListWidget::setRows(std::span<const TableRow> rows) {
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
            html.attr("style", "width:var(--c" + std::to_string(c) + ")").close();
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
    fitColumns();
    count_ = static_cast<int>(rows.size());
    selected_ = -1;
    element_.call<void>("removeAttribute", "aria-activedescendant");
    SetAttribute(element_, "aria-rowcount", std::to_string(rows.size() + 1));
}

Js ListWidget::captionStop() const {
    return desc_.sortable && !columns_.empty()
               ? element_.call<Js>("querySelector",
                                   "#" + id_ + "-h" + std::to_string(focusedCaption_))
               : Js::null();
}

std::optional<int> ListWidget::moved(const std::string& key) const {
    int to = selected_;
    if (key == "ArrowDown") {
        to = selected_ + 1;
    } else if (key == "ArrowUp") {
        to = selected_ < 0 ? 0 : selected_ - 1;
    } else if (key == "PageDown" || key == "PageUp") {
        // A page's rows, less a table's captions, and one that stays in view.
        const int page = count_ == 0 ? 1
                                     : element_["clientHeight"].as<int>() /
                                               std::max(row(0)["offsetHeight"].as<int>(), 1) -
                                           (desc_.kind == WidgetKind::Table ? 1 : 0);
        to = selected_ + (key == "PageDown" ? 1 : -1) * std::max(page - 1, 1);
    } else if (key == "Home") {
        to = 0;
    } else if (key == "End") {
        to = count_ - 1;
    } else {
        return std::nullopt;
    }
    return count_ == 0 ? selected_ : std::clamp(to, 0, count_ - 1);
}

void ListWidget::click(const Js& target) {
    if (const int column = PlaceOf(target, "[data-column]", "data-column"); column >= 0) {
        if (desc_.sortable) {
            focusedCaption_ = column;
            events_.sortAsked(column);
        }
        return;
    }
    choose(PlaceOf(target, "[data-row]", "data-row"));
}

bool ListWidget::key(const Js& event) {
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
            events_.sortAsked(column);
            return true;
        }
        return false;
    }
    if (const std::optional<int> to = moved(key)) {
        choose(*to);
        return true;
    }
    // Typed keys build a prefix, as in a desktop list (TypeAhead); the event's time tells the
    // pauses between them.
    const double now = event["timeStamp"].as<double>();
    if (desc_.kind == WidgetKind::Table || key.size() != 1 ||
        (key[0] == ' ' && !typeAhead_.typing(now))) {
        return false;
    }
    const int to = typeAhead_.typed(key, now, desc_.items, selected_);
    if (to >= 0) {
        choose(to);
    }
    return true;
}

} // namespace runetally::web
