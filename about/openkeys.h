#pragma once

#include "sysinfoplatform.h"

#include <map>
#include <utility>

namespace runetally {

// What a backend keeps for each key it has open, under the launcher's 32-bit handles: never 0,
// never a predefined root, never one still in use.
template <class Opened> class OpenKeys {
public:
    RegKey add(Opened opened) {
        while (next_ == 0 || IsPredefinedRoot(next_) || keys_.count(next_) != 0) {
            ++next_;
        }
        keys_.emplace(next_, std::move(opened));
        return next_++;
    }

    // The key's entry, or null when the handle is not open.
    Opened* find(RegKey key) {
        const auto found = keys_.find(key);
        return found == keys_.end() ? nullptr : &found->second;
    }

    bool erase(RegKey key) { return keys_.erase(key) != 0; }

    const std::map<RegKey, Opened>& entries() const { return keys_; }

private:
    std::map<RegKey, Opened> keys_;
    RegKey next_ = 1;
};

} // namespace runetally
