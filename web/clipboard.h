#pragma once

#include "js.h"

#include <string_view>

namespace runetally::web {

// Puts the text on the clipboard: through the browser's own copy, which a key or a click lets a
// page start, or else its clipboard API.
void CopyText(std::string_view text);

// The copy that CopyText started; false for any other.
bool HandleCopyEvent(const Js& event);

} // namespace runetally::web
