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

MenuBar::MenuBar(const FormDesc& form, std::function<void(ControlId)> clicked,
                 std::vector<ExtraMenuItem> extras)
    : label_(form.caption), clicked_(std::move(clicked)) {
    for (const MenuDesc& desc : form.menus) {
        Menu menu{std::string(form.controlName(desc.id)), std::string(desc.caption), {}};
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
                                  .shown = !item.hidden,
                                  .separatorBefore = item.separatorBefore});
        }
        menus_.push_back(std::move(menu));
    }
}

void MenuBar::markup(Html& html) const {
    html.open("div").attr("class", "menubar").attr("role", "menubar");
    html.attr("aria-label", label_).close();
    for (const Menu& menu : menus_) {
        html.open("div").attr("class", "menu").close();
        html.open("button")
            .attr("type", "button")
            .attr("class", "menutitle")
            .attr("tabindex", "-1");
        html.attr("role", "menuitem").attr("aria-haspopup", "menu").attr("aria-expanded", "false");
        html.attr("id", menu.name);
        if (const char key = ParseAccessKey(menu.caption).key) {
            html.attr("aria-keyshortcuts", "Alt+" + std::string(1, key));
        }
        html.close().caption(menu.caption).end("button");
        html.open("div").attr("class", "items").attr("role", "menu").flag("hidden");
        html.attr("id", menu.name + "-items").attr("aria-labelledby", menu.name).close();
        for (const Item& item : menu.items) {
            if (item.separatorBefore) {
                html.open("div").attr("class", "separator").attr("role", "separator");
                html.attr("id", item.name + "-separator").close().end("div");
            }
            html.open("div").attr("class", "item").attr("role", "menuitem").attr("tabindex", "-1");
            html.attr("id", item.name);
            if (item.shortcut.key != 0) {
                html.attr("aria-keyshortcuts", AriaShortcut(item.shortcut));
            }
            if (!item.shown) {
                html.flag("hidden");
            }
            html.close().open("span").attr("class", "label").close().caption(item.caption);
            html.end("span");
            if (item.shortcut.key != 0) {
                // Told by aria-keyshortcuts rather than read as part of the name.
                html.open("span").attr("class", "shortcut").attr("aria-hidden", "true").close();
                html.text(ShortcutText(item.shortcut)).end("span");
            }
            html.end("div");
        }
        html.end("div").end("div");
    }
    html.end("div");
}

void MenuBar::attach(const Js& root) {
    const auto find = [&root](const std::string& id) {
        return root.call<Js>("querySelector", "#" + id);
    };
    bar_ = root.call<Js>("querySelector", ".menubar");
    for (Menu& menu : menus_) {
        menu.title = find(menu.name);
        menu.list = find(menu.name + "-items");
        for (Item& item : menu.items) {
            item.element = find(item.name);
            if (item.separatorBefore) {
                item.separator = find(item.name + "-separator");
            }
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
