#include "formpage.h"

#include "captionfit.h"
#include "chartsvg.h"
#include "clipboard.h"
#include "dom.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace runetally::web {
namespace {

// The page's default face, as the style sheet names it, at 9 points.
constexpr const char* kFaces = "\"Segoe UI\", system-ui, sans-serif";
constexpr double kDefaultPoints = 9.0;
constexpr double kLineSpacing = 1.25; // the labels' line height, as the style sheet sets it
constexpr int kCssDpi = 96;
constexpr double kMargin = 8; // CSS pixels between a window and the page's edges

std::vector<FormPage*>& OpenForms() {
    static std::vector<FormPage*> forms;
    return forms;
}

FormPage*& ActiveForm() {
    static FormPage* active = nullptr;
    return active;
}

// Giving the focus lays the page out; before the first paint it would hold the paint back.
bool& Drawn() {
    static bool drawn = false;
    return drawn;
}

int& TopLayer() {
    static int top = 0;
    return top;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The default face measured on a canvas, in CSS pixels.
class CanvasMeasure : public TextMeasure {
public:
    CanvasMeasure() : context_(Create("canvas", Js::null()).call<Js>("getContext", Js("2d"))) {}

    int width(std::string_view text, double points) override {
        use(points);
        return static_cast<int>(std::ceil(
            context_.call<Js>("measureText", std::string_view(text))["width"].as<double>()));
    }

    int wrappedHeight(std::string_view text, double points, int width) override {
        int lines = 0;
        std::string line;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = std::min(text.find(' ', start), text.size());
            const std::string word(text.substr(start, end - start));
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && this->width(longer, points) > width) {
                ++lines;
                line = word;
            } else {
                line = longer;
            }
            start = end + 1;
        }
        lines += line.empty() ? 0 : 1;
        return static_cast<int>(std::ceil(lines * points * kCssDpi / 72 * kLineSpacing));
    }

private:
    void use(double points) {
        if (points != points_) {
            points_ = points;
            context_.set("font", std::string_view(Px(points * kCssDpi / 72) + " " + kFaces));
        }
    }

    Js context_;
    double points_ = 0;
};

bool Focusable(WidgetKind kind) {
    return kind != WidgetKind::Label && kind != WidgetKind::Line;
}

} // namespace

