#include "desktopplatform.h"
#include "fakesysinfoplatform.h"
#include "sysinfo.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace runetally;
using Fake = fakes::FakeSysInfoPlatform;
using Kind = Fake::FileKind;
using Bytes = std::vector<unsigned char>;
using V = Fake::Value;

namespace {

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "System Information Is Unavailable At This Time";

Bytes Text(const std::string& text, std::size_t zeros = 0) {
    Bytes bytes(text.begin(), text.end());
    bytes.resize(bytes.size() + zeros, 0);
    return bytes;
}
V Sz(const std::string& text) {
    return {kRegSz, Text(text, 1)};
} // stored with its zero

constexpr auto none = std::nullopt;
const V kNoData = {kRegSz, {}};
const V kLong = {kRegSz, Text(std::string(1025, 'a'))};
const V kOther = {kRegBinary, Text("a", 1)};
enum Outcome { Read, NotFound, Error };

struct ReadCase {
    const char* name;
    std::optional<V> value; // none: the key holds no such value
    std::string entry;      // keyVal on entry
    Outcome outcome;
    std::string keyVal; // keyVal afterwards
};

class GetKeyValueTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GetKeyValueTest, ReadsOneValueAndClosesTheKey) {
    const ReadCase& c = GetParam();
    Fake fake;
    fake.keys[kToolKey];
    if (c.value) {
        fake.keys[kToolKey]["PATH"] = *c.value;
    }
    std::string keyVal = c.entry;
    const std::uint32_t root = kHkeyLocalMachine;
    if (c.outcome == Error) {
        EXPECT_THROW(GetKeyValue(fake, root, kToolKey, "PATH", keyVal), SysInfoError);
    } else {
        EXPECT_EQ(GetKeyValue(fake, root, kToolKey, "PATH", keyVal), c.outcome == Read);
    }
    EXPECT_EQ(keyVal, c.keyVal);
    EXPECT_TRUE(fake.openKeys.empty());
    EXPECT_EQ(fake.accessAsked, std::vector<std::uint32_t>{0x20019}) << "read rights only";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, GetKeyValueTest, ::testing::Values(
    //       name                        value                              entry   outcome   keyVal
    ReadCase{"TerminatingZeroDropped",   Sz("C:\\x"),                       "",     Read,     "C:\\x"},
    ReadCase{"NoZeroKeepsAll",           V{1, Text("C:\\x")},               "",     Read,     "C:\\x"},
    ReadCase{"OnlyOneOfTwoZerosDropped", V{1, Text("ab", 2)},               "",     Read,     std::string("ab\0", 3)},
    ReadCase{"Exactly1024Bytes",         V{1, Text(std::string(1024, 'a'))}, "",    Read,     std::string(1024, 'a')},
    ReadCase{"Over1024BytesNotFound",    kLong,                             "old",  NotFound, ""},
    ReadCase{"MissingValue",             none,                              "old",  NotFound, ""},
    ReadCase{"NoDataIsAnError",          kNoData,                           "old",  Error,    "old"},
    ReadCase{"Dword261",                 V{4, {0x05, 0x01, 0, 0}},          "",     Read,     "261"},
    ReadCase{"DwordAllBytes",            V{4, {0x78, 0x56, 0x34, 0x12}},    "",     Read,     "305419896"},
    ReadCase{"DwordIsUnsigned",          V{4, {0xFF, 0xFF, 0xFF, 0xFF}},    "",     Read,     "4294967295"},
    ReadCase{"DwordInnerZerosKept",      V{4, {0, 0, 1, 0}},                "",     Read,     "65536"},
    ReadCase{"DwordAfterEntryText",      V{4, {0x05, 0x01, 0, 0}},          "1",    Read,     "16777477"},
    ReadCase{"OtherTypeLeavesKeyVal",    kOther,                            "kept", Read,     "kept"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(FormatGeneral, GivesTheDecimalValueOfHexDigits) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"&h000105", "261"},
        {"&H1a", "26"},
        {"&h0", "0"},
        {"&h", "&h"},
        {"&hG1", "&hG1"},
        {"&hFFFFFFFFFFFFFFFF", "18446744073709551615"},
        {"&h00000000000000000001", "1"},
        {"&h10000000000000000", "&h10000000000000000"},
        {"C:\\Tools", "C:\\Tools"}};
    for (const auto& [text, formatted] : cases) {
        EXPECT_EQ(FormatGeneral(text), formatted) << text;
    }
}

const std::string kMsinfo =
    "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::string kJoined = "C:\\Tools\\MSINFO32.EXE";
