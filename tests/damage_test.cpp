#include "damage.h"
#include "spelltable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

using namespace runetally;

namespace {

// The window's start texts.
SpellInputs startInputs(std::string spell) {
    SpellInputs in;
    in.spellName = std::move(spell);
    in.varLevel = "99";
    for (Field f :
         {Field::varInt, Field::varWis, Field::varResist, Field::powerLight, Field::powerEarth,
          Field::powerFire, Field::powerAir, Field::powerWater, Field::powerDark}) {
        in.text(f) = "100";
    }
    return in;
}

// The spell with some boxes changed from their start texts.
SpellInputs with(std::string spell, std::map<Field, std::string> changes) {
    SpellInputs in = startInputs(std::move(spell));
    for (auto& [field, text] : changes) {
        in.text(field) = text;
    }
    return in;
}

// What a result amounts to, for comparing and for messages: the text shown or the failure.
std::string describe(const DamageResult& result) {
    if (const auto* failure = std::get_if<DamageFailure>(&result)) {
        return FailureText(*failure);
    }
    const auto& outcome = std::get<DamageOutcome>(result);
    return outcome.kind == DamageOutcome::Kind::ShowText ? "shows " + outcome.text : "no change";
}

std::string shown(const SpellInputs& in, char separator = '.') {
    const DamageResult result = CalculateDamage(in, separator);
    const auto* outcome = std::get_if<DamageOutcome>(&result);
    if (!outcome || outcome->kind != DamageOutcome::Kind::ShowText) {
        ADD_FAILURE() << in.spellName << ": " << describe(result);
        return {};
    }
    return outcome->text;
}

TEST(CalculateDamage, EverySpellAtTheStartInputs) {
    // Worked out independently, operation by operation, and rounded to 15 digits.
    const std::map<std::string, std::string> expected = {
        {"Avalanche", "157.5"},
        {"Blizzard", "110.5"},
        {"Boulders", "131.111111111111"},
        {"Call Lightning", "45.6666666666667"},
        {"Chain Lightning", "51.1428571428571"},
        {"Drain Life", "30.3333333333333"},
        {"Dust Devil", "18.7619047619048"},
        {"Earthquake", "72.0681818181818"},
        {"Electric Shield", "10"},
        {"Fire Bolt", "60.25"},
        {"Fire Dart", "19.3478260869565"},
        {"Fire Shield", "12"},
        {"Fireball", "70.1428571428571"},
        {"Firestorm", "169.5"},
        {"Flame Wave", "72.25"},
        {"Flaming Arrow", "35.2631578947368"},
        {"Flare", "105.111111111111"},
        {"Freeze", "37.25"},
        {"Glacier", "110"},
        {"Greater Drain", "48.1666666666667"},
        {"Hurricane", "169.285714285714"},
        {"Ice Ball", "93.0909090909091"},
        {"Ice Bolt", "57.6666666666667"},
        {"Ice Shard", "29"},
        {"Ice Shield", "26"},
        {"Ice Storm", "128.111111111111"},
        {"Inferno", "139.5"},
        {"Lesser Drain", "19.6315789473684"},
        {"Lightning Bolt", "30.5555555555556"},
        {"Mana Burst", "54.6923076923077"},
        {"Meteor", "218.285714285714"},
        {"Poison", "4.76190476190476"},
        {"Poison Arrow", "32.8823529411765"},
        {"Rain of Fire", "123"},
        {"Shatter", "34.8823529411765"},
        {"Soulsteal", "75.5555555555556"},
        {"Stone Shard", "20.5454545454545"},
        {"Tornado", "151.5"},
        {"Tsunami", "140.285714285714"},
        {"Turn Undead", "16.6284403669725"},
        {"Vortex of Air", "64.3333333333333"},
    };
    ASSERT_EQ(expected.size(), SpellTable.size());
    for (const auto& row : SpellTable) {
        const std::string name(row.name);
        ASSERT_TRUE(expected.count(name)) << name;
        EXPECT_EQ(shown(startInputs(name)), expected.at(name)) << name;
    }
}

TEST(CalculateDamage, SelectionAndNames) {
    SpellInputs empty; // every box empty too
    EXPECT_EQ(describe(CalculateDamage(empty)), "shows No Spell Selected");
    for (const char* name : {"avalanche", " Avalanche", "Avalanche ", "Nothing"}) {
        EXPECT_EQ(describe(CalculateDamage(startInputs(name))), "no change") << name;
    }
}

struct ShownCase {
    const char* spell;
    std::map<Field, std::string> changes;
    const char* text;
    char separator = '.';
};

TEST(CalculateDamage, ShowsTheResultAsComputed) {
    const ShownCase cases[] = {
        {"Avalanche", {{Field::varResist, "-100"}}, "-157.5"},
        {"Avalanche", {{Field::varResist, "0.5"}}, "31500"},
        {"Avalanche", {{Field::varResist, "0,5"}}, "31500", ','},
        {"Fireball", {{Field::varInt, "101"}}, "70,2142857142857", ','},
        // Only the fields of the formula are read: garbage elsewhere is harmless.
        {"Mana Burst",
         {{Field::powerAir, "x"}, {Field::varResist, "0"}, {Field::varLevel, ""}},
         "54.6923076923077"},
        {"Electric Shield", {{Field::varResist, "0"}, {Field::varInt, "?"}}, "10"},
        {"Fire Shield", {{Field::powerAir, "0"}}, "12"},
        {"Avalanche", {{Field::varLevel, ""}, {Field::powerFire, "?"}}, "157.5"},
        // The bonus is added before the power multiplies and the resist divides.
        {"Blizzard",
         {{Field::varInt, "0"}, {Field::powerWater, "2"}, {Field::varResist, "4"}},
         "49"},
        // Poison has no bonus at all.
        {"Poison", {{Field::varInt, "0"}}, "0"},
        {"Poison", {{Field::varInt, "-0"}}, "0"},
        // Turn Undead multiplies by the stat again and divides by twice the level plus 20.
        {"Turn Undead", {{Field::varWis, "32"}, {Field::varLevel, "0"}}, "51.2"},
        {"Turn Undead", {{Field::varLevel, "-9.5"}}, "3625"},
        // (intelligence part + bonus) + wisdom part, in that order: the bonus rounds away
        // against 2^53 before the wisdom part takes 2^53 off again.
        {"Call Lightning",
         {{Field::varInt, "270215977642229760"}, {Field::varWis, "-270215977642229760"}},
         "40"},
        // An underflowing result is shown as computed, not faulted.
        {"Poison",
         {{Field::varInt, "2.1e-300"}, {Field::powerWater, "1e-10"}, {Field::varResist, "1"}},
         "9.99999999999948E-312"},
        {"Poison", {{Field::varInt, "1e-300"}, {Field::powerWater, "1e-300"}}, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(with(c.spell, c.changes), c.separator), c.text) << c.spell;
    }
}

struct FailureCase {
    const char* spell;
    std::map<Field, std::string> changes;
    DamageFailure failure;
};

TEST(CalculateDamage, ReportsTheFirstFailingStep) {
    const FailureCase cases[] = {
        {"Avalanche", {{Field::varInt, "abc"}}, BadInput{Field::varInt}},
        {"Avalanche", {{Field::varInt, "abc"}, {Field::varResist, "0"}}, BadInput{Field::varInt}},
        {"Avalanche",
         {{Field::powerWater, "abc"}, {Field::varResist, "0"}},
         BadInput{Field::powerWater}},
        {"Avalanche", {{Field::varInt, "x"}, {Field::varResist, "y"}}, BadInput{Field::varInt}},
        {"Avalanche", {{Field::varResist, " 1 0"}}, BadInput{Field::varResist}},
        {"Call Lightning", {{Field::varWis, ""}, {Field::powerAir, "?"}}, BadInput{Field::varWis}},
        {"Call Lightning",
         {{Field::powerAir, "?"}, {Field::varResist, "?"}},
         BadInput{Field::powerAir}},
        {"Boulders", {{Field::varWis, "1,5"}}, BadInput{Field::varWis}},
        {"Electric Shield", {{Field::powerAir, ""}}, BadInput{Field::powerAir}},
        {"Turn Undead", {{Field::varLevel, ""}}, BadInput{Field::varLevel}},
        {"Turn Undead",
         {{Field::powerLight, "L"}, {Field::varLevel, ""}},
         BadInput{Field::powerLight}},
        // division by zero, and zero by zero
        {"Avalanche", {{Field::varResist, "0"}}, ArithmeticFault::DivideByZero},
        {"Avalanche", {{Field::varResist, "-0"}}, ArithmeticFault::DivideByZero},
        {"Avalanche",
         {{Field::powerWater, "0"}, {Field::varResist, "0"}},
         ArithmeticFault::InvalidOperation},
        {"Vortex of Air", {{Field::varResist, "0"}}, ArithmeticFault::DivideByZero},
        {"Electric Shield", {{Field::powerAir, "0"}}, ArithmeticFault::DivideByZero},
        {"Fire Shield", {{Field::varResist, "0e5"}}, ArithmeticFault::DivideByZero},
        {"Turn Undead", {{Field::varLevel, "-10"}}, ArithmeticFault::DivideByZero},
        {"Turn Undead",
         {{Field::varLevel, "-10"}, {Field::powerLight, "0"}},
         ArithmeticFault::InvalidOperation},
        // a fault in an earlier step comes before a later field is read
        {"Turn Undead",
         {{Field::varResist, "0"}, {Field::varLevel, ""}},
         ArithmeticFault::DivideByZero},
        // overflow, step by step
        {"Meteor", {{Field::varInt, "1e308"}}, ArithmeticFault::Overflow},
        {"Avalanche",
         {{Field::varInt, "8e300"}, {Field::powerWater, "1e10"}, {Field::varResist, "1e10"}},
         ArithmeticFault::Overflow}, // the power multiplies before the resist divides
        {"Avalanche", {{Field::varResist, "1e-307"}}, ArithmeticFault::Overflow},
        {"Electric Shield", {{Field::powerAir, "1e-306"}}, ArithmeticFault::Overflow},
        // times 15 is its own step, which leaves the range where times 0.75 would not
        {"Flame Wave",
         {{Field::varInt, "1.5e308"}, {Field::powerFire, "1"}, {Field::varResist, "1"}},
         ArithmeticFault::Overflow},
        {"Turn Undead", {{Field::varWis, "1e200"}}, ArithmeticFault::Overflow},
    };
    for (const auto& c : cases) {
        const DamageResult result = CalculateDamage(with(c.spell, c.changes));
        EXPECT_EQ(result, DamageResult(c.failure)) << c.spell << ": " << describe(result);
    }
}

// Parsing all ten boxes first must change nothing: a box the spell does not read, or reads only
// after a failed step, is never reported, and the first bad box in step order is.
TEST(EvaluateSpell, FromParsedInputsFailsOnlyWhereTheTextsWould) {
    const std::tuple<const char*, std::map<Field, std::string>, DamageValue> cases[] = {
        {"Electric Shield", {{Field::varResist, "0"}, {Field::varInt, "?"}}, 10.0},
        {"Avalanche", {{Field::varLevel, ""}, {Field::powerFire, "?"}}, 157.5},
        {"Turn Undead",
         {{Field::varResist, "0"}, {Field::varLevel, ""}},
         ArithmeticFault::DivideByZero},
        {"Avalanche",
         {{Field::powerWater, "abc"}, {Field::varResist, "0"}},
         BadInput{Field::powerWater}},
        {"Avalanche", {{Field::varInt, "x"}, {Field::varResist, "y"}}, BadInput{Field::varInt}},
        {"Turn Undead",
         {{Field::powerLight, "L"}, {Field::varLevel, ""}},
         BadInput{Field::powerLight}},
    };
    for (const auto& [spell, changes, expected] : cases) {
        const SpellInputs in = with(spell, changes);
        EXPECT_EQ(EvaluateSpell(*FindSpell(spell), ParseInputs(in)), expected) << spell;
    }
}

TEST(CalculateDamage, AfterResetEveryResistSpellFailsAndTheOthersShow) {
    SpellInputs zeros;
    for (int i = 0; i < kFieldCount; ++i) {
        zeros.text(static_cast<Field>(i)) = "0";
    }
    for (const auto& row : SpellTable) {
        zeros.spellName = std::string(row.name);
        if (row.name == "Mana Burst") {
            EXPECT_EQ(shown(zeros), "47");
            continue;
        }
        // A zero power makes every running value zero; only the fixed values are not.
        const bool fixed = row.kind == FormulaKind::FixedOverInput;
        EXPECT_EQ(
            describe(CalculateDamage(zeros)),
            FailureText(fixed ? ArithmeticFault::DivideByZero : ArithmeticFault::InvalidOperation))
            << row.name;
    }
}

} // namespace
