#include "desktoplauncher.h"
#include "fakesysinfolauncher.h"
#include "registryvalue.h"
#include "sysinfo.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace runetally;

namespace {

const std::string kUnavailable = "System Information Is Unavailable At This Time";

struct ReadCase {
    const char* name;
    std::uint32_t type;
    std::string data; // as the registry reports it
    std::string text;
};

class RegistryValueTextTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RegistryValueTextTest, ReadsTheBytesAsText) {
    EXPECT_EQ(RegistryValueText(GetParam().type, GetParam().data), GetParam().text);
}

using namespace std::string_literals;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, RegistryValueTextTest, ::testing::Values(
    //       name                         type  data                           text
    ReadCase{"TerminatingZeroDropped",    1,    "C:\\x\0"s,                    "C:\\x"},
    ReadCase{"NoZeroKeepsAll",            1,    "C:\\x",                       "C:\\x"},
    ReadCase{"OnlyOneOfTwoZerosDropped",  1,    "ab\0\0"s,                     "ab\0"s},
    ReadCase{"OnlyTheZero",               1,    "\0"s,                         ""},
    ReadCase{"Dword261",                  4,    "\x05\x01\0\0"s,               "261"},
    ReadCase{"DwordAllBytes",             4,    "\x78\x56\x34\x12",            "305419896"},
    ReadCase{"DwordIsUnsigned",           4,    "\xFF\xFF\xFF\xFF",            "4294967295"},
    ReadCase{"DwordInnerZerosKept",       4,    "\0\0\x01\0"s,                 "65536"},
    ReadCase{"DwordOfNoDigits",           4,    "\0"s,                         "&h"},
    ReadCase{"Dword64Bits",               4,    std::string(8, '\xFF'),        "18446744073709551615"},
    ReadCase{"DwordBeyond64Bits",         4,    std::string(8, '\0') + "\x01", "&h010000000000000000"},
    ReadCase{"DwordLeadingZerosDontCount",4,    "\x01" + std::string(9, '\0'), "1"},
    ReadCase{"ExpandSzIsOther",           2,    "C:\\x\0"s,                    ""},
    ReadCase{"BinaryIsOther",             3,    "a\0"s,                        ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(RegistryValueText, NoDataIsAnError) {
    for (const std::uint32_t type : {1u, 3u, 4u}) {
        EXPECT_THROW(RegistryValueText(type, {}), RegistryValueError) << type;
    }
}

enum Fault { NoFault, FindThrows, StartThrows };

struct LaunchCase {
    const char* name;
    std::optional<std::string> tool; // what the launcher finds
    Fault fault;
    std::vector<std::string> started;
    bool message;
};

class StartSysInfoTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoTest, StartsTheToolFoundOrShowsTheOneMessage) {
    const LaunchCase& c = GetParam();
    fakes::FakeSysInfoLauncher launcher;
    launcher.tool = c.tool;
    launcher.findThrows = c.fault == FindThrows;
    launcher.startThrows = c.fault == StartThrows;
    std::vector<std::string> messages;
    // noexcept: a fault that escaped would end the test program
    StartSysInfo(launcher, [&](std::string_view text) { messages.emplace_back(text); });
    EXPECT_EQ(launcher.started, c.started);
    EXPECT_EQ(messages, c.message ? std::vector{kUnavailable} : std::vector<std::string>{});
}

const std::string kTool = "C:\\Tools\\MSINFO32.EXE";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Outcomes, StartSysInfoTest, ::testing::Values(
    //         name           found         fault        started   message
    LaunchCase{"Started",     kTool,        NoFault,     {kTool},  false},
    LaunchCase{"CannotStart", kTool,        StartThrows, {kTool},  true},
    LaunchCase{"NoneFound",   std::nullopt, NoFault,     {},       true},
    LaunchCase{"SearchFails", kTool,        FindThrows,  {},       true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(StartSysInfo, AMessageThatCannotBeShownGoesNoFurther) {
    fakes::FakeSysInfoLauncher launcher;
    int tries = 0;
    StartSysInfo(launcher, [&](std::string_view) {
        ++tries;
        throw std::runtime_error("no display");
    });
    EXPECT_EQ(tries, 1);
}

} // namespace

#ifndef _WIN32
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "sysinfo test XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no temporary directory");
        }
        path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

