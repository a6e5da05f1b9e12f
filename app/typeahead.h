#pragma once

#include <span>
#include <string>
#include <string_view>

namespace runetally {

// Typing in a list, as the desktop's list boxes take it: keys typed within a pause of each other
// build a prefix, and the selection goes to the first item, from the selected one on, that starts
// with it, in any case; one letter typed again and again goes on to the next item that starts
// with it.
class TypeAhead {
public:
    static constexpr double kPauseMs = 1000;

    // The item to select once `key`, one character, is typed at `nowMs`; -1 where none starts
    // with what has been typed, and the selection stays.
    int typed(std::string_view key, double nowMs, std::span<const std::string_view> items,
              int selected);

    // Whether a key at `nowMs` adds to what is being typed: a space then is part of a name.
    bool typing(double nowMs) const { return !typed_.empty() && nowMs - lastMs_ <= kPauseMs; }

private:
    std::string typed_;
    double lastMs_ = 0;
};

} // namespace runetally
