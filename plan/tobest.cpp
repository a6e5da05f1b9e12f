#include "tobest.h"

#include "damagemodel.h"
#include "gains.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace runetally {
namespace {

constexpr std::size_t kSpells = SpellTable.size();

// One input raised by whole steps; damages come from the calculation.
class Ladder {
public:
    Ladder(const ParsedInputs& inputs, Field input) : inputs_(inputs), input_(input) {}

    DamageValue damage(std::size_t spell, int n) const {
        return EvaluateSpell(SpellTable[spell], Raised(inputs_, input_, n));
    }
    bool succeeds(std::size_t spell, int n) const {
        return std::holds_alternative<double>(damage(spell, n));
    }
    bool best(std::size_t spell, int n) const {
        return IsBest(SpellTable[spell], Raised(inputs_, input_, n));
    }
    // The value the input has at step n; n where a model's root in the input's value lies.
    double valueAt(double n) const { return base() + n; }
    double stepAt(double value) const { return value - base(); }

private:
    double base() const { return *inputs_[input_]; }

    const ParsedInputs& inputs_;
    Field input_;
};

// Whole steps within reach on either side of a point where a sign may change: the model's
// point is rounded, and the change may fall to either neighbour.
void AddAround(double n, std::set<int>& steps) {
    const double whole = std::floor(n);
    for (double k = whole - 1; k <= whole + 2; ++k) {
        if (k >= 0 && k <= kToBestLimit) {
            steps.insert(static_cast<int>(k));
        }
    }
}

// Where some spell starts or stops succeeding: at its poles, and where a step overflows. A
// spell succeeds on an interval of the input less its poles, so between two looks that
// disagree there is one change, found by halving.
std::set<int> FailureChanges(const Ladder& ladder,
                             const std::array<std::optional<DamageModel>, kSpells>& models) {
    std::set<int> changes;
    for (std::size_t s = 0; s < kSpells; ++s) {
        if (!models[s]) {
            continue;
        }
        std::set<int> looks{0, kToBestLimit};
        for (double pole : RootsIn(models[s]->denominator, ladder.valueAt(-2),
                                   ladder.valueAt(kToBestLimit + 2))) {
            AddAround(ladder.stepAt(pole), looks);
        }
        changes.insert(looks.begin(), looks.end());
        for (auto it = looks.begin(); std::next(it) != looks.end(); ++it) {
            int lo = *it, hi = *std::next(it);
            const bool atLo = ladder.succeeds(s, lo);
            if (atLo == ladder.succeeds(s, hi)) {
                continue;
            }
            while (hi - lo > 1) {
                const int mid = lo + (hi - lo) / 2;
                (ladder.succeeds(s, mid) == atLo ? lo : hi) = mid;
            }
            changes.insert({lo, hi});
        }
    }
    return changes;
}

// The spells that are best at step n (none when every spell fails), from the calculation.
std::vector<std::size_t> BestAt(const Ladder& ladder, int n, std::size_t& leader) {
    std::array<DamageValue, kSpells> damages;
    std::optional<double> top;
    for (std::size_t s = 0; s < kSpells; ++s) {
        damages[s] = ladder.damage(s, n);
        if (const double* d = std::get_if<double>(&damages[s]); d && (!top || *d > *top)) {
            top = *d;
        }
    }
    std::vector<std::size_t> best;
    for (std::size_t s = 0; s < kSpells; ++s) {
        if (const double* d = std::get_if<double>(&damages[s]); d && *d == *top) {
            best.push_back(s);
        }
    }
    if (!best.empty()) {
        leader = best.front();
    }
    return best;
}

} // namespace

bool IsBest(const SpellFormula& spell, const ParsedInputs& inputs) {
    const DamageValue own = EvaluateSpell(spell, inputs);
    const double* damage = std::get_if<double>(&own);
    if (!damage) {
        return false;
    }
    for (const SpellFormula& other : SpellTable) {
        const DamageValue theirs = EvaluateSpell(other, inputs);
        if (const double* d = std::get_if<double>(&theirs); d && *d > *damage) {
            return false;
        }
    }
    return true;
}

