// The keys of a window: Tab, access keys, Enter and Esc, shortcuts, and those of its widgets.
#include "formpage.h"

#include "dom.h"

#include <algorithm>

namespace runetally::web {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::vector<Js> FormPage::stops() const {
    std::vector<Js> all;
    for (ControlId stop : form_.focusOrder) {
        Js element = widget(stop);
        if (element["hidden"].as<bool>() || element["disabled"].as<bool>()) {
            continue;
        }
        if (const auto grid = grids_.find(stop.index); grid != grids_.end()) {
            if (Js captions = grid->second.captionStop(); !captions.isNull()) {
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
        if (events_->copying(*control)) {
            handled();
        }
        return;
    }
    pageKey(event);
    if (event["defaultPrevented"].as<bool>()) {
        return;
    }
    if (control && !ctrl && !alt &&
        ((kind == WidgetKind::ListBox && lists_.at(control->index).key(event)) ||
         (kind == WidgetKind::Table && grids_.at(control->index).key(event)))) {
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
        if (menuBar_->runShortcut(upper)) {
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

} // namespace runetally::web
