#include "typeahead.h"

#include <algorithm>

namespace runetally {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return Lower(a) == Lower(b); });
}

} // namespace

int TypeAhead::typed(std::string_view key, double nowMs, std::span<const std::string_view> items,
                     int selected) {
    if (typed_.empty() || nowMs - lastMs_ > kPauseMs) {
        typed_.clear();
    }
    typed_ += key;
    lastMs_ = nowMs;
    const int count = static_cast<int>(items.size());
    // One letter, once or over and over, moves on from the selected item; a longer prefix may
    // still be the selected item's.
    const bool oneLetter = std::all_of(typed_.begin(), typed_.end(),
                                       [&](char c) { return Lower(c) == Lower(typed_.front()); }) &&
                           key.size() == 1;
    const std::string_view prefix =
        oneLetter ? std::string_view(typed_).substr(0, 1) : std::string_view(typed_);
    const int from = selected < 0 ? 0 : selected + (oneLetter ? 1 : 0);
    for (int step = 0; step < count; ++step) {
        const int at = ((from + step) % count + count) % count;
        if (StartsWith(items[static_cast<std::size_t>(at)], prefix)) {
            return at;
        }
    }
    return -1;
}

} // namespace runetally
