#include "spelltable.h"

#include <gtest/gtest.h>

using namespace runetally;

namespace {

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
