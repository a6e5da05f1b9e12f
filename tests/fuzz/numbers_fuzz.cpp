// Reads arbitrary bytes as a number with either separator: nothing may crash, and whatever is
// read writes a text that reads back and writes again to the same text.
#include "numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const char separator = data[0] & 1 ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto value = runetally::ParseNumber(text, separator);
    if (!value) {
        return 0;
    }
    if (!std::isfinite(*value)) {
        std::abort();
    }
    // Fifteen digits round the very largest doubles up past the range: their text cannot be
    // read back, by design of the rounding.
    if (std::fabs(*value) >= 1.797693134862315e308) {
        return 0;
    }
    const std::string shown = runetally::FormatNumber(*value, separator);
    const auto again = runetally::ParseNumber(shown, separator);
    if (shown.empty() || !again || runetally::FormatNumber(*again, separator) != shown) {
        std::abort();
    }
    return 0;
}
