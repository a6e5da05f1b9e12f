#pragma once

#include "character.h"

#include <optional>
#include <string>
#include <string_view>

namespace runetally {

// A character carried in a link, as the page's address fragment: "c=" and the character's file
// text (CharacterFileText) in URL-safe base64 without padding.
std::string CharacterLinkFragment(const Character& character, char separator);

// The file text that a fragment (without its '#') carries; nothing when it carries no character.
// Text that is no URL-safe base64 comes back as it stands, for the file's checks to refuse.
std::optional<std::string> LinkedCharacterText(std::string_view fragment);

} // namespace runetally
