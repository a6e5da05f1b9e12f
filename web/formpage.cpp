#include "formpage.h"

#include "chartsvg.h"
#include "desk.h"
#include "dom.h"

#include <tuple>
#include <utility>

namespace runetally::web {

FormPage::FormPage(const FormDesc& form, Desk& desk, FormPlace place)
    : form_(form), desk_(desk),
      titlesPage_(place.role != nullptr && std::string_view(place.role) == "main"),
      window_(Js::null()), clientWidth_(static_cast<double>(form.clientWidth) / kTwipsPerPixel) {
    std::tie(left_, top_) = desk.placeFor(form);
    place.left = left_;
    place.top = top_;
    // The build wrote the main window into the page, so that the browser could paint it before
    // the program ran: that window is taken as it stands, with whatever the player typed into it.
    const Js written = Document().call<Js>("querySelector", "body > section[data-form=\"" +
                                                                std::string(form.name) + "\"]");
    if (!written.isNull() && desk.of(written) == nullptr) {
        window_ = written;
        adopted_ = true;
    } else {
        Html html;
        FormMarkup(form, place, html);
        window_ = Append(Document()["body"], html);
    }
    titleBar_ = window_["firstElementChild"];
    caption_ = titleBar_["firstElementChild"];
    client_ = window_["lastElementChild"];
    const Js children = client_["children"];
    for (const WidgetDesc& desc : form.widgets) {
        const ControlId id = desc.id;
        widgets_.push_back(children.call<Js>("item", static_cast<int>(id.index)));
        if (desc.kind == WidgetKind::ListBox || desc.kind == WidgetKind::Table) {
            lists_.try_emplace(
                id.index, widgets_.back(), std::string(form.controlName(id)), desc,
                ListWidget::Events{
                    .changed = [this, id] { events_->changed(id); },
                    .sortAsked = [this, id](int column) { events_->sortAsked(id, column); }});
        }
    }
    if (!form.menus.empty()) {
        menuBar_.emplace(
            form, window_.call<Js>("querySelector", ".menubar"),
            [this](ControlId id) { desk_.run([this, id] { events_->clicked(id); }); },
            std::move(place.extras));
    }
    if (titlesPage_) {
        Document().set("title", std::string_view(form.caption));
    }
    drawImages();
    fitCaptions();
    desk_.opened(*this);
    if (client_["classList"].call<bool>("contains", "sizable")) {
        Js::module("watchSize").call<void>("call", Js::null(), client_);
    }
    fit();
}

FormPage::~FormPage() {
    desk_.closed(*this);
    const bool hadFocus = Holds(window_, ActiveElement());
    window_.call<void>("remove");
    if (hadFocus && desk_.active() != nullptr) {
        desk_.active()->activate();
    }
}

void FormPage::load(FormEvents& events) {
    events_ = &events;
    desk_.load(*this);
}

void FormPage::catchUp() {
    // What was typed before the program ran is in the boxes, but no command has heard of it.
    if (!std::exchange(adopted_, false)) {
        return;
    }
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.kind == WidgetKind::TextBox && text(desc.id) != desc.text) {
            events_->changed(desc.id);
        }
    }
}

bool FormPage::holds(const Js& element) const {
    return Holds(window_, element);
}

void FormPage::close() {
    if (!std::exchange(closed_, true) && whenClosed_) {
        whenClosed_();
    }
}

void FormPage::setCaption(std::string_view caption) {
    SetText(caption_, caption);
    if (titlesPage_) {
        Document().set("title", std::string_view(caption));
    }
}

std::string FormPage::text(ControlId id) const {
    return Utf8(widget(id)[kind(id) == WidgetKind::TextBox ? "value" : "textContent"]);
}

void FormPage::setText(ControlId id, std::string_view text) {
    if (kind(id) != WidgetKind::TextBox) {
        SetText(widget(id), text);
        return;
    }
    widget(id).set("value", std::string_view(text));
    events_->changed(id);
}

int FormPage::selected(ControlId id) const {
    const auto list = lists_.find(id.index);
    return list != lists_.end() ? list->second.selected() : widget(id)["selectedIndex"].as<int>();
}

void FormPage::select(ControlId id, int place) {
    if (const auto list = lists_.find(id.index); list != lists_.end()) {
        list->second.select(place);
    } else {
        widget(id).set("selectedIndex", place);
    }
}

void FormPage::setRows(ControlId table, std::span<const TableRow> rows) {
    lists_.at(table.index).setRows(rows);
}

void FormPage::setColumns(ControlId table, std::span<const ColumnDesc> columns) {
    lists_.at(table.index).setColumns(columns);
}

void FormPage::setSortMark(ControlId table, int column, bool descending) {
    lists_.at(table.index).setSortMark(column, descending);
}

