#pragma once

#include "platform.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace runetally::win32 {

class FormWindow;

// What a window's commands need of Windows beyond their window: message boxes, the file dialogs
// modal to their window, the recent list in the registry, the clipboard, and the program's other
// windows.
class SystemPlatform final : public Platform {
public:
    explicit SystemPlatform(const FormWindow& window) : window_(window) {}

    void showMessage(std::string_view text) override;
    Answer ask(std::string_view question, std::span<const Answer> answers,
               Answer byDefault) override;
    std::optional<std::string> chooseFileToOpen() override;
    std::optional<std::string> chooseFileToSave(std::string_view suggested) override;
    // The values Recent1, Recent2, ... of HKEY_CURRENT_USER\Software\Runetally; a list that
    // cannot be kept is let go.
    std::vector<std::string> recentFiles() const override;
    void keepRecentFiles(std::span<const std::string> paths) override;
    void copyText(std::string_view text) override;
    void show(Window window) override;
    MainFollower* follower() override;

private:
    const FormWindow& window_;
};

// While set, answers in place of both file dialogs, told whether it is a save and the name it
// offers: tests choose a file without a dialog on the screen.
using CharacterDialogStandIn =
    std::function<std::optional<std::string>(bool save, std::string_view suggestedName)>;
void StandInForCharacterDialogs(CharacterDialogStandIn standIn);

// The file named on the program's command line, as `runetally.exe thalia.rtchar` names it, made
// a full path: the recent list keeps it whatever the folder. Nothing unless one file is named.
std::optional<std::string> CommandLineFile(const wchar_t* commandLine);

// The file dropped on a window, when one file alone was dropped. Finishes the drop.
std::optional<std::string> DroppedFile(HDROP drop);

} // namespace runetally::win32
