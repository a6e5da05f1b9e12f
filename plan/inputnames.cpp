#include "inputnames.h"

namespace runetally {

constexpr std::array<InputName, kFieldCount> InputNames{{
    {"level", Field::varLevel, "Character level"},
    {"int", Field::varInt, "Intelligence"},
    {"wis", Field::varWis, "Wisdom"},
    {"resist", Field::varResist, "Target's elemental resist"},
    {"light", Field::powerLight, "Power in Light"},
    {"earth", Field::powerEarth, "Power in Earth"},
    {"fire", Field::powerFire, "Power in Fire"},
    {"air", Field::powerAir, "Power in Air"},
    {"water", Field::powerWater, "Power in Water"},
    {"dark", Field::powerDark, "Power in Dark"},
}};

const InputName& NameOf(Field field) {
    return InputNames[static_cast<std::size_t>(field)];
}

std::optional<Field> FindInput(std::string_view name) {
    for (const InputName& input : InputNames) {
        if (input.name == name) {
            return input.field;
        }
    }
    return std::nullopt;
}

} // namespace runetally
