// The planner window's whole update, from a change in the main window to everything it shows:
// ranking, gains, points to best, the chart and where its lines cross. Each case is a planner
// session (tests/plannerscript.h) played once; what is timed is the planner following the main
// window again in the state the session left, as after a keystroke.
//
//   planner_bench [benchmark options]
//   planner_bench --slowest DIR...   plays every session in the folders (a fuzz corpus) and
//                                    lists the ten slowest steps, in processor time
//   planner_bench --random N SEED    follows N random characters made of extreme numbers, each
//                                    with a random input charted, and lists the five slowest
#include "plannerscript.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace runetally;

namespace {

struct Case {
    const char* name;
    const char* script;
};

// Ordinary characters first, then the slowest inputs found by hand and by plannercommands_fuzz.
const Case kCases[] = {
    {"start", ""},
    {"start_wisdom", "99\n100\n100\n100\n100\n100\n100\n100\n100\n100\n1\ni0"},
    {"start_resist", "99\n100\n100\n100\n100\n100\n100\n100\n100\n100\n1\ni2"},
    {"worked_compared", "99\n280\n400\n100\n100\n100\n100\n100\n100\n100\n7\ni0\nr3\n"
                        "c99|350|100|100|100|100|100|100|100|100"},
    {"parallel_lines", "99\n100\n100\n100\n100\n100\n100\n100\n300\n800\n1"},
    {"tiny_powers_int", "99\n-10\n0.5\n4.9e-324\n1e-310\n1e-300\n0\n123456789\n1e-300\n100\n1"},
    {"tiny_powers_wis", "99\n-10\n0.5\n4.9e-324\n1e-310\n1e-300\n0\n123456789\n1e-300\n100\n1\ni0"},
    {"whole_dark", "0\n344\n99\n4.9e-324\n1e150\n1e-10\n1e-10\n1e17\n-1e6\n4.9e-324\n1"},
    {"huge_percent",
     "1e-291\n1e-158\n1e-57\n-1e-138\n1e210\n1e-283\n1e-273\n1e94\n1e167\n1e277\n1"},
    {"stat_2p53_resist",
     "-1e-10\n9007199254740992\n140\n470\n-114\n-1000\n1e17\n-99\n1e17\n-1e200\n1\ni2"},
    {"least_water",
     "-4.9e-324\n1\n-579\n-4.9e-324\n123456789\n-1e150\n99\n-1e17\n-4.9e-324\n-1e6\n1\ni1"},
    {"int_far_out", "99\n1e99\n104"},
    {"fuzz_slowest",
     "1034561\n-9780.5\n4.9e-324\n1e-310\n1e-300\n0\n1234561\n-978e300\n10099\n280\n40\n"
     "r3\ns0\nz2\nr31"},
    {"random_slowest",
     "1e17\n1e20\n1.7e308\n-1e-150\n-1000\n280\n-13\n123456789\n-13\n-1e200\n1\ni1"},
};

// B's file, removed when the bench ends.
std::string ComparedPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / "planner_bench_b.rtchar").string();
    static const int removed = std::atexit([] { std::remove(path.c_str()); });
    static_cast<void>(removed);
    return path;
}

void BM_PlannerFollow(benchmark::State& state, const Case& c) {
    PlannerScript script(ComparedPath());
    script.play(c.script, [] {});
    for (auto _ : state) {
        script.commands.follow(script.inputs());
        benchmark::DoNotOptimize(script.view.form.chart);
    }
}

// Plays each file three times and lists the slowest single steps, each by the least processor
// time of its three plays, so that other work on the machine does not count. A step is timed
// from when the planner is handed it, after the script has written any file it compares with.
int Slowest(const std::vector<std::string>& folders) {
    struct Step {
        double millis;
        std::string file;
        int step; // 0: the planner first following the main window
    };
    std::vector<Step> steps;
    for (const std::string& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            std::vector<double> least;
            for (int play = 0; play < 3; ++play) {
                PlannerScript script(ComparedPath());
                std::size_t step = 0;
                std::clock_t last = std::clock();
                script.ready = [&] { last = std::clock(); };
                script.play(text, [&] {
                    const double millis = 1000.0 * double(std::clock() - last) / CLOCKS_PER_SEC;
                    if (step == least.size()) {
                        least.push_back(millis);
                    }
                    least[step] = std::min(least[step], millis);
                    ++step;
                    last = std::clock();
                });
            }
            for (std::size_t step = 0; step < least.size(); ++step) {
                steps.push_back({least[step], entry.path().string(), static_cast<int>(step)});
            }
        }
    }
    std::sort(steps.begin(), steps.end(),
              [](const Step& a, const Step& b) { return a.millis > b.millis; });
    std::printf("%zu steps\n", steps.size());
    for (std::size_t i = 0; i < steps.size() && i < 10; ++i) {
        std::printf("%9.3f ms  %s, step %d\n", steps[i].millis, steps[i].file.c_str(),
                    steps[i].step);
    }
    return 0;
}

// A character's boxes from numbers at the edges of the doubles and of the formulas, signs at
// random, and the input charted; the slowest written as sessions, ready for kCases.
int Random(int count, unsigned seed) {
    static const char* const kTexts[] = {
        "0",      "4.9e-324", "1e-310", "1e-300",    "1e-150", "1e-10",
        "0.5",    "1",        "7",      "13",        "99",     "100",
        "280",    "1000",     "1e6",    "123456789", "1e15",   "9007199254740993",
        "1e17",   "1e20",     "1e100",  "1e150",     "1e200",  "1e300",
        "1.7e308"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kTexts) + 3);
    std::uniform_int_distribution<int> small(-600, 600);
    struct Slow {
        double millis;
        std::string script;
    };
    std::vector<Slow> slowest;
    for (int n = 0; n < count; ++n) {
        std::string script;
        for (int f = 0; f < kFieldCount; ++f) {
            const std::size_t k = pick(random);
            const std::string text =
                k < std::size(kTexts) ? kTexts[k] : std::to_string(small(random));
            script += (random() % 2 && text.front() != '-' ? "-" : "") + text + "\n";
        }
        script += "1\ni" + std::to_string(random() % kFieldCount) + "\n";
        PlannerScript played(ComparedPath());
        played.play(script, [] {});
        double least = 0;
        for (int again = 0; again < 3; ++again) { // the least of three: other work does not count
            const std::clock_t start = std::clock();
            played.commands.follow(played.inputs());
            const double millis = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
            least = again == 0 ? millis : std::min(least, millis);
        }
        slowest.push_back({least, script});
        std::sort(slowest.begin(), slowest.end(),
                  [](const Slow& a, const Slow& b) { return a.millis > b.millis; });
        slowest.resize(std::min<std::size_t>(slowest.size(), 5));
    }
    for (const Slow& slow : slowest) {
        std::string escaped;
        for (char c : slow.script) {
            escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
        }
        std::printf("%9.3f ms  \"%s\"\n", slow.millis, escaped.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--slowest") {
        return Slowest({argv + 2, argv + argc});
    }
    if (argc == 4 && std::string(argv[1]) == "--random") {
        return Random(std::atoi(argv[2]), static_cast<unsigned>(std::atoi(argv[3])));
    }
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& s) {
            BM_PlannerFollow(s, c);
        })->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
