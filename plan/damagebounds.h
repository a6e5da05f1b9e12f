#pragma once

#include "damage.h"
#include "spelltable.h"

#include <array>

namespace runetally {

// What the calculation gives for a spell while one input takes any value from `lo` to `hi`, the
// others held: it succeeds for every value, with no damage below `least` or above `most`; it
// fails for every value; or either may happen.
//
// Where it succeeds, two more bounds compare it with the same steps done in exact arithmetic,
// a rational function of the input: the calculation's damage is never further from it than
// `error`, and the function's slope lies from `slopeLeast` to `slopeMost`. Both are infinite
// where they cannot be told.
struct DamageBounds {
    enum class Kind { Succeeds, Fails, Either };
    Kind kind = Kind::Either;
    double least = 0;
    double most = 0;
    double error = 0;
    double slopeLeast = 0;
    double slopeMost = 0;
    // Where the input enters the steps once, combined with a value that does not depend on it
    // (a resist dividing a power times a stat, a power multiplying a stat): that value, and each
    // step from there on, applied to the value before it with a constant or the input.
    struct Step {
        char op = 0; // '+', '*' or '/'
        bool input = false;
        double constant = 0;
        bool operator==(const Step&) const = default;
    };
    struct Chain {
        bool known = false;
        double head = 0;
        int count = 0;
        std::array<Step, 6> steps{};
    };
    Chain chain;
};

// Worked out from the calculation's own steps: each is one rounded operation, which never falls
// as an operand rises (or never rises, as the operand's sign and place require), so over a box
// of operands it takes its extremes at the corners. With lo equal to hi, least and most are the
// calculation's result itself. Without `precise`, error and slopes are left untold (infinite),
// which costs half as much.
DamageBounds BoundDamage(const SpellFormula& spell, const ParsedInputs& inputs, Field input,
                         double lo, double hi, bool precise = true);

// Whether spell b deals less than spell a wherever the input lies from lo to hi, shown from
// their bounds there and their damages at one value c inside: the exact functions differ at
// c by at least the damages' difference less the errors, and elsewhere by no less than that
// minus what the slope of their difference can take away between c and there.
bool AlwaysBelow(const DamageBounds& b, const DamageBounds& a, double damageB, double damageA,
                 double lo, double c, double hi);

// Whether spell b deals less than spell a wherever the input lies from lo to hi because both
// take the same steps from their values before the input enters, and those values lie far
// enough apart that rounding in the steps cannot bring them together: as two spells of one
// element do along its power, or two that the resist divides along the resist.
bool BelowAlongTheSameSteps(const DamageBounds& b, const DamageBounds& a, double lo, double hi);

} // namespace runetally
