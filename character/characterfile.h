#pragma once

#include "character.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace runetally {

// The character in the file at `path` (UTF-8), its numbers written with `separator`; or the one
// message that says why it cannot be opened.
std::variant<Character, std::string> OpenCharacter(const std::string& path, char separator);

// Whether the file at `path` has gone: deleted, or moved away with its folder.
bool CharacterFileIsGone(const std::string& path);

// The name a player knows the file by: the last part of its path without ".rtchar".
std::string CharacterName(const std::string& path);

// Whether `path` ends in ".rtchar", in any case: the desktop tells files' types that way, and a
// Windows file system keeps a name's case without minding it.
bool HasCharacterExtension(std::string_view path);

// Writes the character to `path` (UTF-8) through a temporary file in the same folder that
// replaces the old file only once it is whole on disk. Gives the message when saving failed;
// the old file is then as it was and no temporary file is left.
std::optional<std::string> SaveCharacter(const std::string& path, const Character& character,
                                         char separator);

} // namespace runetally
