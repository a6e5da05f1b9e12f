// The keys of a window: Tab, access keys, Enter and Esc, shortcuts, and those of its widgets.
#include "formpage.h"

#include "dom.h"

#include <algorithm>

namespace runetally::web {
std::vector<Js> FormPage::stops() const {
    std::vector<Js> all;
    for (ControlId stop : form_.focusOrder) {
        Js element = widget(stop);
        if (element["hidden"].as<bool>() || element["disabled"].as<bool>()) {
            continue;
        }
        if (const auto list = lists_.find(stop.index); list != lists_.end()) {
            if (Js captions = list->second.captionStop(); !captions.isNull()) {
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
        const char pressed = KeyLetter(key);
        const Js button = pressed == 0
                              ? Js::null()
                              : client_.call<Js>("querySelector",
                                                 "button[aria-keyshortcuts=\"Alt+" +
                                                     std::string(1, pressed) + "\"]:not([hidden])");
        if (menuBar_ && menuBar_->openByKey(pressed)) {
            handled();
        } else if (!button.isNull()) {
            handled();
            button.call<void>("click");
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
    if (const auto list = control ? lists_.find(control->index) : lists_.end();
        list != lists_.end() && !ctrl && !alt && list->second.key(event)) {
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
    } else if (ctrl && !alt && KeyLetter(key) != 0) {
        // With Shift the key is upper-case already: the letter alone says nothing of Shift.
        const char letter = KeyLetter(key);
        if (menuBar_->runShortcut(letter >= 'a' ? static_cast<char>(letter - 'a' + 'A') : letter,
                                  event["shiftKey"].as<bool>())) {
            event.call<void>("preventDefault");
        }
    } else if (alt && !ctrl && menuBar_->openByKey(KeyLetter(key))) {
        event.call<void>("preventDefault");
    }
}

void FormPage::closeMenus() {
    if (menuBar_) {
        menuBar_->close();
    }
}

} // namespace runetally::web
