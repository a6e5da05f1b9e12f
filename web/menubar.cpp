#include "menubar.h"

#include "dom.h"

#include <utility>

namespace runetally::web {
namespace {

// A line shows between items shown, never first or last.
void ShowSeparators(const Js& list) {
    bool anyBefore = false;
    for (Js child = list["firstElementChild"]; !child.isNull();
         child = child["nextElementSibling"]) {
        if (Utf8(child["className"]) == "separator") {
            const Js next = child["nextElementSibling"];
            child.set("hidden", !anyBefore || next.isNull() || next["hidden"].as<bool>());
        } else {
            anyBefore = anyBefore || !child["hidden"].as<bool>();
        }
    }
}

void Expand(const Js& menu, bool open) {
    menu["lastElementChild"].set("hidden", !open);
    SetAttribute(menu["firstElementChild"], "aria-expanded", open ? "true" : "false");
}

} // namespace

MenuBar::MenuBar(const FormDesc& form, const Js& bar, std::function<void(ControlId)> clicked,
                 std::vector<ExtraMenuItem> extras)
    : form_(form), bar_(bar), clicked_(std::move(clicked)), extras_(std::move(extras)) {}

void MenuBar::setItem(ControlId id, std::string_view caption, bool shown) {
    const Js item = bar_.call<Js>("querySelector", "#" + std::string(form_.controlName(id)));
    Html label;
    item["firstElementChild"].set("innerHTML", std::string_view(label.caption(caption).str()));
    if (const char key = ParseAccessKey(caption).key) {
        SetAttribute(item, "data-key", std::string(1, key));
    } else {
        item.call<void>("removeAttribute", "data-key");
    }
    item.set("hidden", !shown);
    ShowSeparators(item["parentElement"]);
}

bool MenuBar::owns(const Js& target) const {
    return Holds(bar_, target);
}

void MenuBar::open(const Js& menu, bool focusFirst) {
    if (open_.isNull() && returnFocus_.isNull()) {
        returnFocus_ = ActiveElement();
    }
    if (!open_.isNull()) {
        Expand(open_, false);
    }
    open_ = menu;
    Expand(menu, true);
    const Js first =
        focusFirst ? menu.call<Js>("querySelector", ".item:not([hidden])") : Js::null();
    Focus(first.isNull() ? menu["firstElementChild"] : first);
}

void MenuBar::close() {
    if (!open_.isNull()) {
        Expand(open_, false);
        open_ = Js::null();
    }
    const Js back = returnFocus_;
    returnFocus_ = Js::null();
    if (Holds(bar_, ActiveElement()) && Holds(Document()["body"], back)) {
        Focus(back);
    }
}

void MenuBar::focusBar() {
    const Js first = bar_["firstElementChild"];
    if (first.isNull()) {
        return;
    }
    if (returnFocus_.isNull()) {
        returnFocus_ = ActiveElement();
    }
    Focus(first["firstElementChild"]);
}

void MenuBar::runItem(const Js& item) {
    const std::string name = Utf8(item["id"]);
    close();
    // The command runs with the focus back where it was, so that its boxes return it there.
    for (const ExtraMenuItem& extra : extras_) {
        if (extra.name == name) {
            extra.run();
            return;
        }
    }
    for (const MenuDesc& menu : form_.menus) {
        for (const MenuItemDesc& desc : menu.items) {
            if (form_.controlName(desc.id) == name) {
                clicked_(desc.id);
                return;
            }
        }
    }
}

void MenuBar::click(const Js& target) {
    const Js menu = target.call<Js>("closest", ".menu");
    if (menu.isNull()) {
        return;
    }
    if (Holds(menu["firstElementChild"], target)) {
        if (open_.strictlyEquals(menu)) {
            close();
        } else {
            open(menu, false);
        }
    } else if (const Js item = target.call<Js>("closest", ".item"); !item.isNull()) {
        runItem(item);
    }
}

bool MenuBar::key(const Js& event) {
    const Js target = event["target"];
    const Js menu = target.call<Js>("closest", ".menu");
    if (menu.isNull()) {
        return false;
    }
    const std::string key = Utf8(event["key"]);
    if (key == "Escape" || key == "Tab") {
        close();
        return key == "Escape";
    }
    if (key == "ArrowLeft" || key == "ArrowRight") {
        const bool left = key == "ArrowLeft";
        Js next = menu[left ? "previousElementSibling" : "nextElementSibling"];
        if (next.isNull()) {
            next = bar_[left ? "lastElementChild" : "firstElementChild"];
        }
        if (open_.isNull()) {
            Focus(next["firstElementChild"]);
        } else {
            open(next, true);
        }
        return true;
    }
    if (Holds(menu["firstElementChild"], target) &&
        (key == "ArrowDown" || key == "Enter" || key == " ")) {
        open(menu, true);
        return true;
    }
    if (open_.isNull()) {
        return openByKey(KeyLetter(key));
    }
    if (key == "Enter" || key == " ") {
        if (const Js item = target.call<Js>("closest", ".item"); !item.isNull()) {
            runItem(item);
        }
        return true;
    }
    if (key.size() == 1) {
        const char pressed = KeyLetter(key);
        const Js item = pressed == 0
                            ? Js::null()
                            : open_.call<Js>("querySelector", ".item:not([hidden])[data-key=\"" +
                                                                  std::string(1, pressed) + "\"]");
        if (!item.isNull()) {
            runItem(item);
        }
        return true;
    }
    const Js items = open_.call<Js>("querySelectorAll", ".item:not([hidden])");
    const int count = items["length"].as<int>();
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (items.call<Js>("item", i).strictlyEquals(ActiveElement())) {
            at = i;
        }
    }
    int to = 0;
    if (key == "ArrowDown") {
        to = at < 0 ? 0 : (at + 1) % count;
    } else if (key == "ArrowUp") {
        to = at < 0 ? count - 1 : (at + count - 1) % count;
    } else if (key == "End") {
        to = count - 1;
    } else if (key != "Home") {
        return false;
    }
    if (count > 0) {
        Focus(items.call<Js>("item", to));
    }
    return true;
}

bool MenuBar::openByKey(char key) {
    if (key == 0) {
        return false;
    }
    const Js title = bar_.call<Js>("querySelector", ".menutitle[aria-keyshortcuts=\"Alt+" +
                                                        std::string(1, key) + "\"]");
    if (title.isNull()) {
        return false;
    }
    open(title["parentElement"], true);
    return true;
}

bool MenuBar::runShortcut(char key, bool shift) {
    const Js item = bar_.call<Js>("querySelector", ".item:not([hidden])[aria-keyshortcuts=\"" +
                                                       KeysName({key, true, shift}) + "\"]");
    if (item.isNull()) {
        return false;
    }
    runItem(item);
    return true;
}

} // namespace runetally::web