const std::string kDoubled = "C:\\Tools\\\\MSINFO32.EXE";
const std::vector<std::string> kFirst = {kToolKey};
const std::vector<std::string> kBoth = {kToolKey, kLocationKey};
enum Fault { NoFault, NoKeys, OpenThrows, FindThrows };

struct LaunchCase {
    const char* name;
    std::optional<V> path;     // the first source's value
    std::optional<V> location; // the second source's value
    std::optional<Kind> tool;  // MSINFO32.EXE in C:\Tools
    Fault fault;
    std::vector<std::string> opened, finds, started;
    bool message;
};

class StartSysInfoTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoTest, StartsTheToolOrShowsTheOneMessage) {
    const LaunchCase& c = GetParam();
    Fake fake;
    if (c.fault != NoKeys) {
        fake.keys[kToolKey];
        fake.keys[kLocationKey];
    }
    if (c.path) {
        fake.keys[kToolKey]["PATH"] = *c.path;
    }
    if (c.location) {
        fake.keys[kLocationKey]["MSINFO"] = *c.location;
    }
    if (c.tool) {
        fake.files[kJoined] = fake.files[kDoubled] = *c.tool;
    }
    fake.startable = {kMsinfo, kJoined, kDoubled};
    fake.openThrows = c.fault == OpenThrows;
    fake.findThrows = c.fault == FindThrows;

    StartSysInfo(fake); // noexcept: a fault that escaped would end the test program

    EXPECT_EQ(fake.opened, c.opened);
    EXPECT_EQ(fake.finds, c.finds);
    EXPECT_EQ(fake.started, c.started);
    EXPECT_EQ(fake.windowStyles, std::vector<int>(c.started.size(), 1));
    EXPECT_EQ(fake.messages, c.message ? std::vector{kUnavailable} : std::vector<std::string>{});
    EXPECT_TRUE(fake.openKeys.empty());
}

const V kDir = Sz("C:\\Tools");
constexpr Kind kFile = Kind::Ordinary;

