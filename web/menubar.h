#pragma once

#include "formdescription.h"

#include "js.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class Html;

// A menu item the page adds to a window's menus, in the menu that holds `before`, above it.
struct ExtraMenuItem {
    std::string name; // the element's id
    std::string caption;
    Shortcut shortcut;
    ControlId before;
    std::function<void()> run;
};

// A window's menus as an ARIA menubar. Alt with a menu's access key opens it, as do a click, F10
// and Alt alone; in an open menu the arrows move, Enter runs the item, an item's access key runs
// it and Esc closes the menu, giving the focus back to where it was.
class MenuBar {
public:
    MenuBar(const FormDesc& form, std::function<void(ControlId)> clicked,
            std::vector<ExtraMenuItem> extras);

    // The bar's markup; once the page made it, attach finds its elements below `root`.
    void markup(Html& html) const;
    void attach(const Js& root);

    void setItem(ControlId id, std::string_view caption, bool shown);
    // The item's element, by its control.
    Js item(ControlId id) const;

    bool owns(const Js& target) const;
    // Runs what a click on the bar or in a menu asks for.
    void click(const Js& target);
    // Keys while the bar or a menu has the focus; true once handled.
    bool key(const Js& event);
    // Alt and a menu's access key; true when a menu has it.
    bool openByKey(char key);
    // A shortcut of an item shown, Ctrl with an upper-case letter or a digit; true once run.
    bool runShortcut(char key, bool control);
    // Gives the focus to the first menu's caption, as F10 does.
    void focusBar();
    void close();

private:
    struct Item {
        std::optional<ControlId> id;
        std::string name;
        std::string caption;
        Shortcut shortcut;
        bool shown = true;
        bool separatorBefore = false;
        std::function<void()> run;
        Js element = Js::null();
        Js separator = Js::null();
    };
    struct Menu {
        std::string name;
        std::string caption;
        std::vector<Item> items;
        Js title = Js::null();
        Js list = Js::null();
    };

    void open(std::size_t menu, bool focusFirst);
    void runItem(std::size_t menu, std::size_t item);
    void moveInMenu(int by);
    void showSeparators(Menu& menu);
    std::optional<std::size_t> menuOf(const Js& target) const;
    std::optional<std::size_t> itemOf(const Menu& menu, const Js& target) const;

    std::string label_;
    Js bar_ = Js::null();
    std::vector<Menu> menus_;
    std::function<void(ControlId)> clicked_;
    std::optional<std::size_t> open_;
    Js returnFocus_ = Js::null();
};

} // namespace runetally::web
