#include "spelltable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace runetally;

namespace {

TEST(SpellTable, HoldsTheFortyOneSpellsInListOrder) {
    const char* names[] = {
        "Avalanche",     "Blizzard",    "Boulders",     "Call Lightning",  "Chain Lightning",
        "Drain Life",    "Dust Devil",  "Earthquake",   "Electric Shield", "Fire Bolt",
        "Fire Dart",     "Fire Shield", "Fireball",     "Firestorm",       "Flame Wave",
        "Flaming Arrow", "Flare",       "Freeze",       "Glacier",         "Greater Drain",
        "Hurricane",     "Ice Ball",    "Ice Bolt",     "Ice Shard",       "Ice Shield",
        "Ice Storm",     "Inferno",     "Lesser Drain", "Lightning Bolt",  "Mana Burst",
        "Meteor",        "Poison",      "Poison Arrow", "Rain of Fire",    "Shatter",
        "Soulsteal",     "Stone Shard", "Tornado",      "Tsunami",         "Turn Undead",
        "Vortex of Air",
    };
    ASSERT_EQ(std::size(names), SpellTable.size());
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < SpellTable.size(); ++i) {
        EXPECT_EQ(SpellTable[i].name, names[i]) << "row " << i + 1;
        EXPECT_TRUE(seen.insert(SpellTable[i].name).second) << "duplicate " << names[i];
    }
}

TEST(FindSpell, MatchesWholeNamesCharacterForCharacter) {
    for (const auto& row : SpellTable) {
        EXPECT_EQ(FindSpell(row.name), &row);
    }
    for (const char* near : {"avalanche", "AVALANCHE", " Avalanche", "Avalanche ", "Avalanch",
                             "Avalanches", "Ice  Storm", ""}) {
        EXPECT_EQ(FindSpell(near), nullptr) << '"' << near << '"';
    }
    EXPECT_EQ(FindSpell(std::string_view("Fireball\0", 9)), nullptr);
}

} // namespace
