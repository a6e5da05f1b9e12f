// The controls of a FormWindow, built from its description on its client area.
#include "formwindow.h"

#include "chartcontrol.h"
#include "picturecontrol.h"
#include "reportlist.h"
#include "widetext.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace runetally::win32 {
namespace {

// A drop-down list's window is as tall as its list when open: room for this many rows of its box.
constexpr int kDroppedRows = 10;

// The window class, styles and name of each kind of widget, by WidgetKind. Every control opens a
// group of its own, so that arrow keys never carry the focus from a button onto a label. A list, a
// table and a chart are named by their caption; a combo box has no name of its own.
struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
    bool namedByCaption;
};
constexpr wchar_t kPictureClass[] = L"RunetallyPicture";
constexpr wchar_t kChartClass[] = L"RunetallyChart";
const ControlClass kClasses[] = {
    {L"STATIC", SS_LEFT | SS_NOPREFIX, 0, false}, // SS_LEFT wraps at words
    {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, false},
    {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
     true},
    {L"BUTTON", WS_TABSTOP, 0, false},
    {kPictureClass, WS_TABSTOP, 0, false},
    {nullptr, 0, 0, false}, // a line
    {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, false},
    {WC_LISTVIEWW, WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, WS_EX_CLIENTEDGE,
     true},
    {kChartClass, WS_TABSTOP, WS_EX_CLIENTEDGE, true},
};

// The program's own controls, registered when a window first has one.
void RegisterControlClasses() {
    static const bool registered = [] {
        RegisterFormClass(kPictureClass, PictureProcedure, 0, GetSysColorBrush(COLOR_BTNFACE));
        RegisterFormClass(kChartClass, ChartProcedure, CS_HREDRAW | CS_VREDRAW, nullptr);
        return true;
    }();
    (void)registered;
}

// How many characters of text the clipboard holds.
std::size_t ClipboardTextLength(HWND owner) {
    std::size_t length = 0;
    if (OpenClipboard(owner)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                length = wcsnlen(text, GlobalSize(data) / sizeof(wchar_t));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return length;
}

// The edit class's own procedure, the same for every box.
WNDPROC editProcedure = nullptr;

// Shown by its own style, whether or not its window is shown yet.
bool IsShown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    return {left, top, left + TwipsToPixels(rect.width, dpi),
            top + TwipsToPixels(rect.height, dpi)};
}

} // namespace

ATOM RegisterFormClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass);
}

void FormWindow::createControls() {
    fonts_ = std::make_unique<FormFonts>(window_, form_, dpi_);
    for (std::size_t index : creationOrder()) {
        controls_[index] = createControl(form_.widgets[index]);
    }
    clipUnderLaterWidgets();
}

// Ctrl+A arrives as the character 0x01 in every keyboard layout; edit boxes that do not select
// everything on it would beep or insert it. Ctrl+V, Shift+Insert and the context menu's Paste all
// come as WM_PASTE, which a box with a limit would cut short at it. A window procedure of its own,
// not SetWindowSubclass, whose lookup costs a Wine server round trip on every message the box gets;
// the box's user data holds its window.
LRESULT CALLBACK FormWindow::EditProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && wParam == 0x01) {
        SendMessageW(box, EM_SETSEL, 0, -1);
        return 0;
    }
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    if (message == WM_PASTE && form != nullptr && !form->pasteFits(box)) {
        return 0;
    }
    return CallWindowProcW(editProcedure, box, message, wParam, lParam);
}

// A paste replaces the selection. The whole text on the clipboard counts, though a box of one line
// may keep only its first line: a paste is never cut short at the limit.
bool FormWindow::pasteFits(HWND box) {
    const WidgetDesc* desc = find(box);
    if (desc == nullptr || desc->maxLength == 0 || desc->readOnly) {
        return true;
    }
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const auto kept = static_cast<std::size_t>(GetWindowTextLengthW(box)) - (to - from);
    return events_->pasting(desc->id, kept + ClipboardTextLength(box));
}

