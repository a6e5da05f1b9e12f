#pragma once

#include "js.h"

#include <optional>
#include <string>
#include <string_view>

namespace runetally::web {

// The page's side of the clipboard.
class Clipboard {
public:
    // Puts the text on the clipboard: through the browser's own copy, which a key or a click lets
    // a page start, or else its clipboard API.
    void copy(std::string_view text);
    // The copy that copy() started; false for any other.
    bool copying(const Js& event);

private:
    std::optional<std::string> pending_;
};

} // namespace runetally::web
