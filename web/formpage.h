#pragma once

#include "chartpicture.h"
#include "formdescription.h"
#include "listwidgets.h"
#include "menubar.h"

#include "js.h"

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class Html;

// What a window's widgets tell its commands.
struct FormEvents {
    // A push button or menu item was pressed.
    std::function<void(ControlId)> clicked;
    // Whether a paste may go ahead that would leave a text box with a limit this long.
    std::function<bool(ControlId, std::size_t)> pasting = {};
    // A text box's text, a combo box's choice or a list's selection changed, by the player or
    // the program; or the player selected another row of a table.
    std::function<void(ControlId)> changed = {};
    // A click or Enter on the caption of a sortable table's column.
    std::function<void(ControlId, int column)> sortRequested = {};
    // Ctrl+C on a table or chart: true once the commands copied.
    std::function<bool(ControlId)> copying = {};
    // A chart took another size.
    std::function<void(ControlId)> resized = {};
    // The window's close box.
    std::function<void()> closing = {};
};

struct FormPlace {
    double left = 0; // CSS pixels from the page's top-left corner
    double top = 0;
    const char* role = nullptr; // the window's ARIA role; none: a region named by its caption
};

// A window drawn into the page from its description: a frame with its caption and close box,
// its menu bar, and its widgets at their places. Each widget's element has the control's name
// as id; Tab and Shift+Tab follow the description's focus order and wrap; Enter presses the
// default button and Esc the cancel button; Alt with an access key opens a menu or presses a
// button; a window wider than the screen is scaled down to fit.
class FormPage {
public:
    FormPage(const FormDesc& form, FormEvents events, FormPlace place,
             std::vector<ExtraMenuItem> extras = {});
    ~FormPage();
    FormPage(const FormPage&) = delete;
    FormPage& operator=(const FormPage&) = delete;

    // The window that holds the element, or null.
    static FormPage* Of(const Js& element);
    // The window the player worked in last.
    static FormPage* Active();
    // Fits every window to the screen's width again.
    static void FitAll();
    // The page has been drawn once: the focus, held back until then, goes to the active window.
    static void PageDrawn();

    const FormDesc& form() const { return form_; }
    Js element() const { return window_; }
    Js widget(ControlId id) const { return widgets_[id.index]; }

    void setCaption(std::string_view text);
    // In front of the others, with the focus where it was last, or on its first stop.
    void activate();
    // Scales the window down to a screen narrower than it.
    void fit();

    std::string text(ControlId box) const;
    // Reports the change, as the player's typing does.
    void setText(ControlId box, std::string_view text);
    void setLabel(ControlId label, std::string_view text);
    void setShown(ControlId control, bool shown);
    void setMenuItem(ControlId item, std::string_view caption, bool shown);
    int chosenItem(ControlId combo) const;
    ListBox& list(ControlId id) { return *lists_.at(id.index); }
    const ListBox& list(ControlId id) const { return *lists_.at(id.index); }
    ReportGrid& grid(ControlId id) { return *grids_.at(id.index); }
    const ReportGrid& grid(ControlId id) const { return *grids_.at(id.index); }
    void setChart(ControlId chart, const ChartPicture& picture);
    // The widget's size in twips as it stands.
    PointTwips sizeOf(ControlId id) const;

    // One of the browser's events inside the window.
    void handle(const std::string& type, const Js& event);
    // Keys that reach the page with the focus in no window: the shortcuts of the window the
    // player worked in last.
    void pageKey(const Js& event);
    // A press elsewhere in the page closes the window's open menu.
    void closeMenus();

private:
    void markup(const WidgetDesc& desc, Html& html) const;
    void fitCaptions();
    std::optional<ControlId> controlOf(const Js& target) const;
    std::vector<Js> stops() const;
    void tab(bool back);
    void keyDown(const Js& event);
    void click(const Js& target);
    bool beforeInput(const Js& event);
    void pointer(const std::string& type, const Js& event);
    void raise();
    void place();
    bool press(bool WidgetDesc::*which);

    const FormDesc& form_;
    FormEvents events_;
    Js window_;
    Js titleBar_ = Js::null();
    Js caption_ = Js::null();
    Js client_ = Js::null();
    std::vector<Js> widgets_; // widget i is control i
    std::unique_ptr<MenuBar> menuBar_;
    std::map<std::size_t, std::unique_ptr<ListBox>> lists_;
    std::map<std::size_t, std::unique_ptr<ReportGrid>> grids_;
    Js lastFocus_ = Js::null();
    double left_;
    double top_;
    double clientWidth_; // CSS pixels
    bool scaled_ = false;
    // While the title bar is dragged: where the pointer took it, and the window then.
    std::optional<std::array<double, 4>> drag_;
    bool altAlone_ = false;
};

} // namespace runetally::web
