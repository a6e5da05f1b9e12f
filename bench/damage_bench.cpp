#include "damage.h"
#include "spelltable.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <string>
#include <vector>

using namespace runetally;

namespace {

std::vector<SpellInputs> everySpellAtStart() {
    std::vector<SpellInputs> all;
    for (const auto& row : SpellTable) {
        all.push_back({std::string(row.name), "99", "100", "100", "100", "100", "100", "100", "100",
                       "100", "100"});
    }
    return all;
}

// The damage of all 41 spells, as the window computes one per press.
void BM_CalculateDamage(benchmark::State& state) {
    const auto all = everySpellAtStart();
    for (auto _ : state) {
        for (const auto& in : all) {
            benchmark::DoNotOptimize(CalculateDamage(in));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(all.size()));
}
BENCHMARK(BM_CalculateDamage);

// The same 41 spells from inputs parsed once, as a planner evaluates many spells; the numbers
// are not written.
void BM_EvaluateSpell(benchmark::State& state) {
    const ParsedInputs parsed = ParseInputs(everySpellAtStart().front());
    for (auto _ : state) {
        for (const auto& row : SpellTable) {
            benchmark::DoNotOptimize(EvaluateSpell(row, parsed));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(SpellTable.size()));
}
BENCHMARK(BM_EvaluateSpell);

double parse(const std::string& text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

// The floor: each spell's conversions and arithmetic with bare std::from_chars, one
// std::to_chars, and no grammar, fault checks or name lookup.
void BM_Floor(benchmark::State& state) {
    const auto all = everySpellAtStart();
    char buffer[32];
    for (auto _ : state) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            const SpellInputs& in = all[i];
            const SpellFormula& row = SpellTable[i];
            const double bonus = row.bonus.value_or(0);
            const auto powerOverResist = [&](double running) {
                return parse(in.text(PowerField(row.element))) * running / parse(in.varResist);
            };
            double result = 0;
            switch (row.kind) {
            case FormulaKind::OneStat:
                result = powerOverResist(parse(in.text(row.stat)) / row.divisor + bonus);
                result = row.tailScale ? result * 15 / 20 : result;
                break;
            case FormulaKind::TwoStats:
                result = powerOverResist(parse(in.varInt) / row.divisor + bonus +
                                         parse(in.varWis) / row.divisor);
                break;
            case FormulaKind::FixedOverInput:
                result = row.fixedValue / parse(in.text(row.overInput));
                break;
            case FormulaKind::StatOnly:
                result = parse(in.text(row.stat)) / row.divisor + bonus;
                break;
            case FormulaKind::LevelScaled: {
                const double stat = parse(in.text(row.stat));
                const double level = parse(in.varLevel);
                result = stat * powerOverResist(stat / row.divisor + bonus) / (level + level + 20);
                break;
            }
            }
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, result,
                                           std::chars_format::general, 15);
            benchmark::DoNotOptimize(std::string(buffer, end.ptr));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(all.size()));
}
BENCHMARK(BM_Floor);

} // namespace

BENCHMARK_MAIN();
