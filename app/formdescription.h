#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace runetally {

// Declares a window's controls from one list: LIST(X) calls X(name) for every widget, in the
// order they are drawn (later ones above earlier ones), then for every menu followed by its
// items. It declares the enum class Type, whose values are the controls' places in that list,
// and ControlNames(Type), their names in the same order: the names that a front end gives its
// widgets and that screen readers and tests see.
#define RUNETALLY_CONTROLS(Type, LIST)                                                             \
    enum class Type : std::size_t { LIST(RUNETALLY_CONTROL_ENUMERATOR) };                          \
    inline constexpr std::string_view Type##Names[] = {LIST(RUNETALLY_CONTROL_NAME)};              \
    constexpr std::span<const std::string_view> ControlNames(Type) {                               \
        return Type##Names;                                                                        \
    }
#define RUNETALLY_CONTROL_ENUMERATOR(name) name,
#define RUNETALLY_CONTROL_NAME(name) #name,

// An enum that RUNETALLY_CONTROLS declared.
template <class Id>
concept ControlEnum = std::is_enum_v<Id> &&
    std::is_same_v<decltype(ControlNames(Id{})), std::span<const std::string_view>>;

template <ControlEnum Id> constexpr std::string_view ControlName(Id id) {
    return ControlNames(id)[static_cast<std::size_t>(id)];
}

// A control of some window, by its place in that window's list. Descriptions are written with the
// window's own ids, which convert to these of themselves; code that draws any window uses these.
struct ControlId {
    template <ControlEnum Id> constexpr ControlId(Id id) : index(static_cast<std::size_t>(id)) {}
    template <ControlEnum Id> constexpr Id as() const { return static_cast<Id>(index); }
    auto operator<=>(const ControlId&) const = default;

    std::size_t index;
};

// Positions and sizes in twips (1/1440 inch) from the top-left corner of the client area. The
// layout lies on a 15-twip grid: one pixel at 96 dots per inch.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kTwipsPerInch = 1440;

// Twips to device pixels at the given resolution; exact on the layout's grid at 96 dpi.
constexpr int TwipsToPixels(int twips, int dpi) {
    return twips * dpi / kTwipsPerInch;
}

enum class WidgetKind {
    Label,
    TextBox,
    ListBox,
    PushButton,
    Picture,
    Line,
    ComboBox, // a drop-down list to choose one of its items from; no typing
    Table,    // a report list: rows of cells under column captions, whole rows selected
    Chart,    // a canvas that draws a ChartPicture (chartpicture.h) and takes the focus
};

// A table's column.
struct ColumnDesc {
    std::string_view caption;
    int width = 0;           // twips
    bool alignRight = false; // numbers line up at their right edge
};

// How a widget follows its window when the window is made larger than its described client area:
// each edge moves by this share, in percent, of the added width (left, right) or height (top,
// bottom). The default leaves the widget where it stands.
struct Stretch {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Stretch&) const = default;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct FontDesc {
    std::string_view face; // falls back to the default face when it is not installed
    int pointSize = 0;
};

// A picture's image: its rows from the top, one character a pixel, and the colour each character
// stands for; a character with no colour is transparent.
struct ImageDesc {
    std::span<const std::string_view> rows;
    std::optional<Rgb> (*colour)(char pixel) = nullptr;
};

// One widget as every front end draws it.
struct WidgetDesc {
    ControlId id;
    WidgetKind kind = WidgetKind::Label;
    TwipsRect rect;             // a line: from (left, top) to (left + width, top)
    std::string_view text = {}; // caption, a text box's start text, a combo box's start item
    // A label: the widget it captions, which a screen reader then calls by this caption.
    std::optional<ControlId> buddy = {};
    // What a screen reader calls a widget that no label captions.
    std::string_view accessibleName = {};
    bool readOnly = false;          // text box: takes the focus and copies, refuses typing
    const FontDesc* font = nullptr; // none: the default user-interface font
    std::optional<Rgb> colour = {}; // a label's text or a line; none: the system's colour
    int lineWidth = 0;              // line: thickness in pixels
    // A text box holds at most this many characters; 0 means no limit. Typing past the limit is
    // refused; so is, whole, a paste that would take the box past it, once the window's commands
    // have been asked.
    int maxLength = 0;
    // Push button: pressed by Enter wherever the focus is not on another button (default) and
    // by Esc (cancel).
    bool defaultButton = false;
    bool cancelButton = false;
    // A combo box's or a list box's items, in this order.
    std::span<const std::string_view> items = {};
    const ImageDesc* image = nullptr;         // picture: what it shows at its top-left corner
    std::span<const ColumnDesc> columns = {}; // table
    // Table: a click on a column's caption, or Enter on it, asks the window's commands to sort.
    bool sortable = false;
    Stretch stretch = {};
    bool hidden = false; // not shown until the window's commands show it
};

