#include "formwindow.h"

#include "chartcontrol.h"
#include "dpiscaling.h"
#include "reportlist.h"
#include "systemplatform.h"
#include "widetext.h"
#include "windowplace.h"

namespace runetally::win32 {
namespace {

int openForms = 0;

} // namespace

ATOM FormWindow::FormClass() {
    static const ATOM atom =
        RegisterFormClass(L"RunetallyForm", Procedure, 0, GetSysColorBrush(COLOR_BTNFACE));
    return atom;
}

// A fixed frame keeps its close box. Every form has a taskbar button though it has no owner. Files
// dropped on a form come as WM_DROPFILES, as DragAcceptFiles would ask, without loading shell32
// with the program. The window is made at its size for the system's resolution, which is mostly
// the one it opens at.
FormWindow::FormWindow(const FormDesc& form, FormInstance<FormWindow>& instance,
                       const MakeEvents& make, bool takesFiles)
    : form_(form), instance_(instance), events_(make(*this, platform_)),
      controls_(form.widgets.size()), clipped_(form.widgets.size()), columns_(form.widgets.size()),
      rows_(form.widgets.size()), freshColumns_(form.widgets.size(), true),
      clientWidth_(form.clientWidth), clientHeight_(form.clientHeight) {
    const DWORD style =
        (form.fixedFrame ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW) |
        WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_APPWINDOW | (form.fixedFrame ? WS_EX_DLGMODALFRAME : 0) |
                          (takesFiles ? WS_EX_ACCEPTFILES : 0);
    const HMENU menu = createMenuBar();
    const int systemDpi = WindowDpi(nullptr);
    const RECT frame = frameFor(systemDpi, style, exStyle);
    const bool placed = form_.screenPosition.has_value();
    CreateWindowExW(exStyle, MAKEINTATOM(FormClass()), Widen(form_.caption).c_str(), style,
                    placed ? frame.left : CW_USEDEFAULT, placed ? frame.top : CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, menu,
                    GetModuleHandleW(nullptr), this);
    dpi_ = WindowDpi(window_);
    createControls();
    focus_ = firstStop();
    RECT client;
    GetClientRect(window_, &client);
    if (dpi_ != systemDpi || client.right != TwipsToPixels(form_.clientWidth, dpi_) ||
        client.bottom != TwipsToPixels(form_.clientHeight, dpi_)) {
        place(dpi_);
    }
    events_->loaded();
}

RECT FormWindow::frameFor(int dpi, DWORD style, DWORD exStyle) const {
    RECT client{0, 0, TwipsToPixels(form_.clientWidth, dpi),
                TwipsToPixels(form_.clientHeight, dpi)};
    if (form_.screenPosition) {
        OffsetRect(&client, TwipsToPixels(form_.screenPosition->x, dpi),
                   TwipsToPixels(form_.screenPosition->y, dpi));
    }
    return FrameForClient(client, style, exStyle, !form_.menus.empty(), dpi);
}

// The frame at the styles Windows gave the window.
RECT FormWindow::frameFor(int dpi) const {
    return frameFor(dpi, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                    static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
}

// The client area takes the description's size at the resolution, and opens where the
// description says, if it says.
void FormWindow::place(int dpi) {
    const RECT frame = frameFor(dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, frame.left, frame.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (form_.screenPosition ? 0 : SWP_NOMOVE));
    // A menu bar that wraps onto a second line takes room the frame did not allow for.
    RECT now;
    GetClientRect(window_, &now);
    const int missing = TwipsToPixels(form_.clientHeight, dpi) - now.bottom;
    if (missing != 0) {
        SetWindowPos(window_, nullptr, 0, 0, width, height + missing,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void FormWindow::activate() {
    if (IsIconic(window_)) {
        ShowWindow(window_, SW_RESTORE);
    }
    if (!IsWindowVisible(window_)) {
        ShowWindow(window_, SW_SHOW);
        // Controls that lie partly under later ones paint their frames again once all are shown;
        // the others were painted once, by the show.
        for (std::size_t i = 0; i < controls_.size(); ++i) {
            if (clipped_[i]) {
                RedrawWindow(controls_[i], nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
            }
        }
    }
    SetForegroundWindow(window_);
    const HWND focus = GetFocus();
    if (GetActiveWindow() == window_ && (focus == nullptr || !IsChild(window_, focus))) {
        restoreFocus();
    }
}

void FormWindow::restoreFocus() {
    if (focus_ == nullptr || !IsChild(window_, focus_)) {
        focus_ = firstStop();
    }
    if (focus_ != nullptr) {
        SetFocus(focus_);
    }
}

std::string FormWindow::text(ControlId id) const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control(id))) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control(id), text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

// A text box tells of the change itself, through EN_CHANGE.
void FormWindow::setText(ControlId id, std::string_view text) {
    SetWindowTextW(control(id), Widen(text).c_str());
}

// LB_ERR and CB_ERR are -1: none selected.
int FormWindow::selected(ControlId id) const {
    const WidgetKind kind = form_.widget(id).kind;
    return kind == WidgetKind::Table
               ? SelectedReportRow(control(id))
               : static_cast<int>(SendMessageW(
                     control(id), kind == WidgetKind::ListBox ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
}

void FormWindow::select(ControlId id, int place) {
    const WidgetKind kind = form_.widget(id).kind;
    quiet_ = true;
    if (kind == WidgetKind::Table) {
        SelectReportRow(control(id), place);
    } else {
        SendMessageW(control(id), kind == WidgetKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL,
                     static_cast<WPARAM>(place), 0);
    }
    quiet_ = false;
}

void FormWindow::setRows(ControlId table, std::span<const TableRow> rows) {
    quiet_ = true;
    SetReportRows(control(table), rows);
    quiet_ = false;
    rows_[table.index].assign(rows.begin(), rows.end());
    const int lacking = fitTable(table.index);
    // Once, for the first rows under new columns: the player may make it narrower again.
    if (freshColumns_[table.index] && !rows.empty()) {
        freshColumns_[table.index] = false;
        widenFor(form_.widget(table), lacking);
    }
}

int FormWindow::fitTable(std::size_t index) {
    if (fonts_ == nullptr || controls_[index] == nullptr) {
        return 0; // not yet laid out: the layout fits it
    }
    return FitReport(controls_[index], rows_[index], fonts_->bold(), dpi_);
}

void FormWindow::widenFor(const WidgetDesc& desc, int more) {
    const int share = desc.stretch.right - desc.stretch.left;
    if (more <= 0 || share <= 0 || IsZoomed(window_)) {
        return;
    }
    RECT frame{};
    GetWindowRect(window_, &frame);
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const ScreenRect widened =
        Widened({frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top},
                (more * 100 + share - 1) / share,
                {work.left, work.top, work.right - work.left, work.bottom - work.top});
    SetWindowPos(window_, nullptr, widened.left, widened.top, widened.width, widened.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::setSortMark(ControlId table, int column, bool descending) {
    SetReportSortMark(control(table), column, descending);
}

// Its client area: what a chart draws in.
PointTwips FormWindow::sizeOf(ControlId id) const {
    RECT area;
    GetClientRect(control(id), &area);
    return {MulDiv(area.right, kTwipsPerInch, dpi_), MulDiv(area.bottom, kTwipsPerInch, dpi_)};
}

void FormWindow::setChart(ControlId chart, const ChartPicture& picture) {
    SetChartPicture(control(chart), picture);
}

void FormWindow::setCaption(std::string_view caption) {
    SetWindowTextW(window_, Widen(caption).c_str());
}

void FormWindow::close() {
    DestroyWindow(window_);
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        ++openForms;
    }
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        --openForms;
        form->instance_.unloaded(form);
        delete form;
        if (openForms == 0) {
            PostQuitMessage(0);
        }
        return 0;
    }
    return form != nullptr ? form->handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return notify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            stretch();
        }
        break;
    case WM_GETMINMAXINFO:
        // Once the window stands at its resolution.
        if (form_.describedIsMinimum && fonts_ != nullptr) {
            const RECT frame = frameFor(dpi_);
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close box, Alt+F4 or the taskbar; a form that closes itself destroys its window.
        if (!events_->closing()) {
            return 0;
        }
        break;
    case WM_DROPFILES:
        if (const auto file = DroppedFile(reinterpret_cast<HDROP>(wParam));
            file && events_->takesFile(*file)) {
            events_->dropped(*file);
        }
        return 0;
    case DM_GETDEFID:
        // No default id: Enter then comes as IDOK, which goes to the focused button if there is
        // one, else to the form's default button, if it has one.
        return 0;
    case WM_ACTIVATE:
        // As a dialog does: the focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window_, focus)) {
                focus_ = focus;
            }
        } else if (HIWORD(wParam) == 0) {
            restoreFocus();
        }
        return 0;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layout(LOWORD(wParam));
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (const auto colour = textColour(reinterpret_cast<HWND>(lParam))) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, *colour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        paintLines(BeginPaint(window_, &paint));
        EndPaint(window_, &paint);
        return 0;
    }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void FormWindow::changed(ControlId id) {
    if (!quiet_) {
        events_->changed(id);
    }
}

void FormWindow::command(int id, int code, HWND control) {
    if (control != nullptr) {
        const WidgetDesc* desc = find(control);
        const WidgetKind kind = desc != nullptr ? desc->kind : WidgetKind::Line;
        if (code == BN_CLICKED && kind == WidgetKind::PushButton) {
            events_->clicked(desc->id);
        } else if ((code == EN_CHANGE && kind == WidgetKind::TextBox) ||
                   (code == LBN_SELCHANGE && kind == WidgetKind::ListBox) ||
                   (code == CBN_SELCHANGE && kind == WidgetKind::ComboBox)) {
            changed(desc->id);
        } else if (code == kChartCopy && kind == WidgetKind::Chart) {
            events_->copying(desc->id);
        } else if (code == kChartResized && kind == WidgetKind::Chart) {
            events_->resized(desc->id);
        } else if (code == EN_MAXTEXT) {
            MessageBeep(MB_OK); // typed past the box's limit; the box itself keeps quiet
        }
    } else if (id == IDOK || id == IDCANCEL) { // Enter or Esc, from the dialog manager
        press(id == IDCANCEL);
    } else {
        for (const MenuItem& item : menuItems_) {
            if (CommandId(item.desc->id) == id) {
                events_->clicked(item.desc->id);
            }
        }
    }
}

LRESULT FormWindow::notify(NMHDR& header) {
    const WidgetDesc* desc = find(header.hwndFrom);
    if (desc == nullptr || desc->kind != WidgetKind::Table) {
        return 0;
    }
    switch (header.code) {
    case LVN_ITEMCHANGED:
        if (RowSelected(reinterpret_cast<NMLISTVIEW&>(header))) {
            changed(desc->id);
        }
        return 0;
    case LVN_COLUMNCLICK:
        if (desc->sortable) {
            events_->sortAsked(desc->id, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        }
        return 0;
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN&>(header).wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) {
            events_->copying(desc->id);
        }
        return 0;
    case LVN_DELETEITEM:
        ForgetRowNote(reinterpret_cast<NMLISTVIEW&>(header));
        return 0;
    case LVN_GETINFOTIPW:
        GiveRowTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
        return 0;
    case NM_CUSTOMDRAW:
        return DrawReportRow(reinterpret_cast<NMLVCUSTOMDRAW&>(header), fonts_->bold());
    }
    return 0;
}

} // namespace runetally::win32
