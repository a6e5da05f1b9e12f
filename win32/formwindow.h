#pragma once

#include "formcontrols.h"
#include "formdescription.h"

#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace runetally::win32 {

// A top-level window drawn from its description: its controls and menu bar, the keyboard as in
// a dialog, its resolution, and the program's lifetime, which ends with the last such window.
class FormWindow {
public:
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND handle() const { return window_; }
    const FormControls& controls() const { return *controls_; }
    // The command id of a control or menu item.
    static int CommandId(ControlId id) {
        return FormControls::kFirstId + static_cast<int>(id.index);
    }

    // What a window's one shared instance asks of it: show it in front with its focus, and
    // close it, which destroys it.
    void activate();
    void close();

    // Runs one message as the program's loop does: Tab, Shift+Tab, Enter, Esc and access keys
    // work in a form as in a dialog.
    static void Dispatch(MSG& message);
    // How many forms are open. The last one to close posts WM_QUIT.
    static int OpenCount();

protected:
    explicit FormWindow(const FormDesc& form);
    virtual ~FormWindow();

    // Creates the window, hidden, with its controls and menu bar laid out at its resolution.
    void create(DWORD style, DWORD exStyle);

    // Shows a menu item with this caption at its place in its menu, or leaves it out.
    void showMenuItem(ControlId id, std::string_view caption, bool shown);
    void showControl(ControlId id, bool shown);

    // A button or menu item was pressed.
    virtual void clicked(ControlId id) = 0;
    // Whether the window may close when the player closes it; close() does not ask.
    virtual bool closing() { return true; }
    // Files were dropped on a window made with WS_EX_ACCEPTFILES; the form finishes the drop.
    virtual void dropped(HDROP /*drop*/) {}
    // A text box's text or a combo box's choice changed, by the player or the program; or the
    // player selected another item of a list or row of a table.
    virtual void changed(ControlId /*id*/) {}
    // A click on the caption of a sortable table's column.
    virtual void sortRequested(ControlId /*table*/, int /*column*/) {}
    // Ctrl+C on a table or chart: true once the window copied.
    virtual bool copying(ControlId /*id*/) { return false; }
    // A chart took another size.
    virtual void resized(ControlId /*chart*/) {}
    // Whether a paste may go ahead that would leave a text box with a limit this long; a window
    // whose boxes have none is never asked.
    virtual bool pasting(ControlId /*box*/, std::size_t /*length*/) { return true; }
    // The window is gone; the form may delete itself here.
    virtual void unloaded() = 0;
    // The controls were laid out anew at this resolution.
    virtual void laidOut(int /*dpi*/) {}

    const FormDesc& form_;
    std::unique_ptr<FormControls> controls_;

private:
    static ATOM FormClass();
    static bool IsForm(HWND window);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int code, HWND control);
    LRESULT notify(NMHDR& header);
    bool runShortcut(const MSG& message);
    bool tabToCaptions(const MSG& message);
    void pressFocusedOrDefault();
    void pressCancel();
    HMENU createMenuBar();
    bool menuItemShown(ControlId id) const;
    RECT frameFor(int dpi, DWORD style, DWORD exStyle, bool menu) const;
    void place(int dpi);
    void restoreFocus();

    HWND window_ = nullptr;
    HWND focus_ = nullptr; // the control that had the focus when the window was last left
    std::vector<ControlId> menuItems_;
};

// An application-modal message box with no icon and the application's title as caption, with an
// OK button alone unless told other buttons; the focus goes back to where it was when it closes.
// Gives the button pressed (IDCANCEL when closed with Esc or its close box, where it has one).
int ShowMessage(std::string_view text, UINT buttons = MB_OK);

} // namespace runetally::win32