FormPage::FormPage(const FormDesc& form, FormEvents events, FormPlace place,
                   std::vector<ExtraMenuItem> extras)
    : form_(form), events_(std::move(events)), window_(Create("section", Js::null(), "form")),
      left_(place.left), top_(place.top),
      clientWidth_(static_cast<double>(form.clientWidth) / kTwipsPerPixel) {
    const std::string name(form.name);
    SetAttribute(window_, "data-form", name);
    if (place.role != nullptr) {
        SetAttribute(window_, "role", place.role);
    }
    SetAttribute(window_, "aria-labelledby", name + "-caption");
    Html html;
    html.open("div").attr("class", "titlebar").close();
    html.open("span").attr("class", "title").attr("id", name + "-caption").close();
    html.text(form.caption).end("span");
    html.open("button").attr("type", "button").attr("class", "close").attr("tabindex", "-1");
    html.attr("aria-label", "Close").flag("data-close").close().text("\xC3\x97").end("button");
    html.end("div");
    if (!form.menus.empty()) {
        menuBar_ = std::make_unique<MenuBar>(
            form, [this](ControlId id) { events_.clicked(id); }, std::move(extras));
        menuBar_->markup(html);
    }
    const bool stretches = std::any_of(form.widgets.begin(), form.widgets.end(),
                                       [](const WidgetDesc& w) { return w.stretch != Stretch{}; });
    std::string size = "width:" + Twips(form.clientWidth) + ";height:" + Twips(form.clientHeight);
    if (stretches && form.describedIsMinimum) {
        size += ";min-width:" + Twips(form.clientWidth) + ";min-height:" + Twips(form.clientHeight);
    }
    // A window whose widgets stretch is made larger by its corner, as on a desktop by its frame.
    html.open("div").attr("class", stretches ? "client sizable" : "client");
    html.attr("style", size).close();
    for (const WidgetDesc& desc : form.widgets) {
        markup(desc, html);
    }
    window_.set("innerHTML", html.end("div").str());
    titleBar_ = window_["firstChild"];
    caption_ = titleBar_["firstChild"];
    client_ = window_["lastChild"];
    const Js children = client_["children"];
    for (const WidgetDesc& desc : form.widgets) {
        Js element = children.call<Js>("item", static_cast<int>(desc.id.index));
        const ControlId id = desc.id;
        const auto changed = [this, id] {
            if (events_.changed) {
                events_.changed(id);
            }
        };
        if (desc.kind == WidgetKind::ListBox) {
            lists_[id.index] =
                std::make_unique<ListBox>(element, std::string(form.controlName(id)), changed);
        } else if (desc.kind == WidgetKind::Table) {
            grids_[id.index] = std::make_unique<ReportGrid>(
                element, std::string(form.controlName(id)), desc,
                ReportGrid::Events{.rowChanged = changed, .sortRequested = [this, id](int column) {
                                       if (events_.sortRequested) {
                                           events_.sortRequested(id, column);
                                       }
                                   }});
        }
        widgets_.push_back(std::move(element));
    }
    window_["style"].set("cssText", "left:" + Px(left_) + ";top:" + Px(top_));
    Document()["body"].call<void>("appendChild", window_);
    if (menuBar_) {
        menuBar_->attach(window_);
    }
    fitCaptions();
    OpenForms().push_back(this);
    if (stretches) {
        Js::module("watchSize").call<void>("call", Js::null(), client_);
    }
    fit();
}

FormPage::~FormPage() {
    std::erase(OpenForms(), this);
    if (ActiveForm() == this) {
        ActiveForm() = OpenForms().empty() ? nullptr : OpenForms().back();
    }
    const bool hadFocus = Holds(window_, ActiveElement());
    window_.call<void>("remove");
    if (hadFocus && ActiveForm() != nullptr) {
        ActiveForm()->activate();
    }
}