// A control is shown once it has its font: an edit box that is shown already lays its text out
// again for the font, which under Wine costs about ten more server round trips a box.
HWND FormWindow::createControl(const WidgetDesc& desc) {
    const ControlClass& kind = kClasses[static_cast<std::size_t>(desc.kind)];
    if (kind.name == nullptr) {
        return nullptr;
    }
    if (kind.name == kPictureClass || kind.name == kChartClass) {
        RegisterControlClasses();
    }
    const auto is = [&](WidgetKind widget, bool flag) { return desc.kind == widget && flag; };
    const DWORD style = WS_CHILD | WS_GROUP | kind.style |
                        (is(WidgetKind::TextBox, desc.readOnly) ? ES_READONLY : 0) |
                        (is(WidgetKind::PushButton, desc.defaultButton) ? BS_DEFPUSHBUTTON : 0) |
                        (is(WidgetKind::Table, !desc.sortable) ? LVS_NOSORTHEADER : 0);
    const std::string_view text = kind.namedByCaption                 ? AccessibleName(form_, desc)
                                  : desc.kind == WidgetKind::ComboBox ? std::string_view()
                                                                      : desc.text;
    const RECT place = placed(desc);
    const HWND control = CreateWindowExW(
        kind.exStyle, kind.name, Widen(text).c_str(), style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, window_,
        reinterpret_cast<HMENU>(INT_PTR{CommandId(desc.id)}), GetModuleHandleW(nullptr),
        const_cast<ImageDesc*>(desc.image)); // a picture is made with its image
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->of(desc)), FALSE);
    if (desc.kind == WidgetKind::ListBox) {
        // Drawn once when filled, rather than once for each item.
        SendMessageW(control, WM_SETREDRAW, FALSE, 0);
        for (std::string_view item : desc.items) {
            SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    } else if (desc.kind == WidgetKind::ComboBox) {
        for (std::string_view item : desc.items) {
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        const LRESULT start = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(Widen(desc.text).c_str()));
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(start), 0);
    } else if (desc.kind == WidgetKind::Table) {
        SetUpReportList(control, desc, dpi_);
        columns_[desc.id.index].assign(desc.columns.begin(), desc.columns.end());
    } else if (desc.kind == WidgetKind::TextBox) {
        // An edit box holds 32,767 characters unless told otherwise; 0 lifts the limit.
        SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(desc.maxLength), 0);
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        editProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProcedure)));
    }
    // In place in the Z order, which is the Tab order. A list may have shown itself as it was
    // filled.
    ShowWindow(control, desc.hidden ? SW_HIDE : SW_SHOWNA);
    return control;
}

// Tab and Shift+Tab follow the controls' Z order, which is the order they are created in. The
// stops come in focus order, each right after the label that captions it: Windows screen readers
// name a box after the static text right before it. The rest follow in the description's order.
std::vector<std::size_t> FormWindow::creationOrder() const {
    std::vector<std::size_t> order;
    const auto add = [&](ControlId id) {
        if (std::find(order.begin(), order.end(), id.index) == order.end()) {
            order.push_back(id.index);
        }
    };
    for (ControlId stop : form_.focusOrder) {
        for (const WidgetDesc& desc : form_.widgets) {
            if (desc.kind == WidgetKind::Label && desc.buddy == stop) {
                add(desc.id);
            }
        }
        add(stop);
    }
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.kind != WidgetKind::Line) {
            add(desc.id);
        }
    }
    return order;
}

const WidgetDesc* FormWindow::find(HWND control) const {
    const auto found = std::find(controls_.begin(), controls_.end(), control);
    return control == nullptr || found == controls_.end()
               ? nullptr
               : &form_.widgets[static_cast<std::size_t>(found - controls_.begin())];
}

// The widget the focus starts on: the first stop that is shown.
HWND FormWindow::firstStop() const {
    for (ControlId stop : form_.focusOrder) {
        if (IsShown(control(stop))) {
            return control(stop);
        }
    }
    return nullptr;
}

void FormWindow::setShown(ControlId id, bool shown) {
    const HWND control = this->control(id);
    if (IsShown(control) == shown) {
        return;
    }
    // The focus moves on to the next stop rather than stay on a control that is gone.
    if (!shown && GetFocus() == control) {
        SetFocus(GetNextDlgTabItem(window_, control, FALSE));
    }
    ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    clipUnderLaterWidgets();
}

void FormWindow::setColumns(ControlId table, std::span<const ColumnDesc> columns) {
    quiet_ = true;
    SetReportColumns(control(table), columns, dpi_);
    quiet_ = false;
    columns_[table.index].assign(columns.begin(), columns.end());
    rows_[table.index].clear();
    freshColumns_[table.index] = true;
}

