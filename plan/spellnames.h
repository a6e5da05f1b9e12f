#pragma once

#include "spelltable.h"

#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// The spell whose name matches `name` in any case of its ASCII letters ("meteor", "METEOR").
const SpellFormula* FindSpellAnyCase(std::string_view name);

// The spells whose names lie nearest `name`, in any case, by the fewest letters inserted, deleted
// or replaced; all of them when several lie equally near, in the table's order. None when even
// the nearest needs more than a third of the name's letters changed (and more than two): such a
// guess would not help.
std::vector<std::string_view> NearestSpellNames(std::string_view name);

// The one-line answer to a spell name that is not known: "no spell named 'Meteorr'; did you mean
// 'Meteor'?", the name quoted by `quote`.
std::string UnknownSpellMessage(std::string_view name, std::string (*quote)(std::string_view));

} // namespace runetally
