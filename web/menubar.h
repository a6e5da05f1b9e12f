#pragma once

#include "formdescription.h"

#include "js.h"
#include "markup.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class Html;

// The menubar that MenuMarkup made: its elements hold what is shown and open. Alt with a menu's
// access key opens it, as do a click, F10 and Alt alone; in an open menu the arrows move, Enter
// runs the item, an item's access key runs it and Esc closes the menu, giving the focus back to
// where it was.
class MenuBar {
public:
    MenuBar(const FormDesc& form, const Js& bar, std::function<void(ControlId)> clicked,
            std::vector<ExtraMenuItem> extras);

    void setItem(ControlId id, std::string_view caption, bool shown);

    bool owns(const Js& target) const;
    // Runs what a click on the bar or in a menu asks for.
    void click(const Js& target);
    // Keys while the bar or a menu has the focus; true once handled.
    bool key(const Js& event);
    // Alt and a menu's access key (KeyLetter); true when a menu has it.
    bool openByKey(char key);
    // Ctrl, Shift or not, and the shortcut of an item shown, an upper-case letter or a digit;
    // true once run.
    bool runShortcut(char key, bool shift);
    // Gives the focus to the first menu's caption, as F10 does.
    void focusBar();
    void close();

private:
    void open(const Js& menu, bool focusFirst);
    void runItem(const Js& item);

    const FormDesc& form_;
    Js bar_;
    std::function<void(ControlId)> clicked_;
    std::vector<ExtraMenuItem> extras_;
    Js open_ = Js::null(); // the open menu
    Js returnFocus_ = Js::null();
};

} // namespace runetally::web
