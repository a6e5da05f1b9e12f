#pragma once

#include "formdescription.h"

#include "js.h"

#include <string>
#include <string_view>

namespace runetally::web {

// Layout is in twips; the page is in CSS pixels, 15 twips to one, so that the browser's zoom
// and the screen's sharpness apply to the windows as to any page.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr double kPageMargin = 8; // CSS pixels between a window and the page's edges

// The page's default faces, as its style sheet names them.
inline constexpr const char* kPageFaces = "\"Segoe UI\", system-ui, sans-serif";

Js Document();
std::string Utf8(const Js& value);

class Html;

// Puts the markup at the end of the parent: its last element, once there.
Js Append(const Js& parent, const Html& html);
void SetText(const Js& element, std::string_view text);
void SetAttribute(const Js& element, const char* name, std::string_view value);
void SetStyle(const Js& element, const char* property, std::string_view value);
// A length in CSS pixels: "40px", "12.5px".
std::string Px(double pixels);
std::string Twips(int twips);
// A place as a style declaration, "left:8px;top:...;": later declarations override earlier ones.
std::string PlaceCss(const TwipsRect& rect);
std::string CssColour(const Rgb& colour);
// Whether `element` is `other`, or holds it.
bool Holds(const Js& element, const Js& other);
Js ActiveElement();
void Focus(const Js& element);
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

} // namespace runetally::web
