#pragma once

#include "formdescription.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The page's markup as text: what the module puts into the page, and what the build writes into
// it beforehand for the main window, from the same code. Nothing here talks to a browser.

namespace runetally::web {

// Layout is in twips; the page is in CSS pixels, 15 twips to one, so that the browser's zoom
// and the screen's sharpness apply to the windows as to any page.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr double kPageMargin = 8; // CSS pixels between a window and the page's edges

// The page's default faces, as its style sheet names them.
inline constexpr const char* kPageFaces = "\"Segoe UI\", system-ui, sans-serif";

// A shortcut as aria-keyshortcuts names it: "Control+O", "Control+Shift+S".
std::string KeysName(Shortcut shortcut);
// A length in CSS pixels: "40px", "12.5px".
std::string Px(double pixels);
std::string Twips(int twips);
// A place as a style declaration, "left:8px;top:...;": later declarations override earlier ones.
std::string PlaceCss(const TwipsRect& rect);
std::string CssColour(const Rgb& colour);
// A caption's text without its access-key marks ("&&" is one "&"), and its access key in lower
// case, or 0.
struct AccessText {
    std::string text;
    char key = 0;
    std::size_t keyAt = std::string::npos; // where the key stands in `text`
};
AccessText ParseAccessKey(std::string_view caption);
// The letter or digit a key event names, in lower case, as an access key; 0 for any other key.
char KeyLetter(std::string_view key);

std::string Escaped(std::string_view text);

// Markup, built as text and put into the page at once: one call into the browser for a whole
// window rather than one for each element and attribute. Every element the page shows is made
// this way.
class Html {
public:
    Html& open(const char* tag); // "<tag", its attributes to follow
    Html& attr(const char* name, std::string_view value);
    Html& flag(const char* name); // an attribute without a value
    Html& close();                // ">"
    Html& text(std::string_view text);
    // The caption's text, its access key underlined.
    Html& caption(std::string_view caption);
    Html& end(const char* tag);
    const std::string& str() const { return out_; }

private:
    std::string out_;
};

// A menu item the page adds to a window's menus, in the menu that holds `before`, above it.
struct ExtraMenuItem {
    std::string name; // the element's id
    std::string caption;
    ControlId before;
    std::function<void()> run;
};

// The window's menus, and the page's own items among them, as an ARIA menubar.
void MenuMarkup(const FormDesc& form, std::span<const ExtraMenuItem> extras, Html& html);

// What the page makes of a window beyond its description.
struct FormPlace {
    // The window's ARIA role; none: a region named by its caption. The "main" window's caption
    // is the page's title.
    const char* role = nullptr;
    std::vector<ExtraMenuItem> extras = {}; // the page's own menu items
    double left = 0; // CSS pixels from the page's top-left corner: where the page puts it
    double top = 0;
    // The input captions' size where the build fitted them (FitCaptions); none: the page's own.
    std::optional<double> captionPoints = std::nullopt;
};

// A caption size as the style sheet takes it: "7.5pt".
std::string PointsCss(double points);

// A window's markup as its description starts it: a frame with its caption and close box, its
// menu bar, and its widgets at their places, each with the control's name as id.
void FormMarkup(const FormDesc& form, const FormPlace& place, Html& html);

// A list box's items, or a table's empty head and body, inside its element.
void ListMarkup(std::string_view id, const WidgetDesc& desc, Html& html);

} // namespace runetally::web