void FormPage::markup(const WidgetDesc& desc, Html& html) const {
    std::string css = PlaceCss(desc.rect);
    const char* tag = "div";
    switch (desc.kind) {
    case WidgetKind::Label:
        tag = desc.buddy ? "label" : "div";
        if (desc.colour) {
            css += "color:" + CssColour(*desc.colour) + ";";
        }
        if (desc.font != nullptr) {
            // The face when installed, else the page's own, at the described size.
            css += "font-family:\"" + std::string(desc.font->face) + "\", " + kFaces +
                   ";font-size:" + std::to_string(desc.font->pointSize) + "pt;";
        }
        break;
    case WidgetKind::TextBox:
        tag = "input";
        break;
    case WidgetKind::PushButton:
        tag = "button";
        break;
    case WidgetKind::ComboBox:
        tag = "select";
        break;
    case WidgetKind::Line: {
        // The line runs from its start pixel through its end pixel, lineWidth pixels thick.
        const int left = desc.rect.left / kTwipsPerPixel;
        const int right = (desc.rect.left + desc.rect.width) / kTwipsPerPixel;
        css = "left:" + Px(left) + ";top:" + Px(desc.rect.top / kTwipsPerPixel) +
              ";width:" + Px(right - left + 1) + ";height:" + Px(desc.lineWidth) +
              ";background:" + CssColour(desc.colour.value_or(Rgb{}));
        break;
    }
    default:
        break;
    }
    html.open(tag).attr("id", form_.controlName(desc.id));
    html.attr("data-control", std::to_string(desc.id.index)).attr("style", css);
    switch (desc.kind) {
    case WidgetKind::Label:
        html.attr("class", "label");
        if (desc.buddy) {
            html.attr("for", form_.controlName(*desc.buddy));
        }
        break;
    case WidgetKind::TextBox:
        // Read-only still takes the focus and copies.
        html.attr("type", "text").attr("spellcheck", "false").attr("autocomplete", "off");
        html.attr("class", desc.readOnly ? "textbox readonly" : "textbox");
        html.attr("value", desc.text);
        if (desc.readOnly) {
            html.flag("readonly");
        }
        if (desc.maxLength > 0) {
            html.attr("maxlength", std::to_string(desc.maxLength));
        }
        break;
    case WidgetKind::ListBox:
        html.attr("class", "listbox").attr("role", "listbox").attr("tabindex", "0");
        break;
    case WidgetKind::PushButton:
        html.attr("type", "button").attr("class", desc.defaultButton ? "button default" : "button");
        if (const char key = ParseAccessKey(desc.text).key) {
            html.attr("aria-keyshortcuts", "Alt+" + std::string(1, key));
        }
        break;
    case WidgetKind::Picture:
        html.attr("class", "picture").attr("role", "img").attr("tabindex", "0");
        break;
    case WidgetKind::Line:
        html.attr("class", "line").attr("aria-hidden", "true");
        break;
    case WidgetKind::ComboBox:
        html.attr("class", "combobox");
        break;
    case WidgetKind::Table:
        html.attr("class", "grid").attr("role", "grid").attr("aria-readonly", "true");
        html.attr("tabindex", "0");
        break;
    case WidgetKind::Chart:
        html.attr("class", "chart").attr("role", "img").attr("tabindex", "0");
        break;
    }
    // <label for> names the controls that HTML lets a label name; the rest are named by the
    // label's id, or by their own accessible name when no label captions them.
    const auto caption = std::find_if(form_.widgets.begin(), form_.widgets.end(),
                                      [&](const WidgetDesc& w) { return w.buddy == desc.id; });
    if (caption != form_.widgets.end()) {
        if (desc.kind != WidgetKind::TextBox && desc.kind != WidgetKind::ComboBox) {
            html.attr("aria-labelledby", form_.controlName(caption->id));
        }
    } else if (Focusable(desc.kind) && desc.kind != WidgetKind::PushButton) {
        if (const std::string_view accessible = AccessibleName(form_, desc); !accessible.empty()) {
            html.attr("aria-label", accessible);
        }
    }
    if (desc.hidden) {
        html.flag("hidden");
    }
    html.close();
    switch (desc.kind) {
    case WidgetKind::TextBox:
        return; // no content, no end tag
    case WidgetKind::Label:
        html.text(desc.text);
        break;
    case WidgetKind::PushButton:
        html.caption(desc.text);
        break;
    case WidgetKind::ComboBox:
        for (std::string_view item : desc.items) {
            html.open("option");
            if (item == desc.text) {
                html.flag("selected");
            }
            html.close().text(item).end("option");
        }
        break;
    case WidgetKind::Table:
        ReportGrid::Markup(html);
        break;
    default:
        break;
    }
    html.end(tag);
}

void FormPage::fitCaptions() {
    const std::vector<const WidgetDesc*> captions = InputCaptions(form_);
    if (captions.empty()) {
        return;
    }
    CanvasMeasure measure;
    const std::optional<double> points = FitCaptions(form_, kCssDpi, kDefaultPoints, measure);
    if (!points) {
        return;
    }
    char size[16];
    std::snprintf(size, sizeof size, "%.4gpt", *points);
    for (const WidgetDesc* caption : captions) {
        SetStyle(widget(caption->id), "font-size", size);
    }
}

FormPage* FormPage::Of(const Js& element) {
    for (FormPage* form : OpenForms()) {
        if (Holds(form->window_, element)) {
            return form;
        }
    }
    return nullptr;
}

FormPage* FormPage::Active() {
    return ActiveForm();
}