// Walks the upper envelope of the damages along the input: from each step looked at, the next
// look is where the leader's lead may end, the nearest sign change between it and any other
// spell or the nearest change in which spells succeed. Every spell best at a look is best
// there at the latest; between looks the leader stays ahead, so none becomes best there.
std::array<std::optional<int>, kSpellCount> ToBest(const ParsedInputs& inputs, Field input) {
    std::array<std::optional<int>, kSpellCount> first{};
    if (!inputs[input]) {
        // Raising a box that holds no number changes nothing: only step 0 is worth a look.
        std::size_t leader = 0;
        for (std::size_t s : BestAt(Ladder(inputs, input), 0, leader)) {
            first[s] = 0;
        }
        return first;
    }
    const Ladder ladder(inputs, input);
    std::array<std::optional<DamageModel>, kSpells> models;
    for (std::size_t s = 0; s < kSpells; ++s) {
        models[s] = ModelDamage(SpellTable[s], inputs, input);
    }
    const std::set<int> failureChanges = FailureChanges(ladder, models);
    const double end = ladder.valueAt(kToBestLimit + 2);

    std::set<int> looks{0};
    std::size_t leader = 0;
    while (!looks.empty()) {
        const int n = *looks.begin();
        looks.erase(looks.begin());
        const std::vector<std::size_t> best = BestAt(ladder, n, leader);
        for (std::size_t s : best) {
            if (!first[s]) {
                first[s] = n;
            }
        }
        if (!looks.empty()) {
            continue; // the next look is already known to come before any change
        }
        double next = kToBestLimit + 1.0;
        if (const auto change = failureChanges.upper_bound(n); change != failureChanges.end()) {
            next = *change;
        }
        if (!best.empty() && models[leader]) {
            for (std::size_t t = 0; t < kSpells; ++t) {
                if (t == leader || !models[t]) {
                    continue;
                }
                for (double u : SignChanges(*models[leader], *models[t], ladder.valueAt(n), end)) {
                    if (ladder.stepAt(u) >= n) {
                        next = std::min(next, ladder.stepAt(u));
                        break;
                    }
                }
            }
        }
        if (next <= kToBestLimit) {
            AddAround(std::max(next, n + 0.0), looks);
            looks.erase(looks.begin(), looks.upper_bound(n));
            if (looks.empty()) {
                looks.insert(n + 1);
            }
        }
    }
    // Rounding can make a spell best a step before the model said: the step before must not be.
    for (std::size_t s = 0; s < kSpells; ++s) {
        while (first[s] && *first[s] > 0 && ladder.best(s, *first[s] - 1)) {
            first[s] = *first[s] - 1;
        }
    }
    return first;
}

std::optional<double> Crossing(const SpellFormula& a, const SpellFormula& b,
                               const ParsedInputs& inputs, Field input, double from, double to) {
    if (!(from <= to)) {
        return std::nullopt;
    }
    auto reached = [&](double u) {
        ParsedInputs at = inputs;
        at.values[static_cast<std::size_t>(input)] = u;
        const DamageValue x = EvaluateSpell(a, at);
        const DamageValue y = EvaluateSpell(b, at);
        const double* dx = std::get_if<double>(&x);
        const double* dy = std::get_if<double>(&y);
        return dx && dy && *dx >= *dy;
    };
    // Where the answer can change, and a little either side of it, in order.
    std::vector<double> looks{from};
    ParsedInputs any = inputs;
    any.values[static_cast<std::size_t>(input)] = from;
    const auto ma = ModelDamage(a, any, input);
    const auto mb = ModelDamage(b, any, input);
    if (ma && mb) {
        for (double u : SignChanges(*ma, *mb, from, to)) {
            const double margin = std::abs(u) * 1e-9 + 1e-300;
            for (double v : {u - margin, u, u + margin}) {
                if (v > from && v < to) {
                    looks.push_back(v);
                }
            }
        }
    }
    looks.push_back(to);
    std::sort(looks.begin(), looks.end());
    if (reached(from)) {
        return from;
    }
    for (std::size_t i = 1; i < looks.size(); ++i) {
        if (!reached(looks[i])) {
            continue;
        }
        // Halve down to neighbouring doubles: lo never reaches, hi always does.
        double lo = looks[i - 1], hi = looks[i];
        for (int step = 0; step < 2000; ++step) {
            const double mid = lo + (hi - lo) / 2;
            if (mid <= lo || mid >= hi) {
                break;
            }
            (reached(mid) ? hi : lo) = mid;
        }
        return hi;
    }
    return std::nullopt;
}

} // namespace runetally
