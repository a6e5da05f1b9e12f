#include "formcontrols.h"

#include "chartcontrol.h"
#include "dpiscaling.h"
#include "reportlist.h"
#include "widetext.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <utility>

namespace runetally::win32 {
namespace {

constexpr int kEdge = 2; // a sunken frame's thickness
// A drop-down list's window is as tall as its list when open: room for this many rows of its box.
constexpr int kDroppedRows = 10;

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

// A picture's image, scaled from 96 dpi as it is drawn.
struct Picture {
    HICON icon = nullptr;
    int width = 0;
    int height = 0;
};

// The image as an icon, with its transparent pixels in the mask, as Windows draws icons.
Picture* NewPicture(const ImageDesc& image) {
    const int height = static_cast<int>(image.rows.size());
    const int width = height > 0 ? static_cast<int>(image.rows.front().size()) : 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // One bit a pixel, most significant first, rows of whole 16-bit words; a set bit is
    // transparent.
    const int stride = (width + 15) / 16 * 2;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(stride * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::optional<Rgb> rgb = image.colour(image.rows[y][x]);
            pixels[y * width + x] =
                rgb ? 0xFF000000u | rgb->red << 16 | rgb->green << 8 | rgb->blue : 0;
            if (!rgb) {
                mask[y * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    const HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO icon{TRUE, 0, 0, maskBitmap, colour};
    auto* picture = new Picture{CreateIconIndirect(&icon), width, height};
    DeleteObject(maskBitmap);
    DeleteObject(colour);
    return picture;
}

// A picture in a sunken frame that takes the focus, as a tab stop or when clicked. It is made
// with its description's image, if any.
LRESULT CALLBACK PictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* picture = reinterpret_cast<Picture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        if (const auto* image = static_cast<const ImageDesc*>(
                reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams)) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(NewPicture(*image)));
        }
        break;
    case WM_NCDESTROY:
        if (picture != nullptr) {
            DestroyIcon(picture->icon);
            delete picture;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT frame;
        GetClientRect(window, &frame);
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
        if (picture != nullptr) {
            const int dpi = WindowDpi(window);
            DrawIconEx(dc, kEdge, kEdge, picture->icon, MulDiv(picture->width, dpi, 96),
                       MulDiv(picture->height, dpi, 96), 0, nullptr, DI_NORMAL);
        }
        if (GetFocus() == window) {
            InflateRect(&frame, -kEdge, -kEdge);
            DrawFocusRect(dc, &frame);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Overlap(const RECT& a, const RECT& b, RECT& both) {
    return IntersectRect(&both, &a, &b) != FALSE;
}

// Shown by its own style, whether or not its window is shown yet.
bool IsShown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

} // namespace

RECT ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    return {left, top, left + TwipsToPixels(rect.width, dpi),
            top + TwipsToPixels(rect.height, dpi)};
}

FormControls::FormControls(HWND parent, const FormDesc& form, int dpi, FormEvents& events)
    : form_(form), parent_(parent), events_(events), controls_(form.widgets.size()),
      clipped_(form.widgets.size()), fonts_(std::make_unique<FormFonts>(parent, form, dpi)),
      columnWidths_(form.widgets.size()), dpi_(dpi), clientWidth_(form.clientWidth),
      clientHeight_(form.clientHeight) {
    for (std::size_t index : creationOrder()) {
        controls_[index] = create(parent, form.widgets[index], kFirstId + static_cast<int>(index));
    }
    clipUnderLaterWidgets();
}

// Ctrl+A arrives as the character 0x01 in every keyboard layout; edit boxes that do not select
// everything on it would beep or insert it. Ctrl+V, Shift+Insert and the context menu's Paste all
// come as WM_PASTE, which a box with a limit would cut short at it. A window procedure of its own,
// not SetWindowSubclass, whose lookup costs a Wine server round trip on every message the box gets;
// the box's user data holds its controls.
LRESULT CALLBACK FormControls::EditProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && wParam == 0x01) {
        SendMessageW(box, EM_SETSEL, 0, -1);
        return 0;
    }
    const auto* controls =
        reinterpret_cast<const FormControls*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    if (message == WM_PASTE && controls != nullptr && !controls->pasteFits(box)) {
        return 0;
    }
    return CallWindowProcW(editProcedure, box, message, wParam, lParam);
}

// A paste replaces the selection. The whole text on the clipboard counts, though a box of one line
// may keep only its first line: a paste is never cut short at the limit.
bool FormControls::pasteFits(HWND box) const {
    const WidgetDesc* desc = find(box);
    if (desc == nullptr || desc->maxLength == 0 || desc->readOnly) {
        return true;
    }
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const auto kept = static_cast<std::size_t>(GetWindowTextLengthW(box)) - (to - from);
    return events_.pasting(desc->id, kept + ClipboardTextLength(box));
}

HWND FormControls::create(HWND parent, const WidgetDesc& desc, int id) {
    // Every control opens a group of its own, so that arrow keys never carry the focus from a
    // button onto a label. It is shown once it has its font: an edit box that is shown already
    // lays its text out again for the font, which under Wine costs about ten more server round
    // trips a box.
    DWORD style = WS_CHILD | WS_GROUP;
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"STATIC";
    std::string_view text = desc.text;
    switch (desc.kind) {
    case WidgetKind::Label:
        style |= SS_LEFT | SS_NOPREFIX; // SS_LEFT wraps at words
        break;
    case WidgetKind::TextBox:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | (desc.readOnly ? ES_READONLY : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case WidgetKind::ListBox:
        windowClass = L"LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        exStyle = WS_EX_CLIENTEDGE;
        text = AccessibleName(form_, desc);
        break;
    case WidgetKind::PushButton:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | (desc.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case WidgetKind::Picture: {
        static const ATOM picture = RegisterFormClass(L"RunetallyPicture", PictureProcedure, 0,
                                                      GetSysColorBrush(COLOR_BTNFACE));
        windowClass = MAKEINTATOM(picture);
        style |= WS_TABSTOP;
        break;
    }
    case WidgetKind::Line:
        return nullptr;
    case WidgetKind::ComboBox:
        windowClass = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        text = {};
        break;
    case WidgetKind::Table:
        windowClass = WC_LISTVIEWW;
        style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                 (desc.sortable ? 0 : LVS_NOSORTHEADER);
        exStyle = WS_EX_CLIENTEDGE;
        text = AccessibleName(form_, desc);
        break;
    case WidgetKind::Chart: {
        static const ATOM chart =
            RegisterFormClass(L"RunetallyChart", ChartProcedure, CS_HREDRAW | CS_VREDRAW, nullptr);
        windowClass = MAKEINTATOM(chart);
        style |= WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        text = AccessibleName(form_, desc);
        break;
    }
    }
    const RECT place = placed(desc);
    // A picture is made with its image.
    void* const made =
        desc.kind == WidgetKind::Picture ? const_cast<ImageDesc*>(desc.image) : nullptr;
    const HWND control =
        CreateWindowExW(exStyle, windowClass, Widen(text).c_str(), style, place.left, place.top,
                        place.right - place.left, place.bottom - place.top, parent,
                        reinterpret_cast<HMENU>(INT_PTR{id}), GetModuleHandleW(nullptr), made);
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
        keepWidths(desc.id, desc.columns);
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
std::vector<std::size_t> FormControls::creationOrder() const {
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

const WidgetDesc* FormControls::find(HWND control) const {
    const auto found = std::find(controls_.begin(), controls_.end(), control);
    return control == nullptr || found == controls_.end()
               ? nullptr
               : &form_.widgets[static_cast<std::size_t>(found - controls_.begin())];
}

const WidgetDesc* FormControls::findById(int id) const {
    const int index = id - kFirstId;
    return index >= 0 && index < static_cast<int>(form_.widgets.size()) &&
                   controls_[static_cast<std::size_t>(index)] != nullptr
               ? &form_.widgets[static_cast<std::size_t>(index)]
               : nullptr;
}

HWND FormControls::firstStop() const {
    for (ControlId stop : form_.focusOrder) {
        if (IsShown(get(stop))) {
            return get(stop);
        }
    }
    return nullptr;
}

void FormControls::show(ControlId id, bool shown) {
    const HWND control = get(id);
    if (IsShown(control) == shown) {
        return;
    }
    // The focus moves on to the next stop rather than stay on a control that is gone.
    if (!shown && GetFocus() == control) {
        SetFocus(GetNextDlgTabItem(parent_, control, FALSE));
    }
    ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    clipUnderLaterWidgets();
}

void FormControls::setColumns(ControlId table, std::span<const ColumnDesc> columns) {
    SetReportColumns(get(table), columns, dpi_);
    keepWidths(table, columns);
}

void FormControls::keepWidths(ControlId table, std::span<const ColumnDesc> columns) {
    std::vector<int>& widths = columnWidths_[table.index];
    widths.clear();
    for (const ColumnDesc& column : columns) {
        widths.push_back(column.width);
    }
}

void FormControls::layout(int dpi) {
    dpi_ = dpi;
    measureClient();
    // The controls hold the new fonts once this ends; the old ones may go then.
    const std::unique_ptr<FormFonts> old =
        std::exchange(fonts_, std::make_unique<FormFonts>(parent_, form_, dpi));
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
            ScaleReportColumns(control, columnWidths_[i], dpi);
        }
    }
    clipUnderLaterWidgets();
    RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormControls::stretch() {
    measureClient();
    bool moved = false;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] != nullptr && form_.widgets[i].stretch != Stretch{}) {
            const RECT place = placed(form_.widgets[i]);
            MoveWindow(controls_[i], place.left, place.top, place.right - place.left,
                       place.bottom - place.top, TRUE);
            moved = true;
        }
    }
    if (moved) {
        clipUnderLaterWidgets();
    }
}

void FormControls::measureClient() {
    RECT client;
    GetClientRect(parent_, &client);
    clientWidth_ = MulDiv(client.right, kTwipsPerInch, dpi_);
    clientHeight_ = MulDiv(client.bottom, kTwipsPerInch, dpi_);
}

RECT FormControls::placed(const WidgetDesc& desc) const {
    RECT place = ToPixels(Placed(form_, desc, clientWidth_, clientHeight_), dpi_);
    if (desc.kind == WidgetKind::ComboBox) {
        place.bottom += (place.bottom - place.top) * kDroppedRows;
    }
    return place;
}

// Later widgets lie above earlier ones, whatever the Z order that Tab needs: an earlier control
// gives up the part a later one covers.
void FormControls::clipUnderLaterWidgets() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == nullptr) {
            continue;
        }
        const RECT own =
            ToPixels(Placed(form_, form_.widgets[i], clientWidth_, clientHeight_), dpi_);
        HRGN visible = nullptr;
        for (std::size_t j = i + 1; j < controls_.size(); ++j) {
            RECT covered;
            if (controls_[j] == nullptr || !IsShown(controls_[j]) ||
                !Overlap(
                    own,
                    ToPixels(Placed(form_, form_.widgets[j], clientWidth_, clientHeight_), dpi_),
                    covered)) {
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

std::optional<COLORREF> FormControls::textColour(HWND control) const {
    const WidgetDesc* desc = find(control);
    if (desc == nullptr || desc->kind != WidgetKind::Label || !desc->colour) {
        return std::nullopt;
    }
    return RGB(desc->colour->red, desc->colour->green, desc->colour->blue);
}

void FormControls::paintLines(HDC dc) const {
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

} // namespace runetally::win32
