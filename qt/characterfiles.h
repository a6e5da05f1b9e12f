#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QMimeData;
class QWidget;

namespace runetally {

// The system's file dialogs for character files, shown over `parent`; nothing when the player
// cancels. Paths are the bytes the system names the file by: UTF-8, or any other bytes.
std::optional<std::string> ChooseCharacterToOpen(QWidget* parent);
std::optional<std::string> ChooseCharacterToSave(QWidget* parent, std::string_view suggestedName);

// The recent list, as the user's settings keep it between runs.
std::vector<std::string> RecentCharacters();
void KeepRecentCharacters(std::span<const std::string> paths);

// The character file of a drag that carries one local file with a character's name; nothing
// for anything else.
std::optional<std::string> DraggedCharacter(const QMimeData* data);

// The file named on the command line (Qt's own options already taken out), as a whole path;
// nothing when none is named. Only the first name counts, and options are passed over.
std::optional<std::string> CharacterArgument(std::span<const std::string> arguments);

} // namespace runetally
