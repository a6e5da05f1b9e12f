// The menu bar of a FormWindow and the keys a dialog would handle.
#include "formwindow.h"

#include "reportlist.h"
#include "widetext.h"

namespace runetally::win32 {

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

// A Windows menu has no hidden items: a menu holds those shown, each after its line if it has one,
// with its shortcut after a tab: Windows menus line shortcuts up at the right.
void FormWindow::fillMenu(HMENU bar, std::size_t m) const {
    const HMENU menu = GetSubMenu(bar, static_cast<int>(m));
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
    for (const MenuItem& item : menuItems_) {
        if (item.menu == m && item.shown) {
            if (item.desc->separatorBefore) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            }
            const std::string shortcut = ShortcutText(item.desc->shortcut);
            AppendMenuW(
                menu, MF_STRING, static_cast<UINT_PTR>(CommandId(item.desc->id)),
                Widen(shortcut.empty() ? item.caption : item.caption + "\t" + shortcut).c_str());
        }
    }
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

void FormWindow::Dispatch(MSG& message) {
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && GetClassLongPtrW(root, GCW_ATOM) == FormClass()) {
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
    if (focus == nullptr) {
        return false;
    }
    HWND target = nullptr;
    if (const HWND list = GetParent(focus); FocusableCaptions(list) == focus) {
        target = back ? GetNextDlgTabItem(window_, list, TRUE) : list;
    } else {
        const HWND table = back ? focus : GetNextDlgTabItem(window_, focus, FALSE);
        const WidgetDesc* desc = find(table);
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
    if (message.message != WM_KEYDOWN || GetKeyState(VK_MENU) < 0) {
        return false;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    for (const MenuItem& item : menuItems_) {
        const Shortcut shortcut = item.desc->shortcut;
        if (shortcut.key != 0 && static_cast<WPARAM>(shortcut.key) == message.wParam &&
            shortcut.control == control && shortcut.shift == shift && item.shown) {
            events_->clicked(item.desc->id);
            return true;
        }
    }
    return false;
}

// Enter presses the focused button, else the form's default button; Esc its cancel button.
void FormWindow::press(bool cancel) {
    const HWND focus = GetFocus();
    const WidgetDesc* focused = find(focus);
    if (!cancel && focused != nullptr && focused->kind == WidgetKind::PushButton) {
        SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    for (const WidgetDesc& desc : form_.widgets) {
        if (cancel ? desc.cancelButton : desc.defaultButton) {
            SendMessageW(control(desc.id), BM_CLICK, 0, 0);
            return;
        }
    }
}

} // namespace runetally::win32
