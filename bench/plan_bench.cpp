#include "gains.h"
#include "ranking.h"
#include "sweep.h"
#include "tobest.h"

#include <benchmark/benchmark.h>

using namespace runetally;

namespace {

// What the planner window redoes after each change of a box: the ranking, every spell's gain
// for each of the ten inputs, how far each spell is from best along one input, and a chart of
// two spells over 200 values of that input.
void BM_PlannerUpdate(benchmark::State& state) {
    const SpellInputs texts{{},    "99",  "100", "100", "100", "100",
                            "100", "100", "100", "100", "100"};
    const std::vector<const SpellFormula*> charted{FindSpell("Meteor"), FindSpell("Tsunami")};
    for (auto _ : state) {
        const ParsedInputs inputs = ParseInputs(texts);
        benchmark::DoNotOptimize(RankSpells(inputs));
        for (int input = 0; input < kFieldCount; ++input) {
            benchmark::DoNotOptimize(InputGains(inputs, static_cast<Field>(input), 1));
        }
        benchmark::DoNotOptimize(ToBest(inputs, Field::varInt));
        auto values = std::get<std::vector<double>>(SweepValues(0, 199, 1));
        benchmark::DoNotOptimize(SweepInput(inputs, Field::varInt, std::move(values), charted));
    }
}
BENCHMARK(BM_PlannerUpdate)->Unit(benchmark::kMicrosecond);

// The one part whose work depends on the inputs: where spells cross along the input.
void BM_ToBest(benchmark::State& state) {
    const ParsedInputs inputs =
        ParseInputs({{}, "99", "100", "100", "100", "100", "100", "100", "100", "100", "100"});
    const auto input = static_cast<Field>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ToBest(inputs, input));
    }
}
BENCHMARK(BM_ToBest)->DenseRange(0, kFieldCount - 1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
