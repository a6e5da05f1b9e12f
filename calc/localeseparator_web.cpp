#include "localeseparator.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>

namespace runetally {
namespace {

// The decimal sign that Intl.NumberFormat writes for the browser's preferred language, as
// UTF-8 that the caller frees.
// clang-format off
EM_JS(char*, BrowserDecimalSign, (), {
    var language = typeof navigator !== "undefined" ? navigator.language : undefined;
    var parts = new Intl.NumberFormat(language).formatToParts(1.5);
    var sign = "";
    for (var i = 0; i < parts.length; ++i) {
        if (parts[i].type === "decimal") sign = parts[i].value;
    }
    var size = lengthBytesUTF8(sign) + 1;
    var text = _malloc(size);
    stringToUTF8(sign, text, size);
    return text;
});
// clang-format on

} // namespace

char UserDecimalSeparator() {
    const std::unique_ptr<char, decltype(&std::free)> sign(BrowserDecimalSign(), &std::free);
    return SeparatorFromText(sign.get());
}

const char* DecimalSeparatorSource() {
    return "the browser's preferred language";
}

} // namespace runetally
