#include "spellinputs.h"

namespace runetally {

std::string_view FieldName(Field field) {
    switch (field) {
    case Field::varLevel:
        return "varLevel";
    case Field::varInt:
        return "varInt";
    case Field::varWis:
        return "varWis";
    case Field::varResist:
        return "varResist";
    case Field::powerLight:
        return "powerLight";
    case Field::powerEarth:
        return "powerEarth";
    case Field::powerFire:
        return "powerFire";
    case Field::powerAir:
        return "powerAir";
    case Field::powerWater:
        return "powerWater";
    case Field::powerDark:
        return "powerDark";
    }
    return {};
}

std::string_view StartText(Field field) {
    return field == Field::varLevel ? "99" : "100";
}

Field PowerField(Element element) {
    switch (element) {
    case Element::Light:
        return Field::powerLight;
    case Element::Earth:
        return Field::powerEarth;
    case Element::Fire:
        return Field::powerFire;
    case Element::Air:
        return Field::powerAir;
    case Element::Water:
        return Field::powerWater;
    case Element::Dark:
        return Field::powerDark;
    }
    return Field::powerLight;
}

const std::string& SpellInputs::text(Field field) const {
    switch (field) {
    case Field::varLevel:
        return varLevel;
    case Field::varInt:
        return varInt;
    case Field::varWis:
        return varWis;
    case Field::varResist:
        return varResist;
    case Field::powerLight:
        return powerLight;
    case Field::powerEarth:
        return powerEarth;
    case Field::powerFire:
        return powerFire;
    case Field::powerAir:
        return powerAir;
    case Field::powerWater:
        return powerWater;
    case Field::powerDark:
        return powerDark;
    }
    return varLevel;
}

std::string& SpellInputs::text(Field field) {
    return const_cast<std::string&>(static_cast<const SpellInputs&>(*this).text(field));
}

} // namespace runetally
