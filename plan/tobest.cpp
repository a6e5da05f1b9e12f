#include "tobest.h"

#include "damagebounds.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace runetally {
namespace {

constexpr std::size_t kSpells = SpellTable.size();
using SpellSet = std::uint64_t; // bit s: row s of SpellTable
static_assert(kSpells <= 64);

// The first spell of a set that holds one; the page's C++ library has no std::countr_zero.
int LowestSpell(SpellSet spells) {
    return __builtin_ctzll(spells);
}

constexpr SpellSet Bit(std::size_t spell) {
    return SpellSet{1} << spell;
}

// The damage, where the bounds say it succeeds; were they ever wrong, NaN proves nothing.
double NumberOrNaN(const DamageValue& damage) {
    const double* number = std::get_if<double>(&damage);
    return number ? *number : std::numeric_limits<double>::quiet_NaN();
}

// The spells that are best at these inputs (none when every spell fails), from the calculation.
SpellSet BestAt(const ParsedInputs& inputs, std::size_t& leader) {
    std::array<DamageValue, kSpells> damages;
    std::optional<double> top;
    for (std::size_t s = 0; s < kSpells; ++s) {
        damages[s] = EvaluateSpell(SpellTable[s], inputs);
        if (const double* d = std::get_if<double>(&damages[s]); d && (!top || *d > *top)) {
            top = *d;
        }
    }
    SpellSet best = 0;
    for (std::size_t s = kSpells; s-- > 0;) {
        if (const double* d = std::get_if<double>(&damages[s]); d && *d == *top) {
            best |= Bit(s);
            leader = s;
        }
    }
    return best;
}

// The least raise for each spell, found by halving the raises from 0 to kToBestLimit. A span of
// raises is passed over for a spell when the calculation's bounds over it show that the spell
// fails throughout, or that another spell always deals more; so only where the lead may change
// hands is it halved down to single raises, which the calculation answers itself. Raises are
// looked at in ascending order, so the first at which a spell is best is its least.
class LeastRaise {
public:
    LeastRaise(const ParsedInputs& inputs, Field input) : inputs_(inputs), input_(input) {}

    std::array<std::optional<int>, kSpellCount> run() {
        search(0, kToBestLimit, Bit(kSpells) - 1, 0);
        return first_;
    }

private:
    // The value the input has raised by n: far from 0 a raise of 1 can be lost to rounding.
    double valueAt(int n) const { return *inputs_[input_] + n; }

