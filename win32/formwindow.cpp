#include "formwindow.h"

#include "chartcontrol.h"
#include "dpiscaling.h"
#include "reportlist.h"
#include "widetext.h"
#include "windowservices.h"

#include <commctrl.h>

namespace runetally::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"RunetallyForm";
int openForms = 0;

} // namespace

ATOM FormWindow::FormClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW formClass{};
        formClass.cbSize = sizeof formClass;
        formClass.lpfnWndProc = Procedure;
        formClass.hInstance = GetModuleHandleW(nullptr);
        formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        formClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        formClass.lpszClassName = kFormClass;
        return RegisterClassExW(&formClass);
    }();
    return atom;
}

bool FormWindow::IsForm(HWND window) {
    return window != nullptr &&
           GetClassLongPtrW(window, GCW_ATOM) == static_cast<ULONG_PTR>(FormClass());
}

FormWindow::FormWindow(const FormDesc& form) : form_(form) {}

FormWindow::~FormWindow() {
    if (window_ != nullptr) {
        // Deleted while its window stands: the window goes without calling back.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void FormWindow::create(DWORD style, DWORD exStyle) {
    FormClass();
    const HMENU menu = createMenuBar();
    // Made at its size for the system's resolution, which is mostly the one it opens at.
    const int systemDpi = WindowDpi(nullptr);
    const RECT frame = frameFor(systemDpi, style, exStyle, menu != nullptr);
    const bool placed = form_.screenPosition.has_value();
    CreateWindowExW(exStyle, kFormClass, Widen(form_.caption).c_str(), style,
                    placed ? frame.left : CW_USEDEFAULT, placed ? frame.top : CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, menu,
                    GetModuleHandleW(nullptr), this);
    const int dpi = WindowDpi(window_);
    controls_ = std::make_unique<FormControls>(
        window_, form_, dpi,
        [this](ControlId box, std::size_t length) { return pasting(box, length); });
    focus_ = controls_->firstStop();
    laidOut(dpi);
    RECT client;
    GetClientRect(window_, &client);
    if (dpi != systemDpi || client.right != TwipsToPixels(form_.clientWidth, dpi) ||
        client.bottom != TwipsToPixels(form_.clientHeight, dpi)) {
        place(dpi);
    }
}

RECT FormWindow::frameFor(int dpi, DWORD style, DWORD exStyle, bool menu) const {
    RECT client{0, 0, TwipsToPixels(form_.clientWidth, dpi),
                TwipsToPixels(form_.clientHeight, dpi)};
    if (form_.screenPosition) {
        OffsetRect(&client, TwipsToPixels(form_.screenPosition->x, dpi),
                   TwipsToPixels(form_.screenPosition->y, dpi));
    }
    return FrameForClient(client, style, exStyle, menu, dpi);
}

namespace {

// An item's caption, with its shortcut after a tab: Windows menus line shortcuts up at the right.
std::wstring MenuCaption(const MenuItemDesc& item, std::string_view caption) {
    std::string text(caption);
    if (const std::string shortcut = ShortcutText(item.shortcut); !shortcut.empty()) {
        text += "\t" + shortcut;
    }
    return Widen(text);
}

} // namespace

HMENU FormWindow::createMenuBar() {
    if (form_.menus.empty()) {
        return nullptr;
    }
    const HMENU bar = CreateMenu();
    for (const MenuDesc& menuDesc : form_.menus) {
        const HMENU menu = CreatePopupMenu();
        for (const MenuItemDesc& item : menuDesc.items) {
            // A Windows menu has no hidden items: one is left out until it is shown.
            if (!item.hidden) {
                if (item.separatorBefore) {
                    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                }
                AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CommandId(item.id)),
                            MenuCaption(item, item.caption).c_str());
            }
            menuItems_.push_back(item.id);
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu),
                    Widen(menuDesc.caption).c_str());
    }
    return bar;
}

bool FormWindow::menuItemShown(ControlId id) const {
    return GetMenuState(GetMenu(window_), static_cast<UINT>(CommandId(id)), MF_BYCOMMAND) !=
           static_cast<UINT>(-1);
}

