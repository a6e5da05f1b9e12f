#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runetally::web {

// What the page keeps between visits, in the browser's local storage; nothing is kept where the
// browser refuses storage.
std::optional<std::string> LoadSetting(std::string_view name);
void KeepSetting(std::string_view name, std::string_view value);

} // namespace runetally::web
