#include "typeahead.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

namespace runetally {
namespace {

constexpr std::array<std::string_view, 7> kItems{
    "Earthquake", "Electric Shield", "Fireball", "Mana Burst", "Meteor", "Meteor Storm", "Tornado"};

struct Key {
    std::string_view key;
    double atMs;
    int selects; // the item selected after it; -1: the selection stays
};

// Each case starts with nothing selected; the list follows each key's choice.
TEST(TypeAhead, BuildsAPrefixWithinAPauseAndCyclesOnOneLetter) {
    const std::vector<std::pair<const char*, std::vector<Key>>> cases{
        {"a prefix goes to the first item that starts with it",
         {{"M", 0, 3}, {"e", 200, 4}, {"t", 400, 4}}},
        {"in any case, to its end",
         {{"m", 0, 3},
          {"E", 100, 4},
          {"t", 200, 4},
          {"e", 300, 4},
          {"o", 400, 4},
          {"r", 500, 4},
          {" ", 600, 5}}},
        {"one letter again and again moves on, and wraps",
         {{"e", 0, 0}, {"e", 300, 1}, {"E", 600, 0}, {"m", 3000, 3}, {"m", 3100, 4}}},
        {"after a pause a key starts a new prefix", {{"m", 0, 3}, {"e", 1500, 0}, {"t", 3000, 6}}},
        {"a prefix that no item starts with leaves the selection",
         {{"x", 0, -1}, {"t", 100, -1}, {"t", 2000, 6}, {"o", 2100, 6}, {"x", 2200, -1}}},
    };
    for (const auto& [name, keys] : cases) {
        TypeAhead typeAhead;
        int selected = -1;
        double last = 0;
        for (const Key& key : keys) {
            // A space adds to a name only while one is being typed.
            EXPECT_EQ(typeAhead.typing(key.atMs),
                      &key != &keys.front() && key.atMs - last <= TypeAhead::kPauseMs)
                << name << ", key " << key.key;
            last = key.atMs;
            const int to = typeAhead.typed(key.key, key.atMs, kItems, selected);
            EXPECT_EQ(to, key.selects) << name << ", key " << key.key << " at " << key.atMs;
            selected = to < 0 ? selected : to;
        }
    }
}

} // namespace
} // namespace runetally
