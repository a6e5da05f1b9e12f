#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace runetally {

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

enum class WidgetKind { Label, TextBox, ListBox, PushButton, Picture, Line };

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

// One widget as every front end draws it. Later widgets lie above earlier ones.
struct WidgetDesc {
    std::string_view name;
    WidgetKind kind = WidgetKind::Label;
    TwipsRect rect;             // a line: from (left, top) to (left + width, top)
    std::string_view text = {}; // caption, or a text box's start text
    // A label: the widget it captions, which a screen reader then calls by this caption.
    std::string_view buddy = {};
    // What a screen reader calls a widget that no label captions.
    std::string_view accessibleName = {};
    bool readOnly = false;          // text box: takes the focus and copies, refuses typing
    const FontDesc* font = nullptr; // none: the default user-interface font
    std::optional<Rgb> colour = {}; // a label's text or a line; none: the system's colour
    int lineWidth = 0;              // line: thickness in pixels
    // A text box holds at most this many characters; 0 means no limit.
    int maxLength = 0;
    // Push button: pressed by Enter wherever the focus is not on another button (default) and
    // by Esc (cancel).
    bool defaultButton = false;
    bool cancelButton = false;
};

struct MenuItemDesc {
    std::string_view name;
    std::string_view caption; // "&" marks the access key
};

struct MenuDesc {
    std::string_view name;
    std::string_view caption;
    std::span<const MenuItemDesc> items;
};

struct PointTwips {
    int x = 0;
    int y = 0;
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
    std::span<const WidgetDesc> widgets;
    std::span<const std::string_view> focusOrder; // Tab forward, wrapping; the first has the focus
    std::span<const MenuDesc> menus = {};
};

// The widget of that name, or null.
const WidgetDesc* FindWidget(const FormDesc& form, std::string_view name);

// The labels in the default font that caption other widgets: those a front end may set smaller
// where the default face needs more room than their boxes give.
std::vector<const WidgetDesc*> InputCaptions(const FormDesc& form);

// What a screen reader calls the widget: the caption of the label that names it as buddy, else
// its own accessible name, else its text.
std::string_view AccessibleName(const FormDesc& form, const WidgetDesc& widget);

} // namespace runetally