// The first source is started as it stands, as one program, even where the user may not write
// to its key; the second must name a folder that holds the tool as an ordinary file.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, StartSysInfoTest, ::testing::Values(
    //         name                   PATH                MSINFO               tool file        fault       keys    finds              started            message
    LaunchCase{"PathStartedAsIs",     Sz(kMsinfo),        kDir,                kFile,           NoFault,    kFirst, {},                {kMsinfo},         false},
    LaunchCase{"PathCannotStart",     Sz("C:\\x.exe"),    kDir,                kFile,           NoFault,    kFirst, {},                {"C:\\x.exe"},     true},
    LaunchCase{"PathWithoutData",     kNoData,            kDir,                kFile,           NoFault,    kFirst, {},                {},                true},
    LaunchCase{"PathOfOtherType",     kOther,             none,                none,            NoFault,    kFirst, {},                {""},              true},
    LaunchCase{"PathTooLong",         kLong,              kDir,                kFile,           NoFault,    kBoth,  {kJoined},         {kJoined},         false},
    LaunchCase{"LocationJoined",      none,               kDir,                kFile,           NoFault,    kBoth,  {kJoined},         {kJoined},         false},
    LaunchCase{"TrailingBackslash",   none,               Sz("C:\\Tools\\"),   kFile,           NoFault,    kBoth,  {kDoubled},        {kDoubled},        false},
    LaunchCase{"ToolHidden",          none,               kDir,                Kind::Hidden,    NoFault,    kBoth,  {kJoined},         {},                true},
    LaunchCase{"ToolSystemFile",      none,               kDir,                Kind::System,    NoFault,    kBoth,  {kJoined},         {},                true},
    LaunchCase{"ToolIsADirectory",    none,               kDir,                Kind::Directory, NoFault,    kBoth,  {kJoined},         {},                true},
    LaunchCase{"ToolMissing",         none,               kDir,                none,            NoFault,    kBoth,  {kJoined},         {},                true},
    LaunchCase{"FolderUnsearchable",  none,               kDir,                kFile,           FindThrows, kBoth,  {kJoined},         {},                true},
    LaunchCase{"LocationWithoutData", none,               kNoData,             kFile,           NoFault,    kBoth,  {},                {},                true},
    LaunchCase{"LocationOfOtherType", none,               kOther,              kFile,           NoFault,    kBoth,  {"\\MSINFO32.EXE"}, {},               true},
    LaunchCase{"NeitherValue",        none,               none,                kFile,           NoFault,    kBoth,  {},                {},                true},
    LaunchCase{"NeitherKey",          none,               none,                kFile,           NoKeys,     kBoth,  {},                {},                true},
    LaunchCase{"RegistryFails",       Sz(kMsinfo),        kDir,                kFile,           OpenThrows, kFirst, {},                {},                true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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

TEST(DesktopHive, HoldsOnlyThePathOfTheFirstInstalledTool) {
    struct Case {
        std::vector<std::pair<std::string, bool>> files; // under the temp dir; executable
        std::string expected;                            // empty: no key
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
        DesktopPlatform desktop([](const std::string&) {});
        std::string keyVal;
        EXPECT_EQ(GetKeyValue(desktop, kHkeyLocalMachine, kToolKey, "PATH", keyVal),
                  !c.expected.empty());
        EXPECT_EQ(keyVal, c.expected.empty() ? "" : (dir.path / c.expected).string());
    }

    // Read-only, and the one value is a text stored with its terminating zero.
    TempDir dir;
    WriteFile(dir.path / "hardinfo", "", true);
    const SearchPath path(dir.path);
    DesktopPlatform desktop([](const std::string&) {});
    RegKey key = 0;
    EXPECT_EQ(desktop.OpenKey(kHkeyLocalMachine, kToolKey, 0, 0x2003F, key), kErrorAccessDenied);
    EXPECT_EQ(desktop.OpenKey(kHkeyLocalMachine, kLocationKey, 0, kKeyRead, key),
              kErrorFileNotFound);
    ASSERT_EQ(desktop.OpenKey(kHkeyLocalMachine, kToolKey, 0, kKeyRead, key), kErrorSuccess);
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    unsigned char small[4] = {};
    EXPECT_EQ(desktop.QueryValue(key, "PATH", type, small, size), kErrorMoreData);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, (dir.path / "hardinfo").string().size() + 1);
    EXPECT_EQ(desktop.QueryValue(key, "MSINFO", type, small, size), kErrorFileNotFound);
    EXPECT_EQ(desktop.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(desktop.CloseKey(key), kErrorInvalidHandle);
}

TEST(DesktopFindFile, MatchesOrdinaryFilesOnly) {
    TempDir dir;
    WriteFile(dir.path / "sub dir" / "MSINFO32.EXE", "", false);
    WriteFile(dir.path / ".MSINFO32.EXE", "", false);
    fs::create_directories(dir.path / "folder.exe");
    DesktopPlatform desktop([](const std::string&) {});
    for (const auto& [file, found] :
         std::vector<std::pair<std::string, std::string>>{{"sub dir/MSINFO32.EXE", "MSINFO32.EXE"},
                                                          {".MSINFO32.EXE", ""},
                                                          {"folder.exe", ""},
                                                          {"missing.exe", ""},
                                                          {"sub dir/MSINFO32.EXE/x", ""}}) {
        EXPECT_EQ(desktop.FindFile((dir.path / file).string()), found) << file;
    }
    EXPECT_THROW(desktop.FindFile((dir.path / std::string(300, 'x')).string()), std::exception);
}

bool NoChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

TEST(DesktopStartProgram, FailsForWhatCannotRunAndLeavesNoChild) {
    TempDir dir;
    WriteFile(dir.path / "plain", "#!/bin/sh\n", false);
    WriteFile(dir.path / "bad interpreter", "#!/nonexistent/sh\n", true);
    DesktopPlatform desktop([](const std::string&) {});
    for (const std::string program : {"", "missing", "plain", "bad interpreter", "."}) {
        EXPECT_THROW(desktop.StartProgram(program.empty() ? "" : (dir.path / program).string(), 1),
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

TEST(DesktopStartProgram, StartsThePathAsOneDetachedProgram) {
    TempDir dir;
    const fs::path script = dir.path / "tool dir" / "run me";
    DesktopPlatform desktop([](const std::string&) {});
    EXPECT_EQ(RunReportingScript(script, [&] { desktop.StartProgram(script.string(), 1); }),
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
            DesktopPlatform([](const std::string&) {}).StartProgram(tool.string(), 1);
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

TEST(DesktopStartSysInfo, StartsTheInstalledToolElseShowsTheMessage) {
    TempDir dir;
    const fs::path tool = dir.path / "bin dir" / "hardinfo";
    const SearchPath path(tool.parent_path());
    std::vector<std::string> messages;
    DesktopPlatform desktop([&](const std::string& text) { messages.push_back(text); });
    StartSysInfo(desktop);
    EXPECT_EQ(messages, std::vector{kUnavailable});
    EXPECT_EQ(RunReportingScript(tool, [&] { StartSysInfo(desktop); }).at(1), tool.string());
    EXPECT_EQ(messages.size(), 1u) << "the tool is looked for on every press";
}

} // namespace
#endif
