#pragma once

#include "spellinputs.h"

#include <array>
#include <optional>
#include <string_view>

namespace runetally {

// An input box as a player names it on the command line and in the planner.
struct InputName {
    std::string_view name; // "level", "int", "wis", "resist", "light", ..., "dark"
    Field field;
    std::string_view description; // "Intelligence", "Power in Water", ...
};

// The ten inputs in the order of Field.
extern const std::array<InputName, kFieldCount> InputNames;

const InputName& NameOf(Field field);

// The input called `name` exactly ("int", not "Int" or "varInt").
std::optional<Field> FindInput(std::string_view name);

} // namespace runetally
