#pragma once

#include "formcontrols.h"
#include "formdescription.h"
#include "formsurface.h"
#include "systemplatform.h"
#include "windowservices.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::win32 {

// A top-level window drawn from its description, with its commands: its controls and menu bar,
// the keyboard as in a dialog, its resolution, and the program's lifetime, which ends with the
// last such window. Each is the shared instance of its window, and deletes itself once its
// window is gone.
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
    const FormControls& controls() const { return *controls_; }
    HWND control(ControlId id) const { return controls_->get(id); }
    FormEvents& events() { return *events_; }
    // The command id of a control or menu item.
    static int CommandId(ControlId id) {
        return FormControls::kFirstId + static_cast<int>(id.index);
    }

    // Shows the window in front with its focus.
    void activate();

    // Runs one message as the program's loop does: Tab, Shift+Tab, Enter, Esc and access keys
    // work in a form as in a dialog.
    static void Dispatch(MSG& message);

    // FormSurface. The commands learn nothing of what they do to a list or table themselves.
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
    // A menu item as it stands: its caption, and whether it is in its menu.
    struct MenuItem {
        std::size_t menu; // its place in the menu bar
        const MenuItemDesc* desc;
        std::string caption;
        bool shown;
    };

    ~FormWindow() override = default;
    static ATOM FormClass();
    static bool IsForm(HWND window);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void create(DWORD style, DWORD exStyle);
    void command(int id, int code, HWND control);
    LRESULT notify(NMHDR& header);
    void changed(ControlId id);
    bool runShortcut(const MSG& message);
    bool tabToCaptions(const MSG& message);
    void press(bool cancel);
    HMENU createMenuBar();
    void fillMenu(HMENU bar, std::size_t menu) const;
    RECT frameFor(int dpi, DWORD style, DWORD exStyle) const;
    RECT frameFor(int dpi) const;
    void place(int dpi);
    void restoreFocus();

    const FormDesc& form_;
    FormInstance<FormWindow>& instance_;
    SystemPlatform platform_{*this};
    std::unique_ptr<FormEvents> events_;
    HWND window_ = nullptr;
    HWND focus_ = nullptr; // the control that had the focus when the window was last left
    std::vector<MenuItem> menuItems_; // every menu's items in order
    std::unique_ptr<FormControls> controls_;
    bool quiet_ = false; // the commands fill or select a list: it reports nothing back
};

} // namespace runetally::win32
