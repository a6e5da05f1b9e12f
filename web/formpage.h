#pragma once

#include "formsurface.h"
#include "listwidgets.h"
#include "markup.h"
#include "menubar.h"

#include "js.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class Desk;
class Html;

// A window drawn into the page from its description. Tab and Shift+Tab follow the description's
// focus order and wrap; Enter presses the default button and Esc the cancel button; Alt with an
// access key opens a menu or presses a button; on a screen narrower than the window its controls
// stand in one column; a window whose widgets stretch is made larger by its corner.
class FormPage final : public FormSurface {
public:
    FormPage(const FormDesc& form, Desk& desk, FormPlace place);
    ~FormPage() override;
    FormPage(const FormPage&) = delete;
    FormPage& operator=(const FormPage&) = delete;

    // What closing the window does besides: its owner lets it go.
    void whenClosed(std::function<void()> closed) { whenClosed_ = std::move(closed); }
    // From now on the window tells its commands what the player does; their load step runs once
    // the page has been drawn.
    void load(FormEvents& events);
    FormEvents& events() { return *events_; }
    // Once loaded, a window that the page showed before the program ran: tells its commands of
    // what the player typed into it, and fits its captions to the browser's face.
    void catchUp();
    bool written() const { return written_; }
    Js element() const { return window_; }
    bool holds(const Js& element) const;

    // In front of the others, with the focus where it was last, or on its first stop.
    void activate();
    // Puts the controls in one column on a screen narrower than the window, or back.
    void fit();
    // One of the browser's events inside the window.
    void handle(const std::string& type, const Js& event);
    // Keys that reach the page with the focus in no window: the shortcuts of the window the
    // player worked in last.
    void pageKey(const Js& event);
    // A press elsewhere in the page closes the window's open menu.
    void closeMenus();

    // FormSurface
    std::string text(ControlId id) const override;
    void setText(ControlId id, std::string_view text) override;
    int selected(ControlId id) const override;
    void select(ControlId id, int place) override;
    void setRows(ControlId table, std::span<const TableRow> rows) override;
    void setColumns(ControlId table, std::span<const ColumnDesc> columns) override;
    void setSortMark(ControlId table, int column, bool descending) override;
    PointTwips sizeOf(ControlId id) const override;
    void setChart(ControlId chart, const ChartPicture& picture) override;
    void setShown(ControlId id, bool shown) override;
    void setMenuItem(ControlId item, std::string_view caption, bool shown) override;
    void setCaption(std::string_view caption) override;
    void close() override;

private:
    Js widget(ControlId id) const { return widgets_[id.index]; }
    WidgetKind kind(ControlId id) const { return form_.widget(id).kind; }
    void fitCaptions();
    void drawImages();
    std::optional<ControlId> controlOf(const Js& target) const;
    std::vector<Js> stops() const;
    void tab(bool back);
    bool press(bool WidgetDesc::*which);
    void keyDown(const Js& event);
    void click(const Js& target);
    void beforeInput(const Js& event);
    void pointer(const std::string& type, const Js& event);
    void raise();
    void place();

    const FormDesc& form_;
    FormEvents* events_ = nullptr;
    Desk& desk_;
    const bool titlesPage_;
    Js window_;
    Js titleBar_ = Js::null();
    Js caption_ = Js::null();
    Js client_ = Js::null();
    std::vector<Js> widgets_; // widget i is control i
    std::optional<MenuBar> menuBar_;
    std::map<std::size_t, ListWidget> lists_; // list boxes and tables, by control
    std::function<void()> whenClosed_;
    Js lastFocus_ = Js::null();
    double left_ = 0;
    double top_ = 0;
    double clientWidth_;  // CSS pixels
    bool column_ = false; // its controls in one column, on a narrow screen
    bool closed_ = false;
    bool written_ = false; // taken from the page as the build wrote it
    bool caughtUp_ = false;
    // While the title bar is dragged: where the pointer took it, and the window then.
    std::optional<std::array<double, 4>> drag_;
    bool altAlone_ = false;
};

} // namespace runetally::web
