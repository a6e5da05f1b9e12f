#include "menubar.h"

#include "dom.h"

#include <utility>

namespace runetally::web {
namespace {

// "Control+O", as aria-keyshortcuts names it.
std::string AriaShortcut(Shortcut shortcut) {
    return (shortcut.control ? "Control+" : "") + std::string(1, shortcut.key);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

MenuBar::MenuBar(const Js& parent, const FormDesc& form, std::function<void(ControlId)> clicked,
                 std::vector<ExtraMenuItem> extras)
    : bar_(Create("div", parent, "menubar")), clicked_(std::move(clicked)) {
    SetAttribute(bar_, "role", "menubar");
    SetAttribute(bar_, "aria-label", form.caption);
    for (const MenuDesc& desc : form.menus) {
        Menu menu{std::string(desc.caption), {}};
        for (const MenuItemDesc& item : desc.items) {
            for (ExtraMenuItem& extra : extras) {
                if (extra.before == item.id) {
                    menu.items.push_back({.id = std::nullopt,
                                          .name = extra.name,
                                          .caption = extra.caption,
                                          .shortcut = extra.shortcut,
                                          .run = std::move(extra.run)});
                }
            }
            menu.items.push_back({.id = item.id,
                                  .name = std::string(form.controlName(item.id)),
                                  .caption = std::string(item.caption),
                                  .shortcut = item.shortcut,
                                  .shown = !item.hidden});
            menu.items.back().separatorBefore = item.separatorBefore;
        }
        menus_.push_back(std::move(menu));
    }
    for (std::size_t m = 0; m < menus_.size(); ++m) {
        Menu& menu = menus_[m];
        const std::string name(form.controlName(form.menus[m].id));
        Js holder = Create("div", bar_, "menu");
        menu.title = Create("button", holder, "menutitle");
        menu.title.set("id", std::string_view(name));
        menu.title.set("type", Js("button"));
        menu.title.set("tabIndex", -1);
        SetAttribute(menu.title, "role", "menuitem");
        SetAttribute(menu.title, "aria-haspopup", "menu");
        SetAttribute(menu.title, "aria-expanded", "false");
        SetAccessCaption(menu.title, menu.caption);
        if (const char key = ParseAccessKey(menu.caption).key) {
            SetAttribute(menu.title, "aria-keyshortcuts", "Alt+" + std::string(1, key));
        }
        menu.list = Create("div", holder, "items");
        menu.list.set("id", std::string_view(name + "-items"));
        menu.list.set("hidden", true);
        SetAttribute(menu.list, "role", "menu");
        SetAttribute(menu.list, "aria-labelledby", name);
        for (Item& item : menu.items) {
            if (item.separatorBefore) {
                item.separator = Create("div", menu.list, "separator");
                SetAttribute(item.separator, "role", "separator");
            }
            item.element = Create("div", menu.list, "item");
            item.element.set("id", std::string_view(item.name));
            item.element.set("tabIndex", -1);
            SetAttribute(item.element, "role", "menuitem");
            Js caption = Create("span", item.element, "label");
            SetAccessCaption(caption, item.caption);
            if (item.shortcut.key != 0) {
                // Told by aria-keyshortcuts rather than read as part of the name.
                Js shortcut = Create("span", item.element, "shortcut");
                SetText(shortcut, ShortcutText(item.shortcut));
                SetAttribute(shortcut, "aria-hidden", "true");
                SetAttribute(item.element, "aria-keyshortcuts", AriaShortcut(item.shortcut));
            }
            item.element.set("hidden", !item.shown);
        }
        showSeparators(menu);
    }
}

void MenuBar::showSeparators(Menu& menu) {
    bool anyBefore = false;
    for (Item& item : menu.items) {
        if (!item.separator.isNull()) {
            item.separator.set("hidden", !(item.shown && anyBefore));
        }
        anyBefore = anyBefore || item.shown;
    }
}

void MenuBar::setItem(ControlId id, std::string_view caption, bool shown) {
    for (Menu& menu : menus_) {
        for (Item& item : menu.items) {
            if (item.id == id) {
                item.caption = std::string(caption);
                item.shown = shown;
                SetAccessCaption(item.element["firstChild"], caption);
                item.element.set("hidden", !shown);
                showSeparators(menu);
            }
        }
    }
}

Js MenuBar::item(ControlId id) const {
    for (const Menu& menu : menus_) {
        for (const Item& item : menu.items) {
            if (item.id == id) {
                return item.element;
            }
        }
    }
    return Js::null();
}

bool MenuBar::owns(const Js& target) const {
    return Holds(bar_, target);
}

std::optional<std::size_t> MenuBar::menuOf(const Js& target) const {
    for (std::size_t m = 0; m < menus_.size(); ++m) {
        if (Holds(menus_[m].title, target) || Holds(menus_[m].list, target)) {
            return m;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> MenuBar::itemOf(const Menu& menu, const Js& target) const {
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        if (Holds(menu.items[i].element, target)) {
            return i;
        }
    }
    return std::nullopt;
}

void MenuBar::open(std::size_t m, bool focusFirst) {
    if (!open_ && returnFocus_.isNull()) {
        returnFocus_ = ActiveElement();
    }
    if (open_ && *open_ != m) {
        menus_[*open_].list.set("hidden", true);
        SetAttribute(menus_[*open_].title, "aria-expanded", "false");
    }
    open_ = m;
    menus_[m].list.set("hidden", false);
    SetAttribute(menus_[m].title, "aria-expanded", "true");
    if (focusFirst) {
        for (const Item& item : menus_[m].items) {
            if (item.shown) {
                Focus(item.element);
                return;
            }
        }
    }
    Focus(menus_[m].title);
}

void MenuBar::close() {
    if (open_) {
        menus_[*open_].list.set("hidden", true);
        SetAttribute(menus_[*open_].title, "aria-expanded", "false");
        open_.reset();
    }
    const Js back = returnFocus_;
    returnFocus_ = Js::null();
    if (Holds(bar_, ActiveElement()) && Holds(Document()["body"], back)) {
        Focus(back);
    }
}

void MenuBar::focusBar() {
    if (menus_.empty()) {
        return;
    }
    if (returnFocus_.isNull()) {
        returnFocus_ = ActiveElement();
    }
    Focus(menus_.front().title);
}

void MenuBar::runItem(std::size_t m, std::size_t i) {
    Item& item = menus_[m].items[i];
    close();
    // The command runs with the focus back where it was, so that its boxes return it there.
    if (item.run) {
        item.run();
    } else if (item.id) {
        clicked_(*item.id);
    }
}

void MenuBar::click(const Js& target) {
    const std::optional<std::size_t> m = menuOf(target);
    if (!m) {
        return;
    }
    if (Holds(menus_[*m].title, target)) {
        if (open_ == m) {
            close();
        } else {
            open(*m, false);
        }
        return;
    }
    if (const std::optional<std::size_t> i = itemOf(menus_[*m], target)) {
        runItem(*m, *i);
    }
}

void MenuBar::moveInMenu(int by) {
    Menu& menu = menus_[*open_];
    const std::optional<std::size_t> now = itemOf(menu, ActiveElement());
    const int count = static_cast<int>(menu.items.size());
    int at = now ? static_cast<int>(*now) : (by > 0 ? -1 : count);
    for (int step = 0; step < count; ++step) {
        at = (at + by + count) % count;
        if (menu.items[static_cast<std::size_t>(at)].shown) {
            Focus(menu.items[static_cast<std::size_t>(at)].element);
            return;
        }
    }
}

bool MenuBar::key(const Js& event) {
    const std::optional<std::size_t> m = menuOf(event["target"]);
    if (!m) {
        return false;
    }
    const std::string key = Utf8(event["key"]);
    const auto count = menus_.size();
    if (key == "Escape" || key == "Tab") {
        close();
        return key == "Escape";
    }
    if (key == "ArrowLeft" || key == "ArrowRight") {
        const std::size_t next = (*m + (key == "ArrowLeft" ? count - 1 : 1)) % count;
        if (open_) {
            open(next, true);
        } else {
            Focus(menus_[next].title);
        }
        return true;
    }
    const bool onTitle = Holds(menus_[*m].title, event["target"]);
    if (onTitle && (key == "ArrowDown" || key == "Enter" || key == " ")) {
        open(*m, true);
        return true;
    }
    if (!open_) {
        return key.size() == 1 && openByKey(Lower(key[0]));
    }
    if (key == "ArrowDown" || key == "ArrowUp") {
        moveInMenu(key == "ArrowDown" ? 1 : -1);
        return true;
    }
    if (key == "Home" || key == "End") {
        const auto& items = menus_[*m].items;
        for (std::size_t k = 0; k < items.size(); ++k) {
            const std::size_t i = key == "Home" ? k : items.size() - 1 - k;
            if (items[i].shown) {
                Focus(items[i].element);
                break;
            }
        }
        return true;
    }
    if (key == "Enter" || key == " ") {
        if (const auto i = itemOf(menus_[*m], event["target"])) {
            runItem(*m, *i);
        }
        return true;
    }
    if (key.size() == 1) {
        const char pressed = Lower(key[0]);
        for (std::size_t i = 0; i < menus_[*m].items.size(); ++i) {
            const Item& item = menus_[*m].items[i];
            if (item.shown && ParseAccessKey(item.caption).key == pressed) {
                runItem(*m, i);
                return true;
            }
        }
        return true;
    }
    return false;
}

bool MenuBar::openByKey(char key) {
    for (std::size_t m = 0; m < menus_.size(); ++m) {
        if (ParseAccessKey(menus_[m].caption).key == key) {
            open(m, true);
            return true;
        }
    }
    return false;
}

bool MenuBar::runShortcut(char key, bool control) {
    for (std::size_t m = 0; m < menus_.size(); ++m) {
        for (std::size_t i = 0; i < menus_[m].items.size(); ++i) {
            const Item& item = menus_[m].items[i];
            if (item.shown && item.shortcut.key == key && item.shortcut.control == control) {
                runItem(m, i);
                return true;
            }
        }
    }
    return false;
}

} // namespace runetally::web
