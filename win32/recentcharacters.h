#pragma once

#include <span>
#include <string>
#include <vector>

namespace runetally::win32 {

// The recent list as the registry keeps it between runs, most recent first: the values Recent1,
// Recent2, ... of HKEY_CURRENT_USER\Software\Runetally, paths in UTF-8 here.
std::vector<std::string> ReadRecentCharacters();
// Writes the list and deletes the values after it; a list that cannot be kept is let go.
void KeepRecentCharacters(std::span<const std::string> paths);

} // namespace runetally::win32
