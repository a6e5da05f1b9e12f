#pragma once

#include <span>
#include <string>
#include <vector>

namespace runetally::web {

// The recent list as the page keeps it between visits, in the browser's local storage; nothing is
// kept where the browser refuses storage.
std::vector<std::string> LoadRecentFiles();
void KeepRecentFiles(std::span<const std::string> names);

} // namespace runetally::web