    void search(int a, int b, SpellSet candidates, std::size_t blocker) {
        candidates &= ~found_;
        if (candidates == 0) {
            return;
        }
        const double lo = valueAt(a);
        const double hi = valueAt(b);
        if (lo == hi) {
            // Every raise in the span gives the input the same value, and so the same damages.
            ParsedInputs at = inputs_;
            at.values[static_cast<std::size_t>(input_)] = lo;
            for (SpellSet best = BestAt(at, leader_) & ~found_; best != 0; best &= best - 1) {
                first_[static_cast<std::size_t>(LowestSpell(best))] = a;
                found_ |= best & -best;
            }
            return;
        }
        // The floor: the least damage of a spell that succeeds throughout the span. A candidate
        // whose most is below it is never best there.
        std::array<std::optional<DamageBounds>, kSpells> bounds;
        double floor = -std::numeric_limits<double>::infinity();
        std::size_t floorSpell = blocker;
        auto consider = [&](std::size_t s) {
            if (!bounds[s]) {
                bounds[s] = BoundDamage(SpellTable[s], inputs_, input_, lo, hi, false);
                if (bounds[s]->kind == DamageBounds::Kind::Succeeds && bounds[s]->least > floor) {
                    floor = bounds[s]->least;
                    floorSpell = s;
                }
            }
        };
        consider(blocker);
        consider(leader_);
        for (SpellSet rest = candidates; rest != 0; rest &= rest - 1) {
            consider(static_cast<std::size_t>(LowestSpell(rest)));
        }
        if (floor == -std::numeric_limits<double>::infinity()) {
            for (std::size_t s = 0; s < kSpells; ++s) {
                consider(s); // none of those looked at succeeds throughout: perhaps another does
            }
        }
        // A candidate that lies close below a spell that succeeds throughout, the floor's or the
        // last best, may still be told apart: by the same steps they take from their values
        // before the input enters, or by the exact functions' gap at the middle value less the
        // rounding and what the slopes can change.
        const double middle = valueAt(a + (b - a) / 2);
        std::array<std::optional<double>, kSpells> atMiddle;
        auto damageAt = [&](std::size_t s) {
            if (!atMiddle[s]) {
                ParsedInputs at = inputs_;
                at.values[static_cast<std::size_t>(input_)] = middle;
                atMiddle[s] = NumberOrNaN(EvaluateSpell(SpellTable[s], at));
            }
            return *atMiddle[s];
        };
        std::array<bool, kSpells> precise{};
        auto precisely = [&](std::size_t s) -> const DamageBounds& {
            if (!precise[s]) {
                bounds[s] = BoundDamage(SpellTable[s], inputs_, input_, lo, hi);
                precise[s] = true;
            }
            return *bounds[s];
        };
        auto below = [&](std::size_t s, std::size_t above) {
            const DamageBounds& low = *bounds[s];
            const DamageBounds& high = *bounds[above];
            return s != above && high.kind == DamageBounds::Kind::Succeeds &&
                   (low.most < high.least || BelowAlongTheSameSteps(low, high, lo, hi) ||
                    AlwaysBelow(precisely(s), precisely(above), damageAt(s), damageAt(above), lo,
                                middle, hi));
        };
        SpellSet kept = 0;
        for (SpellSet rest = candidates; rest != 0; rest &= rest - 1) {
            const auto s = static_cast<std::size_t>(LowestSpell(rest));
            const DamageBounds& bound = *bounds[s];
            const bool never = bound.kind == DamageBounds::Kind::Fails ||
                               (bound.kind == DamageBounds::Kind::Succeeds &&
                                (bound.most < floor || below(s, floorSpell) || below(s, leader_)));
            if (!never) {
                kept |= Bit(s);
            }
        }
        if (kept == 0) {
            return;
        }
        const int mid = a + (b - a) / 2;
        search(a, mid, kept, floorSpell);
        search(mid + 1, b, kept, floorSpell);
    }

