#include "damage.h"
#include "spelltable.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

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

// Every box holds a number of its own, and level, intelligence and wisdom differ, so that each
// column of each row shows in its result: another element, stat, divisor, bonus, scale or fixed
// value changes the row's text. (A bonus of 0 where a row has none cannot show: adding 0 changes
// no number.)
SpellInputs distinctInputs() {
    SpellInputs in;
    in.varLevel = "37";
    in.varInt = "131";
    in.varWis = "89";
    in.varResist = "70";
    in.powerLight = "110";
    in.powerEarth = "120";
    in.powerFire = "140";
    in.powerAir = "150";
    in.powerWater = "160";
    in.powerDark = "170";
    return in;
}

std::string Damage(std::string_view spell, SpellInputs in) {
    in.spellName = std::string(spell);
    return shown(in);
}

TEST(CalculateDamage, EverySpellSeesEveryColumnOfItsRow) {
    // Worked out apart from the product, operation by operation, and rounded to 15 digits. In the
    // order of the spell list, so the names also check the table's: all 41, each once, in order.
    const std::pair<std::string_view, std::string_view> expected[] = {
        {"Avalanche", "368.857142857143"},
        {"Blizzard", "261.428571428571"},
        {"Boulders", "222.666666666667"},
        {"Call Lightning", "99.2857142857143"},
        {"Chain Lightning", "111.122448979592"},
        {"Drain Life", "76.1761904761905"},
        {"Dust Devil", "41.2244897959184"},
        {"Earthquake", "122.25974025974"},
        {"Electric Shield", "6.66666666666667"},
        {"Fire Bolt", "124.375"},
        {"Fire Dart", "41.3913043478261"},
        {"Fire Shield", "17.1428571428571"},
        {"Fireball", "144.714285714286"},
        {"Firestorm", "346.75"},
        {"Flame Wave", "148.375"},
        {"Flaming Arrow", "73.7894736842105"},
        {"Flare", "217.111111111111"},
        {"Freeze", "89.5714285714286"},
        {"Glacier", "258.514285714286"},
        {"Greater Drain", "120.113095238095"},
        {"Hurricane", "365.816326530612"},
        {"Ice Ball", "219.220779220779"},
        {"Ice Bolt", "136.533333333333"},
        {"Ice Shard", "69.8285714285714"},
        {"Ice Shield", "37.1428571428571"},
        {"Ice Storm", "300.698412698413"},
        {"Inferno", "286.75"},
        {"Lesser Drain", "49.6578947368421"},
        {"Lightning Bolt", "66.6666666666667"},
        {"Mana Burst", "57.0769230769231"},
        {"Meteor", "445.428571428571"},
        {"Poison", "14.2585034013605"},
        {"Poison Arrow", "79.327731092437"},
        {"Rain of Fire", "252.2"},
        {"Shatter", "58.6890756302521"},
        {"Soulsteal", "187.674603174603"},
        {"Stone Shard", "34.3636363636364"},
        {"Tornado", "327.321428571429"},
        {"Tsunami", "330.775510204082"},
        {"Turn Undead", "52.9113791793313"},
        {"Vortex of Air", "139.642857142857"},
    };
    ASSERT_EQ(std::size(expected), SpellTable.size());
    for (std::size_t i = 0; i < SpellTable.size(); ++i) {
        const auto& [name, text] = expected[i];
        EXPECT_EQ(SpellTable[i].name, name) << "row " << i + 1;
        EXPECT_EQ(Damage(name, distinctInputs()), text) << name;
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
        // Its double lies just below 72.25; fifteen digits round it back up.
        {"Flame Wave", {}, "72.25"},
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