// A key that runs a menu item from anywhere in its window.
struct Shortcut {
    char key = 0; // an upper-case letter or a digit; 0: none
    bool control = false;
    bool shift = false;
    bool operator==(const Shortcut&) const = default;
};

struct MenuItemDesc {
    ControlId id;
    std::string_view caption; // "&" marks the access key
    Shortcut shortcut = {};
    bool separatorBefore = false; // a line above the item sets it apart from those before
    // Left out of the menu until the window's commands show it with a caption of their own.
    bool hidden = false;
};

struct MenuDesc {
    ControlId id;
    std::string_view caption;
    std::span<const MenuItemDesc> items;
};

struct PointTwips {
    int x = 0;
    int y = 0;
    bool operator==(const PointTwips&) const = default;
};

// A window as data: what it shows, where, and in which order the focus moves.
struct FormDesc {
    std::string_view name;
    std::string_view caption; // a window whose load step sets it leaves this empty
    int clientWidth = 0;      // twips
    int clientHeight = 0;     // twips
    bool fixedFrame = false;  // a dialog frame the user cannot resize
    // Where the client area opens on the screen; none: where the window system puts it.
    std::optional<PointTwips> screenPosition = {};
    std::span<const std::string_view> controlNames; // by place in the window's list
    std::span<const WidgetDesc> widgets;            // in the list's order: widget i is control i
    std::span<const ControlId> focusOrder; // Tab forward, wrapping; the first has the focus
    std::span<const MenuDesc> menus = {};  // they and their items follow the widgets in the list
    // The client area cannot be made smaller than described: for windows whose widgets stretch.
    bool describedIsMinimum = false;

    constexpr const WidgetDesc& widget(ControlId id) const { return widgets[id.index]; }
    constexpr std::string_view controlName(ControlId id) const { return controlNames[id.index]; }
};

// Whether the description keeps to its list: widgets, then each menu and its items, each in its
// place and every name used; every caption names a widget, every table has columns, and every
// focus stop is a widget that can hold the focus, none twice. Each window checks its own at compile
// time.
constexpr bool FollowsItsList(const FormDesc& form) {
    std::size_t next = 0;
    for (const WidgetDesc& widget : form.widgets) {
        if (widget.id.index != next++ ||
            (widget.buddy && widget.buddy->index >= form.widgets.size())) {
            return false;
        }
        if (widget.kind == WidgetKind::Table && widget.columns.empty()) {
            return false;
        }
    }
    for (const MenuDesc& menu : form.menus) {
        if (menu.id.index != next++) {
            return false;
        }
        for (const MenuItemDesc& item : menu.items) {
            if (item.id.index != next++) {
                return false;
            }
        }
    }
    if (next != form.controlNames.size()) {
        return false;
    }
    for (std::size_t i = 0; i < form.focusOrder.size(); ++i) {
        const ControlId stop = form.focusOrder[i];
        if (stop.index >= form.widgets.size() || form.widget(stop).kind == WidgetKind::Label ||
            form.widget(stop).kind == WidgetKind::Line) {
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (form.focusOrder[j] == stop) {
                return false;
            }
        }
    }
    return true;
}

// Where the widget stands in a client area of that size, in twips: each edge moved by its
// stretch's share of what the area gained over the described one, down to the layout's grid. An
// area smaller than described moves nothing.
TwipsRect Placed(const FormDesc& form, const WidgetDesc& widget, int clientWidth, int clientHeight);

// How a menu shows the shortcut: "Ctrl+P", "Ctrl+Shift+S"; empty for none.
std::string ShortcutText(Shortcut shortcut);

// The labels in the default font that caption other widgets: those a front end may set smaller
// where the default face needs more room than their boxes give.
std::vector<const WidgetDesc*> InputCaptions(const FormDesc& form);

// What a screen reader calls the widget: the caption of the label that names it as buddy, else
// its own accessible name, else its text.
std::string_view AccessibleName(const FormDesc& form, const WidgetDesc& widget);

} // namespace runetally