void FormPage::FitAll() {
    for (FormPage* form : OpenForms()) {
        form->fit();
    }
}

void FormPage::PageDrawn() {
    Drawn() = true;
    if (ActiveForm() != nullptr) {
        ActiveForm()->activate();
    }
}

void FormPage::setCaption(std::string_view text) {
    SetText(caption_, text);
}

void FormPage::raise() {
    SetStyle(window_, "z-index", std::to_string(++TopLayer()));
    ActiveForm() = this;
}

void FormPage::activate() {
    raise();
    if (!Drawn() || Holds(window_, ActiveElement())) {
        return;
    }
    if (Holds(client_, lastFocus_) && !lastFocus_["hidden"].as<bool>()) {
        Focus(lastFocus_);
        return;
    }
    const std::vector<Js> all = stops();
    if (!all.empty()) {
        Focus(all.front());
    }
}

void FormPage::fit() {
    // From what the window knows of its width, without laying the page out before it is drawn.
    const double room = Js::global("innerWidth").as<double>() - 2 * kMargin;
    const double width = clientWidth_ + 2; // and the frame's borders
    if (width > room && width > 0) {
        SetStyle(window_, "transform", "scale(" + std::to_string(room / width) + ")");
        SetStyle(window_, "left", Px(kMargin));
    } else if (scaled_ || left_ + width > room + kMargin) {
        SetStyle(window_, "transform", "none");
        SetStyle(window_, "left", Px(std::max(kMargin, std::min(left_, room + kMargin - width))));
    }
    scaled_ = width > room && width > 0;
}

std::string FormPage::text(ControlId box) const {
    return Utf8(widget(box)["value"]);
}

void FormPage::setText(ControlId box, std::string_view text) {
    widget(box).set("value", std::string_view(text));
    if (events_.changed) {
        events_.changed(box);
    }
}

void FormPage::setLabel(ControlId label, std::string_view text) {
    SetText(widget(label), text);
}

void FormPage::setShown(ControlId control, bool shown) {
    widget(control).set("hidden", !shown);
}

void FormPage::setMenuItem(ControlId item, std::string_view caption, bool shown) {
    if (menuBar_) {
        menuBar_->setItem(item, caption, shown);
    }
}

int FormPage::chosenItem(ControlId combo) const {
    return widget(combo)["selectedIndex"].as<int>();
}

void FormPage::setChart(ControlId chart, const ChartPicture& picture) {
    const PointTwips size = sizeOf(chart);
    Js element = widget(chart);
    element.set("innerHTML", std::string_view(ChartSvg(picture, size.x, size.y)));
    // Named by its description's accessible name; what it shows is its description.
    SetAttribute(element, "aria-description", picture.description);
}

PointTwips FormPage::sizeOf(ControlId id) const {
    Js element = widget(id);
    return {element["clientWidth"].as<int>() * kTwipsPerPixel,
            element["clientHeight"].as<int>() * kTwipsPerPixel};
}

std::optional<ControlId> FormPage::controlOf(const Js& target) const {
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        if (Holds(widgets_[i], target)) {
            return form_.widgets[i].id;
        }
    }
    return std::nullopt;
}

std::vector<Js> FormPage::stops() const {
    std::vector<Js> all;
    for (ControlId stop : form_.focusOrder) {
        Js element = widget(stop);
        if (element["hidden"].as<bool>() || element["disabled"].as<bool>()) {
            continue;
        }
        if (const auto grid = grids_.find(stop.index); grid != grids_.end()) {
            if (Js captions = grid->second->captionStop(); !captions.isNull()) {
                all.push_back(captions);
            }
        }
        all.push_back(element);
    }
    return all;
}

