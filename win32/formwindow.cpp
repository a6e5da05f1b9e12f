#include "formwindow.h"

#include "chartcontrol.h"
#include "dpiscaling.h"
#include "reportlist.h"
#include "shellfiles.h"
#include "widetext.h"

#include <commctrl.h>

namespace runetally::win32 {
namespace {

int openForms = 0;

// An item's caption, with its shortcut after a tab: Windows menus line shortcuts up at the right.
std::wstring MenuCaption(const MenuItemDesc& item, std::string_view caption) {
    std::string text(caption);
    if (const std::string shortcut = ShortcutText(item.shortcut); !shortcut.empty()) {
        text += "\t" + shortcut;
    }
    return Widen(text);
}

} // namespace

ATOM FormWindow::FormClass() {
    static const ATOM atom =
        RegisterFormClass(L"RunetallyForm", Procedure, 0, GetSysColorBrush(COLOR_BTNFACE));
    return atom;
}

bool FormWindow::IsForm(HWND window) {
    return window != nullptr &&
           GetClassLongPtrW(window, GCW_ATOM) == static_cast<ULONG_PTR>(FormClass());
}

// A fixed frame keeps its close box. Every form has a taskbar button though it has no owner. Files
// dropped on a form come as WM_DROPFILES, as DragAcceptFiles would ask, without loading shell32
// with the program.
FormWindow::FormWindow(const FormDesc& form, FormInstance<FormWindow>& instance,
                       const MakeEvents& make, bool takesFiles)
    : form_(form), instance_(instance), events_(make(*this, platform_)) {
    create((form.fixedFrame ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW) |
               WS_CLIPCHILDREN,
           WS_EX_APPWINDOW | (form.fixedFrame ? WS_EX_DLGMODALFRAME : 0) |
               (takesFiles ? WS_EX_ACCEPTFILES : 0));
    events_->loaded();
}

void FormWindow::create(DWORD style, DWORD exStyle) {
    const HMENU menu = createMenuBar();
    // Made at its size for the system's resolution, which is mostly the one it opens at.
    const int systemDpi = WindowDpi(nullptr);
    const RECT frame = frameFor(systemDpi, style, exStyle);
    const bool placed = form_.screenPosition.has_value();
    CreateWindowExW(exStyle, MAKEINTATOM(FormClass()), Widen(form_.caption).c_str(), style,
                    placed ? frame.left : CW_USEDEFAULT, placed ? frame.top : CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, menu,
                    GetModuleHandleW(nullptr), this);
    const int dpi = WindowDpi(window_);
    controls_ = std::make_unique<FormControls>(window_, form_, dpi, *events_);
    focus_ = controls_->firstStop();
    RECT client;
    GetClientRect(window_, &client);
    if (dpi != systemDpi || client.right != TwipsToPixels(form_.clientWidth, dpi) ||
        client.bottom != TwipsToPixels(form_.clientHeight, dpi)) {
        place(dpi);
    }
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

HMENU FormWindow::createMenuBar() {
    if (form_.menus.empty()) {
        return nullptr;
    }
    const HMENU bar = CreateMenu();
    for (std::size_t m = 0; m < form_.menus.size(); ++m) {
        for (const MenuItemDesc& item : form_.menus[m].items) {
            menuItems_.push_back({m, &item, std::string(item.caption), !item.hidden});
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()),
                    Widen(form_.menus[m].caption).c_str());
        fillMenu(bar, m);
    }
    return bar;
}

// A Windows menu has no hidden items: a menu holds those shown, each after its line if it has one.
void FormWindow::fillMenu(HMENU bar, std::size_t m) const {
    const HMENU menu = GetSubMenu(bar, static_cast<int>(m));
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
    for (const MenuItem& item : menuItems_) {
        if (item.menu == m && item.shown) {
            if (item.desc->separatorBefore) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            }
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CommandId(item.desc->id)),
                        MenuCaption(*item.desc, item.caption).c_str());
        }
    }
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
        // Controls that lie partly under later ones paint their frames once all are shown.
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    SetForegroundWindow(window_);
    const HWND focus = GetFocus();
    if (GetActiveWindow() == window_ && (focus == nullptr || !IsChild(window_, focus))) {
        restoreFocus();
    }
}

void FormWindow::restoreFocus() {
    if (controls_ == nullptr) {
        return;
    }
    if (focus_ == nullptr || !IsChild(window_, focus_)) {
        focus_ = controls_->firstStop();
    }
    if (focus_ != nullptr) {
        SetFocus(focus_);
    }
}

std::string FormWindow::text(ControlId id) const {
    const HWND control = controls_->get(id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

// A text box tells of the change itself, through EN_CHANGE.
void FormWindow::setText(ControlId id, std::string_view text) {
    SetWindowTextW(controls_->get(id), Widen(text).c_str());
}

// LB_ERR and CB_ERR are -1: none selected.
int FormWindow::selected(ControlId id) const {
    const HWND control = controls_->get(id);
    switch (form_.widget(id).kind) {
    case WidgetKind::ListBox:
        return static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
    case WidgetKind::ComboBox:
        return static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    default:
        return SelectedReportRow(control);
    }
}

void FormWindow::select(ControlId id, int place) {
    const HWND control = controls_->get(id);
    quiet_ = true;
    switch (form_.widget(id).kind) {
    case WidgetKind::ListBox:
        SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(place), 0);
        break;
    case WidgetKind::ComboBox:
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(place), 0);
        break;
    default:
        SelectReportRow(control, place);
    }
    quiet_ = false;
}

