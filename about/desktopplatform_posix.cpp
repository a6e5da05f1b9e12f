// The launcher's platform on desktops without a Windows registry.
#include "desktopplatform.h"
#include "openkeys.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>
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

// The hive is read-only: any right beyond reading is refused, as to a user without write rights.
constexpr std::uint32_t kKeyWow64Flags = 0x0300;
constexpr std::uint32_t kAllowedAccess = kKeyRead | kKeyWow64Flags;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// True for the tool's key, the one key that holds a value, and each key above it, which exist
// but hold none: "SOFTWARE", "SOFTWARE\Microsoft", ...
bool IsKeyOnToolPath(std::string_view name) {
    if (name.empty() || name.size() > kToolKey.size() ||
        !EqualsIgnoringCase(name, kToolKey.substr(0, name.size()))) {
        return false;
    }
    return name.size() == kToolKey.size() || kToolKey[name.size()] == '\\';
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// The full path of the first installed tool on the search path, or empty text.
std::string FindInstalledTool() {
    const char* searchPath = std::getenv("PATH");
    const std::string dirs = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    for (std::string_view tool : kTools) {
        std::size_t start = 0;
        while (start <= dirs.size()) {
            const std::size_t end = std::min(dirs.find(':', start), dirs.size());
            const std::string dir = dirs.substr(start, end - start);
            start = end + 1;
            if (dir.empty() || dir.front() != '/') {
                continue; // only absolute directories: the value must be a full path
            }
            std::string candidate = dir + "/" + std::string(tool);
            if (IsExecutableFile(candidate)) {
                return candidate;
            }
        }
    }
    return {};
}

// Runs in the forked child: only async-signal-safe calls from here on.
[[noreturn]] void ReportAndExit(int reportFd, int error) {
    [[maybe_unused]] const ssize_t written = write(reportFd, &error, sizeof error);
    _exit(127);
}

} // namespace

struct DesktopPlatform::Impl {
    struct OpenedKey {
        bool holdsTool = false;
        std::vector<unsigned char> toolPath; // the PATH value's bytes, terminating zero included
    };
    OpenKeys<OpenedKey> openKeys;
};

DesktopPlatform::DesktopPlatform(MessageSink showMessage)
    : impl_(std::make_unique<Impl>()), showMessage_(std::move(showMessage)) {}

DesktopPlatform::~DesktopPlatform() = default;

std::int32_t DesktopPlatform::OpenKey(RegKey root, const std::string& keyName,
                                      std::uint32_t /*options*/, std::uint32_t access,
                                      RegKey& key) {
    key = 0;
    if (root != kHkeyLocalMachine) {
        // Other roots are empty, and no key below the tool's key has keys of its own.
        const bool known = IsPredefinedRoot(root) || impl_->openKeys.find(root) != nullptr;
        return known ? kErrorFileNotFound : kErrorInvalidHandle;
    }
    if (!IsKeyOnToolPath(keyName)) {
        return kErrorFileNotFound;
    }
    // The tool is looked for now, on every lookup: nothing is kept from an earlier one. With
    // none installed the hive is empty.
    const std::string tool = FindInstalledTool();
    if (tool.empty()) {
        return kErrorFileNotFound;
    }
    if ((access & ~kAllowedAccess) != 0) {
        return kErrorAccessDenied;
    }
    Impl::OpenedKey opened;
    opened.holdsTool = keyName.size() == kToolKey.size();
    if (opened.holdsTool) {
        opened.toolPath.assign(tool.begin(), tool.end());
        opened.toolPath.push_back(0);
    }
    key = impl_->openKeys.add(std::move(opened));
    return kErrorSuccess;
}

std::int32_t DesktopPlatform::QueryValue(RegKey key, const std::string& valueName,
                                         std::uint32_t& type, unsigned char* data,
                                         std::uint32_t& dataSize) {
    const Impl::OpenedKey* const found = impl_->openKeys.find(key);
    if (found == nullptr) {
        return kErrorInvalidHandle;
    }
    const Impl::OpenedKey& opened = *found;
    if (!opened.holdsTool || !EqualsIgnoringCase(valueName, kToolValue)) {
        return kErrorFileNotFound;
    }
    const auto size = static_cast<std::uint32_t>(opened.toolPath.size());
    type = kRegSz;
    if (data == nullptr) {
        dataSize = size; // a query for the size alone
        return kErrorSuccess;
    }
    if (dataSize < size) {
        dataSize = size;
        return kErrorMoreData;
    }
    std::copy(opened.toolPath.begin(), opened.toolPath.end(), data);
    dataSize = size;
    return kErrorSuccess;
}

std::int32_t DesktopPlatform::CloseKey(RegKey key) {
    return impl_->openKeys.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

std::string DesktopPlatform::FindFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        throw std::system_error(errno, std::generic_category(), "cannot search for " + path);
    }
    if (!S_ISREG(info.st_mode)) {
        return {};
    }
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.front() == '.') {
        return {}; // a hidden file
    }
    return name;
}

void DesktopPlatform::StartProgram(const std::string& program, int /*windowStyle*/) {
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
