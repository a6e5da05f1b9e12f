#include "spellnames.h"

#include <algorithm>
#include <numeric>

namespace runetally {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Levenshtein's distance, letters compared in any case, one row at a time.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = Lower(a[i - 1]) == Lower(b[j - 1]);
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

const SpellFormula* FindSpellAnyCase(std::string_view name) {
    for (const SpellFormula& spell : SpellTable) {
        if (spell.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), spell.name.begin(),
                       [](char x, char y) { return Lower(x) == Lower(y); })) {
            return &spell;
        }
    }
    return nullptr;
}

std::vector<std::string_view> NearestSpellNames(std::string_view name) {
    const std::size_t most = std::max<std::size_t>(2, name.size() / 3);
    std::vector<std::string_view> nearest;
    std::size_t least = most + 1;
    for (const SpellFormula& spell : SpellTable) {
        const std::size_t distance = Distance(name, spell.name);
        if (distance < least) {
            least = distance;
            nearest.clear();
        }
        if (distance == least) {
            nearest.push_back(spell.name);
        }
    }
    return nearest;
}

std::string UnknownSpellMessage(std::string_view name, std::string (*quote)(std::string_view)) {
    std::string message = "no spell named " + quote(name);
    const std::vector<std::string_view> nearest = NearestSpellNames(name);
    for (std::size_t i = 0; i < nearest.size(); ++i) {
        message += i == 0 ? "; did you mean " : i + 1 == nearest.size() ? " or " : ", ";
        message += "'" + std::string(nearest[i]) + "'";
    }
    return message + (nearest.empty() ? "" : "?");
}

} // namespace runetally
