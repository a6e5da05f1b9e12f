// The launcher on desktops without a Windows registry: the first installed of the common
// desktops' tools.
#include "desktoplauncher.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace runetally {

namespace {

// System-information tools of the common desktops, best first.
constexpr std::array<std::string_view, 5> kTools = {"hardinfo", "hardinfo2", "kinfocenter", "cpu-x",
                                                    "gnome-system-monitor"};

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void ReportAndExit(int reportFd, int error) {
    [[maybe_unused]] const ssize_t written = write(reportFd, &error, sizeof error);
    _exit(127);
}

} // namespace

std::optional<std::string> DesktopLauncher::findTool() {
    const char* searchPath = std::getenv("PATH");
    const std::string dirs = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    for (std::string_view tool : kTools) {
        std::size_t start = 0;
        while (start <= dirs.size()) {
            const std::size_t end = std::min(dirs.find(':', start), dirs.size());
            const std::string dir = dirs.substr(start, end - start);
            start = end + 1;
            if (dir.empty() || dir.front() != '/') {
                continue; // only absolute directories: the tool is started by its full path
            }
            std::string candidate = dir + "/" + std::string(tool);
            if (IsExecutableFile(candidate)) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

void DesktopLauncher::start(const std::string& program) {
    // The tool opens its own normal window; the path is the program, never a command line.
    std::vector<char> path(program.begin(), program.end());
    path.push_back('\0');
    char* const argv[] = {path.data(), nullptr};

    // The tool's standard streams are /dev/null, never ours: a tool holding a pipe we write to
    // would keep its reader waiting until the tool ends, long after we have. Opened before the
    // fork so that the child only duplicates it; all our other descriptors are close-on-exec.
    const int nullFd = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nullFd < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot start " + program);
    }
    // The write end closes on a successful exec; a failed one sends its errno through it.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        close(nullFd);
        throw std::system_error(error, std::generic_category(), "cannot start " + program);
    }
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(nullFd);
        close(report[0]);
        close(report[1]);
        throw std::system_error(error, std::generic_category(), "cannot start " + program);
    }
    if (child == 0) {
        // A child of its own session that leaves at once, so the tool belongs to no one here
        // and the child is reaped below: no zombie is left behind.
        close(report[0]);
        // Started without standard streams, we may hold the report pipe where they belong.
        int reportFd = report[1];
        if (reportFd < 3 && (reportFd = fcntl(report[1], F_DUPFD_CLOEXEC, 3)) < 0) {
            ReportAndExit(report[1], errno);
        }
        for (int stream = 0; stream < 3; ++stream) {
            // dup2 onto itself would leave the close-on-exec flag set.
            if (nullFd == stream ? fcntl(stream, F_SETFD, 0) < 0 : dup2(nullFd, stream) < 0) {
                ReportAndExit(reportFd, errno);
            }
        }
        setsid();
        const pid_t tool = fork();
        if (tool < 0) {
            ReportAndExit(reportFd, errno);
        }
        if (tool > 0) {
            _exit(0);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        sigaction(SIGPIPE, &defaults, nullptr);
        sigaction(SIGCHLD, &defaults, nullptr);
        execv(path.data(), argv);
        ReportAndExit(reportFd, errno);
    }

    close(nullFd);
    close(report[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    const int readError = errno;
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        throw std::system_error(error, std::generic_category(), "cannot start " + program);
    }
    if (got != 0) {
        throw std::system_error(got < 0 ? readError : EIO, std::generic_category(),
                                "cannot tell whether " + program + " started");
    }
}

} // namespace runetally