    const ParsedInputs& inputs_;
    Field input_;
    std::array<std::optional<int>, kSpellCount> first_{};
    SpellSet found_ = 0;
    std::size_t leader_ = 0; // best at the last raise looked at
};

// Doubles as unsigned integers in the order of their values, -0 just before +0. Copied byte for
// byte: the page's C++ library has no std::bit_cast.
std::uint64_t Ordered(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

double FromOrdered(std::uint64_t key) {
    const std::uint64_t bits = key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The least double at which a deals at least as much as b, both succeeding, by halving the
// doubles in order and passing over the halves that the bounds show hold none. Lines that keep
// within their rounding of each other over a long range (far out, where a bonus is lost in the
// sum) cannot be told apart there by bounds: after kMostLooks halves the search halves the rest
// between where it stands and the end instead, for some double past which a reaches b.
class CrossingSearch {
public:
    CrossingSearch(const SpellFormula& a, const SpellFormula& b, const ParsedInputs& inputs,
                   Field input)
        : a_(a), b_(b), inputs_(inputs), input_(input) {}

    std::optional<double> run(std::uint64_t first, std::uint64_t last) {
        if (const auto found = find(first, last); found || !frontier_) {
            return found;
        }
        // Nothing below the frontier reaches: from there to the end, a reached double that
        // follows one that is not.
        std::uint64_t lo = *frontier_;
        if (reached(FromOrdered(lo))) {
            return FromOrdered(lo);
        }
        if (!reached(FromOrdered(last))) {
            return std::nullopt;
        }
        std::uint64_t hi = last;
        while (hi - lo > 1) {
            const std::uint64_t middle = lo + (hi - lo) / 2;
            (reached(FromOrdered(middle)) ? hi : lo) = middle;
        }
        return FromOrdered(hi);
    }

private:
    static constexpr int kMostLooks = 500;

    std::optional<double> find(std::uint64_t first, std::uint64_t last) {
        if (frontier_) {
            return std::nullopt;
        }
        if (++looks_ > kMostLooks) {
            frontier_ = first; // the halves before it hold no crossing
            return std::nullopt;
        }
        const double lo = FromOrdered(first);
        const double hi = FromOrdered(last);
        if (lo == hi) {
            return reached(lo) ? std::optional(lo) : std::nullopt;
        }
        const DamageBounds x = BoundDamage(a_, inputs_, input_, lo, hi, false);
        const DamageBounds y = BoundDamage(b_, inputs_, input_, lo, hi, false);
        using enum DamageBounds::Kind;
        if (x.kind == Fails || y.kind == Fails) {
            return std::nullopt;
        }
        const std::uint64_t middle = first + (last - first) / 2;
        if (x.kind == Succeeds && y.kind == Succeeds) {
            if (x.least >= y.most) {
                return lo;
            }
            const double c = FromOrdered(middle);
            if (x.most < y.least || BelowAlongTheSameSteps(x, y, lo, hi) ||
                AlwaysBelow(BoundDamage(a_, inputs_, input_, lo, hi),
                            BoundDamage(b_, inputs_, input_, lo, hi), damage(a_, c), damage(b_, c),
                            lo, c, hi)) {
                return std::nullopt;
            }
        }
        if (const auto found = find(first, middle)) {
            return found;
        }
        return find(middle + 1, last);
    }

    double damage(const SpellFormula& spell, double value) const {
        ParsedInputs at = inputs_;
        at.values[static_cast<std::size_t>(input_)] = value;
        return NumberOrNaN(EvaluateSpell(spell, at));
    }
    bool reached(double value) const {
        ParsedInputs at = inputs_;
        at.values[static_cast<std::size_t>(input_)] = value;
        const DamageValue x = EvaluateSpell(a_, at);
        const DamageValue y = EvaluateSpell(b_, at);
        const double* dx = std::get_if<double>(&x);
        const double* dy = std::get_if<double>(&y);
        return dx && dy && *dx >= *dy;
    }

    const SpellFormula& a_;
    const SpellFormula& b_;
    const ParsedInputs& inputs_;
    Field input_;
    int looks_ = 0;
    std::optional<std::uint64_t> frontier_;
};

} // namespace

std::array<std::optional<int>, kSpellCount> ToBest(const ParsedInputs& inputs, Field input) {
    if (!inputs[input]) {
        // Raising a box that holds no number changes nothing: only a raise of 0 is worth a look.
        std::array<std::optional<int>, kSpellCount> first{};
        std::size_t leader = 0;
        for (SpellSet best = BestAt(inputs, leader); best != 0; best &= best - 1) {
            first[static_cast<std::size_t>(LowestSpell(best))] = 0;
        }
        return first;
    }
    return LeastRaise(inputs, input).run();
}

std::optional<double> Crossing(const SpellFormula& a, const SpellFormula& b,
                               const ParsedInputs& inputs, Field input, double from, double to) {
    if (!(from <= to)) {
        return std::nullopt;
    }
    return CrossingSearch(a, b, inputs, input).run(Ordered(from), Ordered(to));
}

std::vector<LeadChange> LeadChanges(const SpellFormula& a, const SpellFormula& b,
                                    const ParsedInputs& inputs, Field input, double from, double to,
                                    int most) {
    ParsedInputs there = inputs;
    auto damageAt = [&](const SpellFormula& spell, double value) -> std::optional<double> {
        there.values[static_cast<std::size_t>(input)] = value;
        const DamageValue damage = EvaluateSpell(spell, there);
        const double* number = std::get_if<double>(&damage);
        return number ? std::optional(*number) : std::nullopt;
    };
    std::vector<LeadChange> changes;
    while (static_cast<int>(changes.size()) < most && from <= to) {
        const std::optional<double> x = damageAt(a, from);
        const std::optional<double> y = damageAt(b, from);
        if (!x || !y) {
            break;
        }
        const SpellFormula& ahead = *x >= *y ? a : b;
        const SpellFormula& behind = *x >= *y ? b : a;
        // Level at the start is no pass: look from just after it.
        const double start = *x == *y ? std::nextafter(from, to) : from;
        const std::optional<double> crossing = Crossing(behind, ahead, inputs, input, start, to);
        if (!crossing) {
            break;
        }
        changes.push_back({*crossing, damageAt(behind, *crossing).value_or(0), &behind, &ahead});
        from = std::nextafter(*crossing, to);
    }
    return changes;
}

} // namespace runetally
