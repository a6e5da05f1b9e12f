#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

namespace runetally::win32 {

// The file named on the program's command line, as `runetally.exe thalia.rtchar` names it, made
// a full path: the recent list keeps it whatever the folder. Nothing unless one file is named.
std::optional<std::string> CommandLineFile(const wchar_t* commandLine);

// The character dropped on a window: one file whose name ends in ".rtchar", in any case, as
// Windows names files. Finishes the drop.
std::optional<std::string> DroppedCharacter(HDROP drop);

} // namespace runetally::win32