void WriteFile(const fs::path& path, const std::string& text, bool executable) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
}

// Sets PATH for one test and puts the old one back.
class SearchPath {
public:
    explicit SearchPath(const fs::path& dir)
        : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        setenv("PATH", dir.c_str(), 1);
    }
    ~SearchPath() { setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

TEST(DesktopLauncher, FindsTheFirstInstalledToolOnThePath) {
    struct Case {
        std::vector<std::pair<std::string, bool>> files; // under the temp dir; executable
        std::string expected;                            // empty: none found
    };
    const std::vector<Case> cases = {
        {{{"a/other", true}}, ""},
        {{{"a/hardinfo", true}}, "a/hardinfo"},
        {{{"a/hardinfo2", true}, {"a/gnome-system-monitor", true}, {"b/hardinfo", true}},
         "b/hardinfo"},
        {{{"a/hardinfo2", true}, {"b/hardinfo2", true}}, "a/hardinfo2"},
        {{{"b/gnome-system-monitor", true}}, "b/gnome-system-monitor"},
        {{{"a/hardinfo", false}, {"a/hardinfo2/x", true}}, ""}, // not executable; a directory
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const auto& [file, executable] : c.files) {
            WriteFile(dir.path / file, "", executable);
        }
        const SearchPath path((dir.path / "a").string() + ":" + (dir.path / "b").string());
        EXPECT_EQ(DesktopLauncher().findTool(),
                  c.expected.empty() ? std::nullopt
                                     : std::optional((dir.path / c.expected).string()));
    }
}

bool NoChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

TEST(DesktopLauncherStart, FailsForWhatCannotRunAndLeavesNoChild) {
    TempDir dir;
    WriteFile(dir.path / "plain", "#!/bin/sh\n", false);
    WriteFile(dir.path / "bad interpreter", "#!/nonexistent/sh\n", true);
    for (const std::string program : {"", "missing", "plain", "bad interpreter", "."}) {
        EXPECT_THROW(DesktopLauncher().start(program.empty() ? "" : (dir.path / program).string()),
                     std::exception)
            << program;
    }
    EXPECT_TRUE(NoChildLeft());
}

