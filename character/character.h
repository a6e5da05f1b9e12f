#pragma once

#include "spellinputs.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace runetally {

// A character is what the main window holds: the ten boxes' texts and the selected spell.
using Character = SpellInputs;

// The file's extension, and the most a character file may hold.
inline constexpr std::string_view kCharacterExtension = ".rtchar";
inline constexpr std::size_t kMaxCharacterFileBytes = 64 * 1024;
// As much as an input box holds, counted as the box counts: in UTF-16 code units.
inline constexpr std::size_t kMaxCharacterInputLength = 32767;

// The file's contents for `character`, whose numbers are written with `separator`. A box that
// holds a number is stored with '.', whatever the writer's separator; any other text as typed,
// as {"text": ...} when a reader would otherwise take it for a number written with '.'.
std::string CharacterFileText(const Character& character, char separator);

// A character read back from a file's bytes (version 1 or 2), its numbers written with the
// reader's `separator`; or the one message that says what is wrong, naming the file as
// `fileName`.
std::variant<Character, std::string> ReadCharacterText(std::string_view bytes,
                                                       std::string_view fileName, char separator);

// The first input (its name in the file, "int") that holds a control character, U+0000 to U+001F
// or U+007F, which a file may not hold; nothing when none does.
std::optional<std::string_view> InputWithControlCharacter(const Character& character);

// The messages a player is shown about a character file; every one names the file.
std::string NotACharacterMessage(std::string_view fileName, std::string_view problem);
std::string CouldNotOpenMessage(std::string_view fileName, std::string_view reason);
std::string CouldNotSaveMessage(std::string_view fileName, std::string_view reason);

} // namespace runetally
