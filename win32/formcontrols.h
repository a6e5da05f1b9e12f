#pragma once

#include "formdescription.h"
#include "formfonts.h"
#include "formsurface.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace runetally::win32 {

// The controls of a window, built from its description on the window's client area and found by
// their place in its list or by command id. Lines are no controls: the window paints them.
class FormControls {
public:
    // Command ids, of controls and of menu items alike, are their places in the list from here
    // on, clear of IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
    static constexpr int kFirstId = 100;

    // Creates the controls laid out at the given resolution; `events` is asked before a paste
    // into a box with a limit.
    FormControls(HWND parent, const FormDesc& form, int dpi, FormEvents& events);
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    HWND get(ControlId id) const { return controls_[id.index]; }
    const WidgetDesc* find(HWND control) const;
    const WidgetDesc* findById(int id) const;
    // The widget the focus starts on: the first stop that is shown.
    HWND firstStop() const;
    // Shows or hides a widget; one that starts hidden is created so.
    void show(ControlId id, bool shown);
    // A table's columns from here on, with no rows.
    void setColumns(ControlId table, std::span<const ColumnDesc> columns);

    // Places every control at its rectangle and gives it its font anew, at another resolution.
    void layout(int dpi);
    // Moves the widgets that stretch to their places in the parent's client area as it now is.
    void stretch();
    int dpi() const { return dpi_; }
    HFONT boldFont() const { return fonts_->bold(); }

    // A label's own text colour, if it has one.
    std::optional<COLORREF> textColour(HWND control) const;
    // Draws the description's lines in order; the parent calls this when it paints.
    void paintLines(HDC dc) const;

private:
    static LRESULT CALLBACK EditProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    bool pasteFits(HWND box) const;
    HWND create(HWND parent, const WidgetDesc& desc, int id);
    std::vector<std::size_t> creationOrder() const;
    void clipUnderLaterWidgets();
    // Where the widget stands in the client area as it now is, in pixels.
    RECT placed(const WidgetDesc& desc) const;
    void measureClient();
    void keepWidths(ControlId table, std::span<const ColumnDesc> columns);

    const FormDesc& form_;
    HWND parent_;
    FormEvents& events_;
    std::vector<HWND> controls_; // by the widget's index in the description; null for a line
    std::vector<bool> clipped_;  // by index: the control gives up part of itself to a later one
    std::unique_ptr<FormFonts> fonts_;
    std::vector<std::vector<int>> columnWidths_; // by index: a table's columns' widths in twips
    int dpi_ = 96;
    int clientWidth_ = 0; // twips
    int clientHeight_ = 0;
};

// A twips rectangle in device pixels at the given resolution.
RECT ToPixels(const TwipsRect& rect, int dpi);

// Registers one of the program's window classes; call once for each.
ATOM RegisterFormClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background);

} // namespace runetally::win32
