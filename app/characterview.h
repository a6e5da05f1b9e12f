#pragma once

#include "character.h"

#include <optional>
#include <string>

namespace runetally {

// How the player answers "Save changes to thalia?".
enum class SaveAnswer { Yes, No, Cancel };

// What a window that opens character files needs of the window system.
class CharacterPicker {
public:
    virtual ~CharacterPicker() = default;
    // The file the player chose in the system's open dialog, filtered to characters; nothing when
    // the player cancels.
    virtual std::optional<std::string> chooseCharacterToOpen() = 0;
};

} // namespace runetally
