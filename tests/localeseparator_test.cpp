#include "localeseparator.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

using namespace runetally;

namespace {

// The calculation takes one byte; anything that is not one ASCII character keeps the full stop.
TEST(LocaleSeparator, OnlyOneAsciiCharacterIsTaken) {
    const std::vector<std::pair<std::string_view, char>> cases = {
        {".", '.'},
        {",", ','},
        {"'", '\''},
        {"", '.'},
        {",,", '.'},
        {"\xd9\xab", '.'},                // U+066B, the Arabic decimal separator
        {"\xb7", '.'},                    // a single byte of a Latin-1 locale
        {std::string_view("\0", 1), '.'}, // would end the text where a C string is read
    };
    for (const auto& [text, separator] : cases) {
        EXPECT_EQ(SeparatorFromText(text), separator) << text;
    }
}

} // namespace
