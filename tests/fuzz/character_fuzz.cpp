// Reads arbitrary bytes as a character file. Whatever is accepted, written again with the same
// decimal separator, must read back as the same character: what a player opens and saves
// unchanged is never altered or refused.
#include "character.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

using namespace runetally;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const char separator = bytes[0] % 2 ? ',' : '.';
    const std::string_view file(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    const auto read = ReadCharacterText(file, "fuzz.rtchar", separator);
    const auto* character = std::get_if<Character>(&read);
    if (!character) {
        if (std::get<std::string>(read).empty()) {
            std::abort();
        }
        return 0;
    }
    const auto again =
        ReadCharacterText(CharacterFileText(*character, separator), "fuzz.rtchar", separator);
    const auto* same = std::get_if<Character>(&again);
    if (!same || same->spellName != character->spellName) {
        std::abort();
    }
    for (int f = 0; f < kFieldCount; ++f) {
        if (same->text(Field(f)) != character->text(Field(f))) {
            std::abort();
        }
    }
    return 0;
}