void FormWindow::layout(int dpi) {
    dpi_ = dpi;
    measureClient();
    // The controls hold the new fonts once this ends; the old ones may go then.
    const std::unique_ptr<FormFonts> old =
        std::exchange(fonts_, std::make_unique<FormFonts>(window_, form_, dpi));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const HWND control = controls_[i];
        if (control == nullptr) {
            continue;
        }
        const RECT place = placed(form_.widgets[i]);
        MoveWindow(control, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->of(form_.widgets[i])),
                     FALSE);
        if (form_.widgets[i].kind == WidgetKind::Table) {
            ScaleReportColumns(control, columns_[i], dpi);
            fitTable(i);
        }
    }
    clipUnderLaterWidgets();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::stretch() {
    measureClient();
    bool moved = false;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] != nullptr && form_.widgets[i].stretch != Stretch{}) {
            const RECT place = placed(form_.widgets[i]);
            MoveWindow(controls_[i], place.left, place.top, place.right - place.left,
                       place.bottom - place.top, TRUE);
            if (form_.widgets[i].kind == WidgetKind::Table) {
                fitTable(i);
            }
            moved = true;
        }
    }
    if (moved) {
        clipUnderLaterWidgets();
    }
}

void FormWindow::measureClient() {
    RECT client;
    GetClientRect(window_, &client);
    clientWidth_ = MulDiv(client.right, kTwipsPerInch, dpi_);
    clientHeight_ = MulDiv(client.bottom, kTwipsPerInch, dpi_);
}

RECT FormWindow::placed(const WidgetDesc& desc) const {
    RECT place = ToPixels(Placed(form_, desc, clientWidth_, clientHeight_), dpi_);
    if (desc.kind == WidgetKind::ComboBox) {
        place.bottom += (place.bottom - place.top) * kDroppedRows;
    }
    return place;
}

// Later widgets lie above earlier ones, whatever the Z order that Tab needs: an earlier control
// gives up the part a later one covers.
void FormWindow::clipUnderLaterWidgets() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == nullptr) {
            continue;
        }
        const RECT own =
            ToPixels(Placed(form_, form_.widgets[i], clientWidth_, clientHeight_), dpi_);
        HRGN visible = nullptr;
        for (std::size_t j = i + 1; j < controls_.size(); ++j) {
            RECT covered;
            const RECT later =
                ToPixels(Placed(form_, form_.widgets[j], clientWidth_, clientHeight_), dpi_);
            if (controls_[j] == nullptr || !IsShown(controls_[j]) ||
                !IntersectRect(&covered, &own, &later)) {
                continue;
            }
            if (visible == nullptr) {
                visible = CreateRectRgn(0, 0, own.right - own.left, own.bottom - own.top);
            }
            OffsetRect(&covered, -own.left, -own.top);
            const HRGN cut = CreateRectRgnIndirect(&covered);
            CombineRgn(visible, visible, cut, RGN_DIFF);
            DeleteObject(cut);
        }
        if (visible != nullptr || clipped_[i]) {
            SetWindowRgn(controls_[i], visible, TRUE); // the window owns the region from here on
        }
        clipped_[i] = visible != nullptr;
    }
}

// A label's own text colour, if it has one.
std::optional<COLORREF> FormWindow::textColour(HWND control) const {
    const WidgetDesc* desc = find(control);
    if (desc == nullptr || desc->kind != WidgetKind::Label || !desc->colour) {
        return std::nullopt;
    }
    return RGB(desc->colour->red, desc->colour->green, desc->colour->blue);
}

// The description's lines in order.
void FormWindow::paintLines(HDC dc) const {
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.kind != WidgetKind::Line) {
            continue;
        }
        // From its start pixel through its end pixel, lineWidth pixels of 96 dpi thick.
        const Rgb colour = desc.colour.value_or(Rgb{});
        const int left = TwipsToPixels(desc.rect.left, dpi_);
        const int top = TwipsToPixels(desc.rect.top, dpi_);
        const RECT line{left, top, TwipsToPixels(desc.rect.left + desc.rect.width, dpi_) + 1,
                        top + std::max(1, MulDiv(desc.lineWidth, dpi_, 96))};
        const HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
}

} // namespace runetally::win32