void FormPage::tab(bool back) {
    const std::vector<Js> all = stops();
    if (all.empty()) {
        return;
    }
    const Js focused = ActiveElement();
    const auto at = std::find_if(all.begin(), all.end(),
                                 [&](const Js& stop) { return stop.strictlyEquals(focused); });
    std::size_t next = 0;
    if (at != all.end()) {
        const std::size_t now = static_cast<std::size_t>(at - all.begin());
        next = back ? (now + all.size() - 1) % all.size() : (now + 1) % all.size();
    } else if (back) {
        next = all.size() - 1;
    }
    Focus(all[next]);
}

bool FormPage::press(bool WidgetDesc::*which) {
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.*which && !widget(desc.id)["hidden"].as<bool>()) {
            widget(desc.id).call<void>("click");
            return true;
        }
    }
    return false;
}

void FormPage::keyDown(const Js& event) {
    const Js target = event["target"];
    const std::string key = Utf8(event["key"]);
    const bool ctrl = event["ctrlKey"].as<bool>() || event["metaKey"].as<bool>();
    const bool alt = event["altKey"].as<bool>();
    const bool shift = event["shiftKey"].as<bool>();
    const auto handled = [&event] { event.call<void>("preventDefault"); };
    if (menuBar_ && menuBar_->owns(target)) {
        if (menuBar_->key(event)) {
            handled();
        }
        return;
    }
    if (alt && !ctrl && key.size() == 1) {
        const char pressed = Lower(key[0]);
        if (menuBar_ && menuBar_->openByKey(pressed)) {
            handled();
            return;
        }
        for (const WidgetDesc& desc : form_.widgets) {
            if (desc.kind == WidgetKind::PushButton && ParseAccessKey(desc.text).key == pressed &&
                !widget(desc.id)["hidden"].as<bool>()) {
                handled();
                widget(desc.id).call<void>("click");
                return;
            }
        }
        return;
    }
    if (key == "Tab" && !ctrl && !alt) {
        handled();
        tab(shift);
        return;
    }
    const std::optional<ControlId> control = controlOf(target);
    const WidgetKind kind = control ? form_.widget(*control).kind : WidgetKind::Label;
    if (ctrl && !alt && (key == "c" || key == "C" || key == "Insert") &&
        (kind == WidgetKind::Table || kind == WidgetKind::Chart)) {
        if (events_.copying && events_.copying(*control)) {
            handled();
        }
        return;
    }
    pageKey(event);
    if (event["defaultPrevented"].as<bool>()) {
        return;
    }
    if (control && kind == WidgetKind::ListBox && !ctrl && !alt && list(*control).key(event)) {
        handled();
        return;
    }
    if (control && kind == WidgetKind::Table && !ctrl && !alt && grid(*control).key(event)) {
        handled();
        return;
    }
    const std::string tag = Utf8(target["tagName"]);
    if (key == "Enter" && !ctrl && !alt && tag != "BUTTON" && tag != "SELECT") {
        if (press(&WidgetDesc::defaultButton)) {
            handled();
        }
    } else if (key == "Escape" && press(&WidgetDesc::cancelButton)) {
        handled();
    }
}

void FormPage::pageKey(const Js& event) {
    if (!menuBar_) {
        return;
    }
    const std::string key = Utf8(event["key"]);
    const bool ctrl = event["ctrlKey"].as<bool>() || event["metaKey"].as<bool>();
    const bool alt = event["altKey"].as<bool>();
    if (key == "F10" && !ctrl && !alt) {
        event.call<void>("preventDefault");
        menuBar_->focusBar();
    } else if (ctrl && !alt && !event["shiftKey"].as<bool>() && key.size() == 1) {
        const char upper =
            key[0] >= 'a' && key[0] <= 'z' ? static_cast<char>(key[0] - 'a' + 'A') : key[0];
        if (menuBar_->runShortcut(upper, true)) {
            event.call<void>("preventDefault");
        }
    } else if (alt && !ctrl && key.size() == 1 && menuBar_->openByKey(Lower(key[0]))) {
        event.call<void>("preventDefault");
    }
}

