#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace runetally::win32 {

// The system's dialogs that choose a character file, modal to `owner`, offering only characters.
// Nothing when the player cancels. Paths are UTF-8.
std::optional<std::string> ChooseCharacterToOpen(HWND owner);
// Asks before it replaces a file; a name typed without an extension takes the characters' one.
std::optional<std::string> ChooseCharacterToSave(HWND owner, std::string_view suggestedName);

// While set, answers in place of both dialogs, told whether it is a save and the name it offers:
// tests choose a file without a dialog on the screen.
using CharacterDialogStandIn =
    std::function<std::optional<std::string>(bool save, std::string_view suggestedName)>;
void StandInForCharacterDialogs(CharacterDialogStandIn standIn);

} // namespace runetally::win32
