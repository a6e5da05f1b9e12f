#pragma once

#include <string>
#include <string_view>

namespace runetally {

// The ten input boxes of the main window, named as the boxes are.
enum class Field {
    varLevel,
    varInt,
    varWis,
    varResist,
    powerLight,
    powerEarth,
    powerFire,
    powerAir,
    powerWater,
    powerDark,
};

inline constexpr int kFieldCount = 10;

// The field's name as the window's box is called ("varInt", "powerWater", ...).
std::string_view FieldName(Field field);

// The text each box shows when the window opens: "99" for the level, "100" for the rest.
std::string_view StartText(Field field);

enum class Element { Light, Earth, Fire, Air, Water, Dark };

// The power box that holds the character's power in the element.
Field PowerField(Element element);

// What the player typed, exactly as it stands: untrimmed and unconverted.
struct SpellInputs {
    std::string spellName; // empty when no spell is selected
    std::string varLevel;
    std::string varInt;
    std::string varWis;
    std::string varResist;
    std::string powerLight;
    std::string powerEarth;
    std::string powerFire;
    std::string powerAir;
    std::string powerWater;
    std::string powerDark;

    const std::string& text(Field field) const;
    std::string& text(Field field);

    bool operator==(const SpellInputs&) const = default;
};

} // namespace runetally