// Starts a script that waits for the file "release" beside it, then writes its argument
// count, its name and whether it runs in a session other than ours into "marker" there.
std::vector<std::string> RunReportingScript(const fs::path& script,
                                            const std::function<void()>& start) {
    const fs::path dir = script.parent_path();
    const std::string ourSession = std::to_string(getsid(0));
    WriteFile(
        script,
        "#!/bin/sh\ncd \"$(/usr/bin/dirname \"$0\")\"\n"
        "i=0; while [ ! -e release ] && [ $i -lt 200 ]; do /bin/sleep 0.05; i=$((i+1)); done\n"
        "read -r stat < /proc/$$/stat; set -- $# \"$0\" ${stat##*) }\n"
        "session=own; [ $6 = " +
            ourSession +
            " ] && session=shared\n"
            "printf '%s\\n' $1 \"$2\" \"$session session\" > tmp; /bin/mv tmp marker\n",
        true);
    start();
    EXPECT_FALSE(fs::exists(dir / "marker")) << "returns at once, not waiting for the tool";
    EXPECT_TRUE(NoChildLeft()) << "the tool is nobody's child here";
    std::ofstream(dir / "release").put('\n');
    for (int i = 0; i < 1000 && !fs::exists(dir / "marker"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(dir / "marker");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(DesktopLauncherStart, StartsThePathAsOneDetachedProgram) {
    TempDir dir;
    const fs::path script = dir.path / "tool dir" / "run me";
    EXPECT_EQ(RunReportingScript(script, [&] { DesktopLauncher().start(script.string()); }),
              (std::vector<std::string>{"0", script.string(), "own session"}));
}

// Descriptor number to what it names, for the descriptors of a process; with keepOnExec, only
// those that an exec would keep.
std::map<int, std::string> Descriptors(const std::string& pid, bool keepOnExec = false) {
    std::map<int, std::string> found;
    const fs::path dir = "/proc/" + pid + "/fd";
    for (const auto& entry : fs::directory_iterator(dir)) {
        const int fd = std::stoi(entry.path().filename().string());
        std::error_code gone; // the iterator's own descriptor is listed but closed by now
        const fs::path target = fs::read_symlink(entry.path(), gone);
        if (!gone && (!keepOnExec || (fcntl(fd, F_GETFD) & FD_CLOEXEC) == 0)) {
            found[fd] = target.string();
        }
    }
    return found;
}

enum Streams { PipedStreams, NoStreams, NoDescriptorsLeft };

struct StreamCase {
    const char* name;
    Streams streams; // ours when the tool is started
    bool installed;
};

class ToolStreamsTest : public ::testing::TestWithParam<StreamCase> {};

// Started as "runetally | cat", the tool must not keep the pipe open for as long as it runs.
TEST_P(ToolStreamsTest, ToolHoldsDevNullAndNothingOfOurs) {
    const StreamCase& c = GetParam();
    TempDir dir;
    const fs::path tool = dir.path / "tool";
    if (c.installed) {
        WriteFile(tool,
                  "#!/bin/sh\ncd \"$(/usr/bin/dirname \"$0\")\"\n"
                  "echo $$ > tmp; /bin/mv tmp pid; exec /bin/sleep 30\n",
                  true);
    }
    // Whatever this test program was given without close-on-exec goes on to the tool.
    std::map<int, std::string> expected = Descriptors("self", true);
    std::erase_if(expected, [](const auto& fd) { return fd.first < 3; });
    for (int stream = 0; stream < 3; ++stream) {
        expected[stream] = "/dev/null";
    }

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t starter = fork();
    ASSERT_GE(starter, 0);
    if (starter == 0) {
        for (int stream = 0; stream < 3; ++stream) {
            c.streams == NoStreams ? close(stream) : dup2(out[1], stream);
        }
        close(out[0]);
        close(out[1]);
        if (c.streams == NoDescriptorsLeft) {
            const rlimit three = {3, 3};
            setrlimit(RLIMIT_NOFILE, &three);
        }
        try {
            DesktopLauncher().start(tool.string());
        } catch (const std::exception&) {
            _exit(1);
        }
        _exit(0);
    }
    close(out[1]);
    int status = 0;
    ASSERT_EQ(waitpid(starter, &status, 0), starter);
    // What the starter wrote itself (a sanitizer's warning, say) is read past: only the end of
    // the pipe counts.
    pollfd ended = {out[0], POLLIN, 0};
    char buffer[256];
    ssize_t got = 1;
    while (got > 0 && poll(&ended, 1, 5000) == 1) {
        got = read(out[0], buffer, sizeof buffer);
    }
    const bool closed = got == 0;
    close(out[0]);
    EXPECT_TRUE(closed) << "nobody holds the pipe once the starter is gone";
    const bool starts = c.installed && c.streams != NoDescriptorsLeft;
    ASSERT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, starts ? 0 : 1)
        << "failed starts are reported";
    if (!starts) {
        return;
    }

    std::string pid;
    for (int i = 0; i < 1000 && pid.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream(dir.path / "pid") >> pid;
    }
    ASSERT_FALSE(pid.empty()) << "the tool ran";
    // The shell's own script descriptor, then the loader's, come and go; a leaked one stays.
    std::map<int, std::string> held;
    for (int i = 0; i < 1000 && (held = Descriptors(pid)) != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(held, expected);
    kill(std::stoi(pid), SIGKILL);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Streams, ToolStreamsTest, ::testing::Values(
    //          name                   our streams        tool installed
    StreamCase{"PipedStreams",         PipedStreams,      true},
    StreamCase{"NoStreams",            NoStreams,         true},
    StreamCase{"NoStreamsNoTool",      NoStreams,         false},
    StreamCase{"NoDescriptorsLeft",    NoDescriptorsLeft, true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(DesktopLauncherStartSysInfo, StartsTheInstalledToolElseShowsTheMessage) {
    TempDir dir;
    const fs::path tool = dir.path / "bin dir" / "hardinfo";
    const SearchPath path(tool.parent_path());
    std::vector<std::string> messages;
    const auto show = [&](std::string_view text) { messages.emplace_back(text); };
    DesktopLauncher desktop;
    StartSysInfo(desktop, show);
    EXPECT_EQ(messages, std::vector{kUnavailable});
    EXPECT_EQ(RunReportingScript(tool, [&] { StartSysInfo(desktop, show); }).at(1), tool.string());
    EXPECT_EQ(messages.size(), 1u) << "the tool is looked for on every press";
}

} // namespace
#endif