void FormWindow::showMenuItem(ControlId id, std::string_view caption, bool shown) {
    const HMENU bar = GetMenu(window_);
    for (std::size_t m = 0; m < form_.menus.size(); ++m) {
        const HMENU menu = GetSubMenu(bar, static_cast<int>(m));
        // Its place: after the items before it that are in the menu, each with its separator.
        UINT place = 0;
        for (const MenuItemDesc& item : form_.menus[m].items) {
            const auto command = static_cast<UINT>(CommandId(item.id));
            if (item.id != id) {
                place += menuItemShown(item.id) ? (item.separatorBefore ? 2 : 1) : 0;
                continue;
            }
            const bool there = menuItemShown(id);
            if (shown && there) {
                ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING, command,
                            MenuCaption(item, caption).c_str());
            } else if (shown) {
                if (item.separatorBefore) {
                    InsertMenuW(menu, place++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
                }
                InsertMenuW(menu, place, MF_BYPOSITION | MF_STRING, command,
                            MenuCaption(item, caption).c_str());
            } else if (there) {
                DeleteMenu(menu, command, MF_BYCOMMAND);
                if (item.separatorBefore) {
                    DeleteMenu(menu, place, MF_BYPOSITION);
                }
            }
            return;
        }
    }
}

void FormWindow::showControl(ControlId id, bool shown) {
    controls_->show(id, shown);
}

// The client area takes the description's size at the resolution, and opens where the
// description says, if it says.
void FormWindow::place(int dpi) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    const RECT frame = frameFor(dpi, style, exStyle, GetMenu(window_) != nullptr);
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

void FormWindow::close() {
    DestroyWindow(window_);
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
    for (const MenuDesc& menu : form_.menus) {
        for (const MenuItemDesc& item : menu.items) {
            if (item.shortcut.key != 0 &&
                static_cast<WPARAM>(item.shortcut.key) == message.wParam &&
                item.shortcut.control == control && menuItemShown(item.id)) {
                clicked(item.id);
                return true;
            }
        }
    }
    return false;
}

int FormWindow::OpenCount() {
    return openForms;
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
        if (form != nullptr) {
            form->window_ = nullptr;
            form->unloaded();
        }
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
            const int dpi = controls_->dpi();
            const RECT frame =
                frameFor(dpi, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)),
                         GetMenu(window_) != nullptr);
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close box, Alt+F4 or the taskbar; a form that closes itself destroys its window.
        if (!closing()) {
            return 0;
        }
        break;
    case WM_DROPFILES:
        dropped(reinterpret_cast<HDROP>(wParam));
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
        laidOut(LOWORD(wParam));
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

void FormWindow::command(int id, int code, HWND control) {
    if (control != nullptr) {
        const WidgetDesc* desc = controls_->findById(id);
        const WidgetKind kind = desc != nullptr ? desc->kind : WidgetKind::Line;
        if (code == BN_CLICKED && kind == WidgetKind::PushButton) {
            clicked(desc->id);
        } else if ((code == EN_CHANGE && kind == WidgetKind::TextBox) ||
                   (code == LBN_SELCHANGE && kind == WidgetKind::ListBox) ||
                   (code == CBN_SELCHANGE && kind == WidgetKind::ComboBox)) {
            changed(desc->id);
        } else if (code == kChartCopy && kind == WidgetKind::Chart) {
            copying(desc->id);
        } else if (code == kChartResized && kind == WidgetKind::Chart) {
            resized(desc->id);
        } else if (code == EN_MAXTEXT) {
            MessageBeep(MB_OK); // typed past the box's limit; the box itself keeps quiet
        }
    } else if (id == IDOK) { // Enter, from the dialog manager
        pressFocusedOrDefault();
    } else if (id == IDCANCEL) { // Esc
        pressCancel();
    } else {
        for (ControlId item : menuItems_) {
            if (CommandId(item) == id) {
                clicked(item);
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
            sortRequested(desc->id, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        }
        return 0;
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN&>(header).wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) {
            copying(desc->id);
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

void FormWindow::pressFocusedOrDefault() {
    const HWND focus = GetFocus();
    const WidgetDesc* focused = controls_->find(focus);
    if (focused != nullptr && focused->kind == WidgetKind::PushButton) {
        SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.defaultButton) {
            SendMessageW(controls_->get(desc.id), BM_CLICK, 0, 0);
            return;
        }
    }
}

void FormWindow::pressCancel() {
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.cancelButton) {
            SendMessageW(controls_->get(desc.id), BM_CLICK, 0, 0);
            return;
        }
    }
}

int ShowMessage(std::string_view text, UINT buttons) {
    // No owner, yet modal to every window of the program (MB_TASKMODAL). When it closes, Windows
    // gives the keyboard to no control in particular: it goes back where it was.
    const HWND focus = GetFocus();
    const int pressed = MessageBoxW(nullptr, Widen(text).c_str(),
                                    Widen(BuildIdentity().title).c_str(), buttons | MB_TASKMODAL);
    if (focus != nullptr && IsWindow(focus)) {
        SetForegroundWindow(GetAncestor(focus, GA_ROOT));
        SetFocus(focus);
    }
    return pressed;
}

} // namespace runetally::win32
