// A window's markup, made as text and put into the page in one call.
#include "markup.h"

#include <algorithm>

namespace runetally::web {
namespace {

bool Focusable(WidgetKind kind) {
    return kind != WidgetKind::Label && kind != WidgetKind::Line;
}

// Each kind's element, class and ARIA role; a widget with a role of its own takes the focus.
struct KindMarkup {
    const char* tag;
    const char* className;
    const char* role;
};
constexpr KindMarkup kKinds[] = {
    {"div", "label", nullptr},       {"input", "textbox", nullptr}, {"div", "listbox", "listbox"},
    {"button", "button", nullptr},   {"div", "picture", "img"},     {"div", "line", nullptr},
    {"select", "combobox", nullptr}, {"div", "grid", "grid"},       {"div", "chart", "img"},
};

// Where a widget stands when the window's controls stand in one column, on a narrow screen: the
// boxes the player types into, each after its caption, in Tab order; then the other controls
// that take the focus, in Tab order; then the boxes that only show, with their captions; then
// the rest as described.
int ColumnPlace(const FormDesc& form, const WidgetDesc& desc) {
    const WidgetDesc* control = &desc;
    if (desc.kind == WidgetKind::Label && desc.buddy) {
        control = &form.widget(*desc.buddy);
    }
    const auto stop = std::find(form.focusOrder.begin(), form.focusOrder.end(), control->id);
    if (stop == form.focusOrder.end()) {
        return 3000 + static_cast<int>(&desc - form.widgets.data());
    }
    const bool typed = (control->kind == WidgetKind::TextBox && !control->readOnly) ||
                       control->kind == WidgetKind::ComboBox;
    const int group = typed ? 0 : control->readOnly ? 2000 : 1000;
    return group + 2 * static_cast<int>(stop - form.focusOrder.begin()) +
           (control == &desc ? 1 : 0);
}

void WidgetMarkup(const FormDesc& form, const WidgetDesc& desc, const FormPlace& place,
                  Html& html) {
    const KindMarkup& kind = kKinds[static_cast<std::size_t>(desc.kind)];
    const char* tag = desc.kind == WidgetKind::Label && desc.buddy ? "label" : kind.tag;
    std::string css = PlaceCss(desc.rect);
    if (desc.kind == WidgetKind::Line) {
        // The line runs from its start pixel through its end pixel, lineWidth pixels thick.
        const int left = desc.rect.left / kTwipsPerPixel;
        const int right = (desc.rect.left + desc.rect.width) / kTwipsPerPixel;
        css = "left:" + Px(left) + ";top:" + Px(desc.rect.top / kTwipsPerPixel) +
              ";width:" + Px(right - left + 1) + ";height:" + Px(desc.lineWidth) +
              ";background:" + CssColour(desc.colour.value_or(Rgb{}));
    } else if (desc.colour) {
        css += "color:" + CssColour(*desc.colour) + ";";
    }
    css += "order:" + std::to_string(ColumnPlace(form, desc)) + ";";
    if (place.captionPoints) {
        const std::vector<const WidgetDesc*> captions = InputCaptions(form);
        if (std::find(captions.begin(), captions.end(), &desc) != captions.end()) {
            css += "font-size:" + PointsCss(*place.captionPoints) + ";";
        }
    }
    if (desc.font != nullptr) {
        // The face when installed, else the page's own, at the described size.
        css += "font-family:\"" + std::string(desc.font->face) + "\", " + kPageFaces +
               ";font-size:" + std::to_string(desc.font->pointSize) + "pt;";
    }
    const std::string_view name = form.controlName(desc.id);
    html.open(tag).attr("id", name);
    html.attr("data-control", std::to_string(desc.id.index)).attr("style", css);
    html.attr("class", std::string(kind.className) + (desc.readOnly ? " readonly" : "") +
                           (desc.defaultButton ? " default" : ""));
    if (kind.role != nullptr) {
        html.attr("role", kind.role).attr("tabindex", "0");
    }
    switch (desc.kind) {
    case WidgetKind::Label:
        if (desc.buddy) {
            html.attr("for", form.controlName(*desc.buddy));
        }
        break;
    case WidgetKind::TextBox:
        // Read-only still takes the focus and copies.
        html.attr("type", "text").attr("spellcheck", "false").attr("autocomplete", "off");
        html.attr("value", desc.text);
        if (desc.readOnly) {
            html.flag("readonly");
        }
        if (desc.maxLength > 0) {
            html.attr("maxlength", std::to_string(desc.maxLength));
        }
        break;
    case WidgetKind::PushButton:
        html.attr("type", "button");
        if (const char key = ParseAccessKey(desc.text).key) {
            html.attr("aria-keyshortcuts", "Alt+" + std::string(1, key));
        }
        break;
    case WidgetKind::Line:
        html.attr("aria-hidden", "true");
        break;
    case WidgetKind::Table:
        html.attr("aria-readonly", "true");
        break;
    default:
        break;
    }
    // <label for> names the controls that HTML lets a label name; the rest are named by the
    // label's id, or by their own accessible name when no label captions them.
    const auto caption = std::find_if(form.widgets.begin(), form.widgets.end(),
                                      [&](const WidgetDesc& w) { return w.buddy == desc.id; });
    if (caption != form.widgets.end()) {
        if (desc.kind != WidgetKind::TextBox && desc.kind != WidgetKind::ComboBox) {
            html.attr("aria-labelledby", form.controlName(caption->id));
        }
    } else if (Focusable(desc.kind) && desc.kind != WidgetKind::PushButton) {
        if (const std::string_view accessible = AccessibleName(form, desc); !accessible.empty()) {
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
    case WidgetKind::ListBox:
    case WidgetKind::Table:
        ListMarkup(name, desc, html);
        break;
    case WidgetKind::Picture:
        if (desc.image != nullptr && !desc.image->rows.empty()) {
            // One canvas pixel for each of the image's, drawn once the window is in the page.
            html.open("canvas").attr("width", std::to_string(desc.image->rows.front().size()));
            html.attr("height", std::to_string(desc.image->rows.size()));
            html.attr("aria-hidden", "true").close().end("canvas");
        }
        break;
    default:
        break;
    }
    html.end(tag);
}

} // namespace

void FormMarkup(const FormDesc& form, const FormPlace& place, Html& html) {
    const std::string name(form.name);
    html.open("section").attr("class", "form").attr("data-form", name);
    if (place.role != nullptr) {
        html.attr("role", place.role);
    }
    html.attr("aria-labelledby", name + "-caption");
    html.attr("style", "left:" + Px(place.left) + ";top:" + Px(place.top)).close();
    html.open("div").attr("class", "titlebar").close();
    html.open("span").attr("class", "title").attr("id", name + "-caption").close();
    html.text(form.caption).end("span");
    html.open("button").attr("type", "button").attr("class", "close").attr("tabindex", "-1");
    html.attr("aria-label", "Close").flag("data-close").close().text("\xC3\x97").end("button");
    html.end("div");
    if (!form.menus.empty()) {
        MenuMarkup(form, place.extras, html);
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
        WidgetMarkup(form, desc, place, html);
    }
    html.end("div").end("section");
}

} // namespace runetally::web