void FormPage::closeMenus() {
    if (menuBar_) {
        menuBar_->close();
    }
}

void FormPage::click(const Js& target) {
    if (Holds(titleBar_, target)) {
        if (!target.call<Js>("closest", Js("[data-close]")).isNull() && events_.closing) {
            events_.closing();
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
    switch (form_.widget(*control).kind) {
    case WidgetKind::PushButton:
        events_.clicked(*control);
        break;
    case WidgetKind::ListBox:
        list(*control).click(target);
        break;
    case WidgetKind::Table:
        grid(*control).click(target);
        break;
    default:
        break;
    }
}

bool FormPage::beforeInput(const Js& event) {
    // A paste or drop that would take a box past its limit is refused whole, once the commands
    // have been asked: cut short by the box, it could change the number without a word.
    const std::string type = Utf8(event["inputType"]);
    const std::optional<ControlId> box = controlOf(event["target"]);
    if ((type != "insertFromPaste" && type != "insertFromDrop") || !box ||
        form_.widget(*box).maxLength == 0 || !events_.pasting) {
        return true;
    }
    const Js element = widget(*box);
    const Js transfer = event["dataTransfer"];
    const Js data = transfer.isNull() || transfer.isUndefined()
                        ? event["data"]
                        : transfer.call<Js>("getData", Js("text/plain"));
    const int inserted = data.isString() ? data["length"].as<int>() : 0;
    const int selected = element["selectionEnd"].as<int>() - element["selectionStart"].as<int>();
    const int length = element["value"]["length"].as<int>() - selected + inserted;
    if (length <= form_.widget(*box).maxLength || events_.pasting(*box, length)) {
        return true;
    }
    event.call<void>("preventDefault");
    return false;
}

void FormPage::pointer(const std::string& type, const Js& event) {
    const Js target = event["target"];
    if (type == "pointerdown") {
        raise();
        if (menuBar_ && !menuBar_->owns(target)) {
            menuBar_->close();
        }
        if (Holds(titleBar_, target) && target.call<Js>("closest", Js("[data-close]")).isNull()) {
            drag_ = std::array<double, 4>{
                event["clientX"].as<double>(), event["clientY"].as<double>(),
                window_["offsetLeft"].as<double>(), window_["offsetTop"].as<double>()};
            titleBar_.call<void>("setPointerCapture", event["pointerId"]);
        }
    } else if (type == "pointermove" && drag_) {
        left_ = std::max(0.0, (*drag_)[2] + event["clientX"].as<double>() - (*drag_)[0]);
        top_ = std::max(0.0, (*drag_)[3] + event["clientY"].as<double>() - (*drag_)[1]);
        SetStyle(window_, "left", Px(left_));
        SetStyle(window_, "top", Px(top_));
    } else if (type == "pointerup") {
        drag_.reset();
    }
}

void FormPage::place() {
    clientWidth_ = client_["offsetWidth"].as<double>();
    const int width = client_["clientWidth"].as<int>() * kTwipsPerPixel;
    const int height = client_["clientHeight"].as<int>() * kTwipsPerPixel;
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.stretch != Stretch{}) {
            Place(widget(desc.id), Placed(form_, desc, width, height));
            if (desc.kind == WidgetKind::Chart && events_.resized) {
                events_.resized(desc.id);
            }
        }
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
        const bool typed =
            control && (form_.widget(*control).kind == WidgetKind::TextBox) == (type == "input");
        if (typed && events_.changed) {
            events_.changed(*control);
        }
    } else if (type == "beforeinput") {
        beforeInput(event);
    } else if (type == "focusin") {
        ActiveForm() = this;
        if (Holds(client_, target)) {
            lastFocus_ = target;
        }
    } else if (type == "pointerdown" || type == "pointermove" || type == "pointerup") {
        pointer(type, event);
    } else if (type == "runetally-resize") {
        place();
    }
}

} // namespace runetally::web