PointTwips FormPage::sizeOf(ControlId id) const {
    Js element = widget(id);
    return {element["clientWidth"].as<int>() * kTwipsPerPixel,
            element["clientHeight"].as<int>() * kTwipsPerPixel};
}

void FormPage::setChart(ControlId chart, const ChartPicture& picture) {
    const PointTwips size = sizeOf(chart);
    Js element = widget(chart);
    element.set("innerHTML", std::string_view(ChartSvg(picture, size.x, size.y)));
    // Named by its description's accessible name; what it shows is its description.
    SetAttribute(element, "aria-description", picture.description);
}

void FormPage::setShown(ControlId id, bool shown) {
    widget(id).set("hidden", !shown);
}

void FormPage::setMenuItem(ControlId item, std::string_view caption, bool shown) {
    if (menuBar_) {
        menuBar_->setItem(item, caption, shown);
    }
}

std::optional<ControlId> FormPage::controlOf(const Js& target) const {
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        if (Holds(widgets_[i], target)) {
            return form_.widgets[i].id;
        }
    }
    return std::nullopt;
}

void FormPage::click(const Js& target) {
    if (Holds(titleBar_, target)) {
        if (!target.call<Js>("closest", Js("[data-close]")).isNull()) {
            desk_.run([this] {
                if (events_->closing()) {
                    close();
                }
            });
        }
        return;
    }
    if (menuBar_ && menuBar_->owns(target)) {
        menuBar_->click(target);
        return;
    }
    const std::optional<ControlId> control = controlOf(target);
    if (!control) {
        return;
    }
    if (kind(*control) == WidgetKind::PushButton) {
        desk_.run([this, id = *control] { events_->clicked(id); });
    } else if (const auto list = lists_.find(control->index); list != lists_.end()) {
        list->second.click(target);
    }
}

void FormPage::beforeInput(const Js& event) {
    // A paste or drop that would take a box past its limit is refused whole, once the commands
    // have been asked: cut short by the box, it could change the number without a word.
    const std::string type = Utf8(event["inputType"]);
    const std::optional<ControlId> box = controlOf(event["target"]);
    if ((type != "insertFromPaste" && type != "insertFromDrop") || !box ||
        form_.widget(*box).maxLength == 0) {
        return;
    }
    const Js element = widget(*box);
    const Js transfer = event["dataTransfer"];
    const Js data = transfer.isNull() || transfer.isUndefined()
                        ? event["data"]
                        : transfer.call<Js>("getData", Js("text/plain"));
    const int inserted = data.isString() ? data["length"].as<int>() : 0;
    const int selected = element["selectionEnd"].as<int>() - element["selectionStart"].as<int>();
    const int length = element["value"]["length"].as<int>() - selected + inserted;
    if (length > form_.widget(*box).maxLength &&
        !events_->pasting(*box, static_cast<std::size_t>(length))) {
        event.call<void>("preventDefault");
    }
}

void FormPage::handle(const std::string& type, const Js& event) {
    const Js target = event["target"];
    if (type == "keydown") {
        // Alt alone, let go with no other key, takes the focus to the menu bar.
        altAlone_ = Utf8(event["key"]) == "Alt";
        keyDown(event);
    } else if (type == "keyup") {
        if (Utf8(event["key"]) == "Alt" && altAlone_ && menuBar_) {
            event.call<void>("preventDefault");
            menuBar_->focusBar();
        }
        altAlone_ = false;
    } else if (type == "click") {
        click(target);
    } else if (type == "input" || type == "change") {
        const std::optional<ControlId> control = controlOf(target);
        if (control && (kind(*control) == WidgetKind::TextBox) == (type == "input")) {
            events_->changed(*control);
        }
    } else if (type == "beforeinput") {
        beforeInput(event);
    } else if (type == "focusin") {
        desk_.worksIn(*this);
        if (Holds(client_, target)) {
            lastFocus_ = target;
        }
    } else if (type == "pointerdown" || type == "pointermove" || type == "pointerup") {
        pointer(type, event);
    } else if (type == "runetally-resize") {
        place();
    }
}

void FormPage::drawImages() {
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.kind != WidgetKind::Picture || desc.image == nullptr || desc.image->rows.empty()) {
            continue;
        }
        const Js context = widget(desc.id)["firstElementChild"].call<Js>("getContext", "2d");
        for (std::size_t y = 0; y < desc.image->rows.size(); ++y) {
            for (std::size_t x = 0; x < desc.image->rows[y].size(); ++x) {
                if (const std::optional<Rgb> colour = desc.image->colour(desc.image->rows[y][x])) {
                    context.set("fillStyle", std::string_view(CssColour(*colour)));
                    context.call<void>("fillRect", static_cast<int>(x), static_cast<int>(y), 1, 1);
                }
            }
        }
    }
}

} // namespace runetally::web
