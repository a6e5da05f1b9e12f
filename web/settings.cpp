#include "settings.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace runetally::web {
namespace {

// clang-format off
EM_JS(char*, LoadStored, (const char* name), {
    var value = null;
    try { value = localStorage.getItem(UTF8ToString(name)); } catch (e) {}
    if (value === null) return 0;
    var size = lengthBytesUTF8(value) + 1;
    var text = _malloc(size);
    stringToUTF8(value, text, size);
    return text;
});

EM_JS(void, KeepStored, (const char* name, const char* value), {
    try { localStorage.setItem(UTF8ToString(name), UTF8ToString(value)); } catch (e) {}
});
// clang-format on

} // namespace

std::optional<std::string> LoadSetting(std::string_view name) {
    const std::unique_ptr<char, decltype(&std::free)> value(LoadStored(std::string(name).c_str()),
                                                            &std::free);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value.get());
}

void KeepSetting(std::string_view name, std::string_view value) {
    KeepStored(std::string(name).c_str(), std::string(value).c_str());
}

} // namespace runetally::web
