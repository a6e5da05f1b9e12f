#pragma once

#include "localeseparator.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally {

class MainFollower;

// The program's windows, each a single shared instance kept for the whole run.
enum class Window { Main, Planner, About };

// The buttons of a question.
enum class Answer { Yes, No, Cancel };

// What windows' commands need of the system beyond their own window. Each toolkit implements it
// once; a window's commands are given the platform of their window. Texts and paths are UTF-8
// (on POSIX, a path's bytes as they are).
class Platform {
public:
    virtual ~Platform() = default;

    // An application-modal message box with an OK button alone, no icon and the application's
    // title as caption. Returns when it is closed; how it was closed does not matter.
    virtual void showMessage(std::string_view text) = 0;
    // The same box with these buttons, in this order, Enter pressing `byDefault`. Closing it any
    // other way (Esc, its close box) gives the last.
    virtual Answer ask(std::string_view question, std::span<const Answer> answers,
                       Answer byDefault) = 0;
    // The file the player chose in the system's open dialog, filtered to characters; nothing when
    // the player cancels.
    virtual std::optional<std::string> chooseFileToOpen() = 0;
    // The file to save in, from the system's save dialog that offers `suggested`: a name, or the
    // full path of a file, whose folder the dialog opens in. Nothing when the player cancels.
    virtual std::optional<std::string> chooseFileToSave(std::string_view suggested) = 0;
    // The recent list, most recent first, as the platform's settings keep it between runs.
    virtual std::vector<std::string> recentFiles() const = 0;
    virtual void keepRecentFiles(std::span<const std::string> paths) = 0;
    virtual void copyText(std::string_view text) = 0;
    // Shows the window, modeless and without an owner, loading it first when needed; a window
    // shown already is only brought to the front.
    virtual void show(Window window) = 0;
    // The loaded window that follows the main window as it is edited, or null.
    virtual MainFollower* follower() = 0;
    // The decimal separator of the player's regional settings.
    virtual char decimalSeparator() const { return UserDecimalSeparator(); }
};

} // namespace runetally
