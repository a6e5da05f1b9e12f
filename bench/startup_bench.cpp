// Starts programs under a private Xvfb, alternating them, and measures for each run the time
// from its start until its first top-level window is mapped, and its peak resident memory then.
//
//   startup_bench [--runs N] "NAME=PROGRAM [ARGUMENT...]" ...
//
// The first program is the one measured, the second the floor it is compared with.

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
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
    std::string path;
    std::vector<double> millis;
    std::vector<double> peakKiB;
};

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> args, envp;
    for (auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    for (auto& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    args.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// VmHWM: the largest resident set the process has had so far.
double peakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atof(line.c_str() + 6);
        }
    }
    return -1;
}

// Waits for a MapNotify of a window whose parent is the root: a top-level window is shown.
bool waitForTopLevelMap(Display* display, Window root, Clock::time_point deadline) {
    const int fd = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root &&
                !event.xmap.override_redirect) {
                return true;
            }
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 5);
    }
    return false;
}

bool measure(Display* display, const std::string& displayName, Program& program) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True); // drop anything from earlier runs
    const auto start = Clock::now();
    std::vector<std::string> argv;
    for (std::size_t from = 0, to = 0; from < program.path.size(); from = to + 1) {
        to = std::min(program.path.find(' ', from), program.path.size());
        argv.push_back(program.path.substr(from, to - from));
    }
    const pid_t pid = spawn(argv, {"DISPLAY=" + displayName, "QT_QPA_PLATFORM=xcb"});
    if (pid < 0) {
        return false;
    }
    const bool mapped = waitForTopLevelMap(display, root, start + std::chrono::seconds(20));
    const auto end = Clock::now();
    const double peak = peakResidentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XSelectInput(display, root, NoEventMask);
    if (!mapped) {
        return false;
    }
    program.millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    program.peakKiB.push_back(peak);
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void report(const Program& p) {
    const auto [tMin, tMax] = std::minmax_element(p.millis.begin(), p.millis.end());
    const auto [mMin, mMax] = std::minmax_element(p.peakKiB.begin(), p.peakKiB.end());
    std::printf("%-12s time to first window: median %7.1f ms (min %.1f, max %.1f); "
                "peak RSS: median %7.0f KiB (min %.0f, max %.0f); %zu runs\n",
                p.name.c_str(), median(p.millis), *tMin, *tMax, median(p.peakKiB), *mMin, *mMax,
                p.millis.size());
}

} // namespace

int main(int argc, char** argv) {
    int runs = 10;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (const auto eq = arg.find('='); eq != std::string::npos) {
            programs.push_back({arg.substr(0, eq), arg.substr(eq + 1), {}, {}});
        } else {
            std::fprintf(stderr, "usage: startup_bench [--runs N] NAME=PROGRAM NAME=PROGRAM...\n");
            return 2;
        }
    }
    if (programs.size() < 2) {
        std::fprintf(stderr, "startup_bench: give the program and its floor\n");
        return 2;
    }

    const std::string displayName = ":" + std::to_string(90 + getpid() % 100);
    const pid_t xvfb = spawn(
        {"/usr/bin/Xvfb", displayName, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {});
    Display* display = nullptr;
    for (int attempt = 0; attempt < 100 && !display; ++attempt) {
        usleep(50'000);
        display = XOpenDisplay(displayName.c_str());
    }
    if (!display) {
        std::fprintf(stderr, "startup_bench: Xvfb did not start on %s\n", displayName.c_str());
        kill(xvfb, SIGTERM);
        return 1;
    }

    int status = 0;
    // One unmeasured run each warms the file and font caches for all alike.
    for (int run = -1; run < runs && status == 0; ++run) {
        for (auto& program : programs) {
            Program scratch{program.name, program.path, {}, {}};
            if (!measure(display, displayName, run < 0 ? scratch : program)) {
                std::fprintf(stderr, "startup_bench: %s showed no window\n", program.path.c_str());
                status = 1;
                break;
            }
        }
    }
    XCloseDisplay(display);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    if (status != 0) {
        return status;
    }
    for (const auto& p : programs) {
        report(p);
    }
    const Program& a = programs[0];
    const Program& floor = programs[1];
    std::printf("ratio %s / %s: time %.3f, peak RSS %.3f\n", a.name.c_str(), floor.name.c_str(),
                median(a.millis) / median(floor.millis), median(a.peakKiB) / median(floor.peakKiB));
    return 0;
}
