#pragma once

#include "formdescription.h"
#include "formfonts.h"
#include "formsurface.h"
#include "systemplatform.h"
#include "windowservices.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::win32 {

// A top-level window drawn from its description, with its commands: its controls and menu bar,
// the keyboard as in a dialog, its resolution, and the program's lifetime, which ends with the
// last such window. Each is the shared instance of its window, and deletes itself once its
// window is gone. Lines are no controls: the window paints them.
class FormWindow final : public FormSurface {
public:
    // The window's commands, made over the window and its platform.
    using MakeEvents = std::function<std::unique_ptr<FormEvents>(FormSurface&, Platform&)>;

    // Creates the window, hidden, with its controls and menu bar laid out at its resolution, and
    // runs its load step. A window that takes files lets them be dropped on it. `instance` is told
    // when the window is gone.
    FormWindow(const FormDesc& form, FormInstance<FormWindow>& instance, const MakeEvents& make,
               bool takesFiles);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND handle() const { return window_; }
    HWND control(ControlId id) const { return controls_[id.index]; }
    int dpi() const { return dpi_; }
    FormEvents& events() { return *events_; }
    // The command id of a control or menu item: its place in the list from here on, clear of IDOK
    // and IDCANCEL, which the dialog manager sends for Enter and Esc.
    static int CommandId(ControlId id) { return kFirstId + static_cast<int>(id.index); }

    // Shows the window in front with its focus.
    void activate();

    // Runs one message as the program's loop does: Tab, Shift+Tab, Enter, Esc and access keys
    // work in a form as in a dialog.
    static void Dispatch(MSG& message);

    // FormSurface. The commands hear nothing of what they do to a list or table themselves.
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
    static constexpr int kFirstId = 100;

    // A menu item as it stands: its caption, and whether it is in its menu.
    struct MenuItem {
        std::size_t menu; // its place in the menu bar
        const MenuItemDesc* desc;
        std::string caption;
        bool shown;
    };

    ~FormWindow() override = default;
    static ATOM FormClass();
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int code, HWND control);
    LRESULT notify(NMHDR& header);
    void changed(ControlId id);
    RECT frameFor(int dpi, DWORD style, DWORD exStyle) const;
    RECT frameFor(int dpi) const;
    void place(int dpi);
    void restoreFocus();

    // formkeys.cpp: the menu bar and the keys.
    HMENU createMenuBar();
    void fillMenu(HMENU bar, std::size_t menu) const;
    bool runShortcut(const MSG& message);
    bool tabToCaptions(const MSG& message);
    void press(bool cancel);

    // formcontrols.cpp: the controls.
    void createControls();
    HWND createControl(const WidgetDesc& desc);
    std::vector<std::size_t> creationOrder() const;
    const WidgetDesc* find(HWND control) const;
    HWND firstStop() const;
    // Places every control at its rectangle and gives it its font anew, at another resolution.
    void layout(int dpi);
    // Moves the widgets that stretch to their places in the client area as it now is.
    void stretch();
    // Sizes a table's columns to its rows in the room it has; returns the pixels it lacks.
    int fitTable(std::size_t index);
    // The window made wider where the work area has room, so that the widget, which takes its
    // share of the added width, gains `more` pixels.
    void widenFor(const WidgetDesc& desc, int more);
    void measureClient();
    // Where the widget stands in the client area as it now is, in pixels.
    RECT placed(const WidgetDesc& desc) const;
    void clipUnderLaterWidgets();
    std::optional<COLORREF> textColour(HWND control) const;
    void paintLines(HDC dc) const;
    static LRESULT CALLBACK EditProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    bool pasteFits(HWND box);

    const FormDesc& form_;
    FormInstance<FormWindow>& instance_;
    SystemPlatform platform_{*this};
    std::unique_ptr<FormEvents> events_;
    HWND window_ = nullptr;
    HWND focus_ = nullptr; // the control that had the focus when the window was last left
    std::vector<MenuItem> menuItems_; // every menu's items in order
    std::vector<HWND> controls_;      // by the widget's index in the description; null for a line
    std::vector<bool> clipped_; // by index: the control gives up part of itself to a later one
    std::vector<std::vector<ColumnDesc>> columns_; // by index: a table's columns
    std::vector<std::vector<TableRow>> rows_;      // by index: a table's rows, every digit
    std::vector<bool> freshColumns_; // by index: a table with no rows since its columns were set
    std::unique_ptr<FormFonts> fonts_;
    int dpi_ = 96;
    int clientWidth_ = 0; // twips
    int clientHeight_ = 0;
    bool quiet_ = false; // the commands fill or select a list: it reports nothing back
};

// Registers one of the program's window classes; call once for each.
ATOM RegisterFormClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background);

} // namespace runetally::win32
