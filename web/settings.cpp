#include "settings.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace runetally::web {
namespace {

constexpr const char* kRecentKey = "runetally.recent";

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

std::vector<std::string> LoadRecentFiles() {
    const std::unique_ptr<char, decltype(&std::free)> kept(LoadStored(kRecentKey), &std::free);
    // Names one after another, each ended by a '/', which no file name holds.
    std::vector<std::string> names;
    std::string_view rest = kept != nullptr ? kept.get() : "";
    for (std::size_t end = rest.find('/'); end != std::string_view::npos; end = rest.find('/')) {
        names.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    return names;
}

void KeepRecentFiles(std::span<const std::string> names) {
    std::string kept;
    for (const std::string& name : names) {
        kept += name + "/";
    }
    KeepStored(kRecentKey, kept.c_str());
}

} // namespace runetally::web