void FormWindow::setRows(ControlId table, std::span<const TableRow> rows) {
    quiet_ = true;
    SetReportRows(controls_->get(table), rows);
    quiet_ = false;
}

void FormWindow::setColumns(ControlId table, std::span<const ColumnDesc> columns) {
    quiet_ = true;
    controls_->setColumns(table, columns);
    quiet_ = false;
}

void FormWindow::setSortMark(ControlId table, int column, bool descending) {
    SetReportSortMark(controls_->get(table), column, descending);
}

// Its client area: what a chart draws in.
PointTwips FormWindow::sizeOf(ControlId id) const {
    RECT area;
    GetClientRect(controls_->get(id), &area);
    const int dpi = controls_->dpi();
    return {MulDiv(area.right, kTwipsPerInch, dpi), MulDiv(area.bottom, kTwipsPerInch, dpi)};
}

void FormWindow::setChart(ControlId chart, const ChartPicture& picture) {
    SetChartPicture(controls_->get(chart), picture);
}

void FormWindow::setShown(ControlId id, bool shown) {
    controls_->show(id, shown);
}

void FormWindow::setMenuItem(ControlId id, std::string_view caption, bool shown) {
    for (MenuItem& item : menuItems_) {
        if (item.desc->id == id && (item.shown != shown || (shown && item.caption != caption))) {
            item.caption = caption;
            item.shown = shown;
            fillMenu(GetMenu(window_), item.menu);
        }
    }
}

void FormWindow::setCaption(std::string_view caption) {
    SetWindowTextW(window_, Widen(caption).c_str());
}

void FormWindow::close() {
    DestroyWindow(window_);
}

void FormWindow::Dispatch(MSG& message) {
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (IsForm(root)) {
        auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
        if ((form != nullptr && (form->runShortcut(message) || form->tabToCaptions(message))) ||
            IsDialogMessageW(root, &message)) {
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// The captions of a table that sorts are a focus stop of their own, right before its rows; the
// dialog manager sees only the form's own controls, so Tab into and out of them is moved here.
bool FormWindow::tabToCaptions(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0 ||
        GetKeyState(VK_MENU) < 0) {
        return false;
    }
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const HWND focus = GetFocus();
    if (focus == nullptr || controls_ == nullptr) {
        return false;
    }
    HWND target = nullptr;
    if (const HWND list = GetParent(focus); FocusableCaptions(list) == focus) {
        target = back ? GetNextDlgTabItem(window_, list, TRUE) : list;
    } else {
        const HWND table = back ? focus : GetNextDlgTabItem(window_, focus, FALSE);
        const WidgetDesc* desc = controls_->find(table);
        if (desc != nullptr && desc->kind == WidgetKind::Table) {
            target = FocusableCaptions(table);
        }
    }
    if (target == nullptr) {
        return false;
    }
    SetFocus(target);
    return true;
}

// A menu item's shortcut runs it from anywhere in its window, as an accelerator would.
bool FormWindow::runShortcut(const MSG& message) {
    if (message.message != WM_KEYDOWN || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0) {
        return false;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    for (const MenuItem& item : menuItems_) {
        const Shortcut shortcut = item.desc->shortcut;
        if (shortcut.key != 0 && static_cast<WPARAM>(shortcut.key) == message.wParam &&
            shortcut.control == control && item.shown) {
            events_->clicked(item.desc->id);
            return true;
        }
    }
    return false;
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
        if (controls_ != nullptr) {
            command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        }
        return 0;
    case WM_NOTIFY:
        if (controls_ != nullptr) {
            return notify(*reinterpret_cast<NMHDR*>(lParam));
        }
        break;
    case WM_SIZE:
        if (controls_ != nullptr && wParam != SIZE_MINIMIZED) {
            controls_->stretch();
        }
        break;
    case WM_GETMINMAXINFO:
        if (form_.describedIsMinimum && controls_ != nullptr) {
            const RECT frame = frameFor(controls_->dpi());
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
        controls_->layout(LOWORD(wParam));
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (controls_ != nullptr) {
            if (const auto colour = controls_->textColour(reinterpret_cast<HWND>(lParam))) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, *colour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window_, &paint);
        if (controls_ != nullptr) {
            controls_->paintLines(dc);
        }
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
        const WidgetDesc* desc = controls_->findById(id);
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
    const WidgetDesc* desc = controls_->find(header.hwndFrom);
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
        return DrawReportRow(reinterpret_cast<NMLVCUSTOMDRAW&>(header), controls_->boldFont());
    }
    return 0;
}

// Enter presses the focused button, else the form's default button; Esc its cancel button.
void FormWindow::press(bool cancel) {
    const HWND focus = GetFocus();
    const WidgetDesc* focused = controls_->find(focus);
    if (!cancel && focused != nullptr && focused->kind == WidgetKind::PushButton) {
        SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    for (const WidgetDesc& desc : form_.widgets) {
        if (cancel ? desc.cancelButton : desc.defaultButton) {
            SendMessageW(controls_->get(desc.id), BM_CLICK, 0, 0);
            return;
        }
    }
}

} // namespace runetally::win32
