// Runs command-line programs one after the other, alternating them, and measures the wall time
// of each run from its start until it has exited and its output has been read to the end.
//
//   table_bench [--runs N] "NAME=PROGRAM [ARGUMENT...]" ...
//
// The first program is the one measured, the second the floor it is compared with.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
    std::string name;
    std::vector<std::string> argv;
    std::vector<double> millis;
};

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    for (std::size_t from = 0, to = 0; from < line.size(); from = to + 1) {
        to = std::min(line.find(' ', from), line.size());
        if (to > from) {
            words.push_back(line.substr(from, to - from));
        }
    }
    return words;
}

// Output goes through a pipe and is read as a shell pipeline would, so that writing it counts.
bool Measure(Program& program, bool record) {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    std::vector<char*> args;
    for (auto& a : program.argv) {
        args.push_back(a.data());
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    const auto start = Clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::size_t bytes = 0;
    char buffer[65536];
    for (ssize_t n; spawned == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        bytes += static_cast<std::size_t>(n);
    }
    close(fds[0]);
    int status = -1;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) {
        return false;
    }
    const auto end = Clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || bytes == 0) {
        return false;
    }
    if (record) {
        program.millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return true;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 20;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (const auto eq = arg.find('='); eq != std::string::npos && eq + 1 < arg.size()) {
            programs.push_back({arg.substr(0, eq), Words(arg.substr(eq + 1)), {}});
        } else {
            std::fprintf(stderr, "usage: table_bench [--runs N] NAME=PROGRAM NAME=PROGRAM...\n");
            return 2;
        }
    }
    if (programs.size() < 2) {
        std::fprintf(stderr, "table_bench: give the program and its floor\n");
        return 2;
    }
    // One unmeasured run each loads the programs and their libraries into the page cache.
    for (int run = -1; run < runs; ++run) {
        for (auto& program : programs) {
            if (!Measure(program, run >= 0)) {
                std::fprintf(stderr, "table_bench: %s did not run to a successful end\n",
                             program.argv[0].c_str());
                return 1;
            }
        }
    }
    for (const auto& p : programs) {
        const auto [lo, hi] = std::minmax_element(p.millis.begin(), p.millis.end());
        std::printf("%-12s wall time: median %7.2f ms (min %.2f, max %.2f); %zu runs\n",
                    p.name.c_str(), Median(p.millis), *lo, *hi, p.millis.size());
    }
    std::printf("ratio %s / %s: %.3f\n", programs[0].name.c_str(), programs[1].name.c_str(),
                Median(programs[0].millis) / Median(programs[1].millis));
    return 0;
}
