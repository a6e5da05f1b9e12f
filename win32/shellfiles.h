#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

namespace runetally::win32 {

// The file named on the program's command line, as `runetally.exe thalia.rtchar` names it, made
// a full path: the recent list keeps it whatever the folder. Nothing unless one file is named.
std::optional<std::string> CommandLineFile(const wchar_t* commandLine);

// The file dropped on a window, when one file alone was dropped. Finishes the drop.
std::optional<std::string> DroppedFile(HDROP drop);

} // namespace runetally::win32
