#include "desktopplatform.h"
#include "fakesysinfoplatform.h"
#include "sysinfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>
#endif

using runetally::FormatGeneral;
using runetally::GetKeyValue;
using runetally::StartSysInfo;
using runetally::fakes::FakeSysInfoPlatform;
using Kind = FakeSysInfoPlatform::FileKind;
using Value = FakeSysInfoPlatform::Value;
using Bytes = std::vector<unsigned char>;

namespace {

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "System Information Is Unavailable At This Time";

Bytes Repeat(unsigned char byte, std::size_t count) {
    return Bytes(count, byte);
}

Bytes Concat(Bytes bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

// ---- Reading one value ----

enum class Outcome { Read, NotFound, Error };

struct ReadCase {
    const char* name;
    std::optional<Value> value; // none: the key holds no such value
    std::string keyValOnEntry;
    Outcome outcome;
    std::string keyVal; // after the call
};

class GetKeyValueTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GetKeyValueTest, ReadsTheValueAsTextAndClosesTheKey) {
    const ReadCase& c = GetParam();
    FakeSysInfoPlatform platform;
    platform.AddKey(kToolKey);
    if (c.value) {
        platform.SetValue(kToolKey, "PATH", *c.value);
    }
    const std::uint32_t root = runetally::kHkeyLocalMachine;
    std::string keyVal = c.keyValOnEntry;

    switch (c.outcome) {
    case Outcome::Read:
        EXPECT_TRUE(GetKeyValue(platform, root, kToolKey, "PATH", keyVal));
        break;
    case Outcome::NotFound:
        EXPECT_FALSE(GetKeyValue(platform, root, kToolKey, "PATH", keyVal));
        break;
    case Outcome::Error:
        EXPECT_THROW(GetKeyValue(platform, root, kToolKey, "PATH", keyVal),
                     runetally::SysInfoError);
        break;
    }
    EXPECT_EQ(keyVal, c.keyVal);
    EXPECT_EQ(platform.KeysStillOpen(), 0u);
    ASSERT_EQ(platform.opens.size(), 1u);
    EXPECT_EQ(platform.opens[0].root, 0x80000002u);
    EXPECT_EQ(platform.opens[0].options, 0u);
    EXPECT_EQ(platform.opens[0].access, 0x20019u) << "read rights only";
}

const std::string k1023(1023, 'a');
const std::string k1024(1024, 'a');

INSTANTIATE_TEST_SUITE_P(
    Bytes, GetKeyValueTest,
    ::testing::Values(
        ReadCase{"TextWithTerminatingZero", Value{1, Bytes{'C', ':', '\\', 'x', 0}}, "",
                 Outcome::Read, "C:\\x"},
        ReadCase{"TextWithoutZero", Value{1, Bytes{'C', ':', '\\', 'x'}}, "", Outcome::Read,
                 "C:\\x"},
        ReadCase{"OnlyOneOfTwoZerosDropped", Value{1, Bytes{'a', 'b', 0, 0}}, "", Outcome::Read,
                 std::string("ab\0", 3)},
        ReadCase{"ZeroAlone", Value{1, Bytes{0}}, "", Outcome::Read, ""},
        ReadCase{"Exactly1024Bytes", Value{1, Repeat('a', 1024)}, "", Outcome::Read, k1024},
        ReadCase{"Exactly1024BytesEndingInZero", Value{1, Concat(Repeat('a', 1023), {0})}, "",
                 Outcome::Read, k1023},
        ReadCase{"Over1024BytesIsNotFound", Value{1, Repeat('a', 1025)}, "old", Outcome::NotFound,
                 ""},
        ReadCase{"MissingValueEmptiesKeyVal", std::nullopt, "old", Outcome::NotFound, ""},
        ReadCase{"NoDataIsAnErrorThatKeepsKeyVal", Value{1, Bytes{}}, "old", Outcome::Error, "old"},
        ReadCase{"Dword261", Value{4, Bytes{0x05, 0x01, 0x00, 0x00}}, "", Outcome::Read, "261"},
        ReadCase{"DwordAllFourBytes", Value{4, Bytes{0x78, 0x56, 0x34, 0x12}}, "", Outcome::Read,
                 "305419896"},
        ReadCase{"DwordLargestIsUnsigned", Value{4, Bytes{0xFF, 0xFF, 0xFF, 0xFF}}, "",
                 Outcome::Read, "4294967295"},
        ReadCase{"DwordZero", Value{4, Bytes{0, 0, 0, 0}}, "", Outcome::Read, "0"},
        ReadCase{"DwordInnerZerosKept", Value{4, Bytes{0x00, 0x00, 0x01, 0x00}}, "", Outcome::Read,
                 "65536"},
        ReadCase{"DwordDigitsFollowTheEntryText", Value{4, Bytes{0x05, 0x01, 0x00, 0x00}}, "1",
                 Outcome::Read, "16777477"},
        ReadCase{"BinaryIsFoundButLeavesKeyVal", Value{3, Bytes{'a', 'b', 0}}, "kept",
                 Outcome::Read, "kept"},
        ReadCase{"ExpandableTextIsFoundButLeavesKeyVal", Value{2, Bytes{'%', 'x', '%', 0}}, "",
                 Outcome::Read, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetKeyValue, MissingKeyIsNotFoundAndLeavesNoKeyOpen) {
    FakeSysInfoPlatform platform;
    std::string keyVal = "old";
    EXPECT_FALSE(GetKeyValue(platform, runetally::kHkeyLocalMachine, kToolKey, "PATH", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_EQ(platform.KeysStillOpen(), 0u);
}

TEST(GetKeyValue, PlatformErrorPassesUpAfterTheKeyIsClosed) {
    FakeSysInfoPlatform platform;
    platform.openThrows = true;
    std::string keyVal;
    EXPECT_THROW(GetKeyValue(platform, runetally::kHkeyLocalMachine, kToolKey, "PATH", keyVal),
                 std::runtime_error);
    EXPECT_EQ(platform.KeysStillOpen(), 0u);
}

// ---- General formatting ----

struct FormatCase {
    const char* text;
    const char* formatted;
};

class FormatGeneralTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatGeneralTest, GivesTheDecimalValueOfAHexNumber) {
    EXPECT_EQ(FormatGeneral(GetParam().text), GetParam().formatted);
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatGeneralTest,
                         ::testing::Values(FormatCase{"&h000105", "261"},
                                           FormatCase{"&h105", "261"}, FormatCase{"&H1a", "26"},
                                           FormatCase{"&h0", "0"},
                                           FormatCase{"&hFFFFFFFF", "4294967295"},
                                           FormatCase{"&hFFFFFFFFFFFFFFFF", "18446744073709551615"},
                                           FormatCase{"&h00000000000000000001", "1"},
                                           FormatCase{"&h10000000000000000", "&h10000000000000000"},
                                           FormatCase{"&h", "&h"}, FormatCase{"&hG1", "&hG1"},
                                           FormatCase{"&h1 ", "&h1 "}, FormatCase{"h105", "h105"},
                                           FormatCase{"C:\\Tools", "C:\\Tools"},
                                           FormatCase{"", ""}));

// ---- The launcher ----

struct LaunchCase {
    const char* name;
    std::function<void(FakeSysInfoPlatform&)> arrange;
    std::vector<std::string> keysOpened;
    std::vector<std::string> finds;
    std::vector<std::string> started;
    bool message;
};

class StartSysInfoTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoTest, StartsTheToolOrShowsTheOneMessage) {
    const LaunchCase& c = GetParam();
    FakeSysInfoPlatform platform;
    platform.AddKey(kToolKey);
    platform.AddKey(kLocationKey);
    c.arrange(platform);

    StartSysInfo(platform);

    EXPECT_EQ(platform.KeysOpened(), c.keysOpened);
    EXPECT_EQ(platform.finds, c.finds);
    EXPECT_EQ(platform.ProgramsStarted(), c.started);
    for (const auto& start : platform.starts) {
        EXPECT_EQ(start.windowStyle, 1);
    }
    EXPECT_EQ(platform.messages,
              c.message ? std::vector<std::string>{kUnavailable} : std::vector<std::string>{});
    EXPECT_EQ(platform.KeysStillOpen(), 0u);
}

const std::string kMsinfo =
    "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::vector<std::string> kFirst = {kToolKey};
const std::vector<std::string> kBoth = {kToolKey, kLocationKey};

void UseLocation(FakeSysInfoPlatform& p, const std::string& dir) {
    p.SetText(kLocationKey, "MSINFO", dir);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, StartSysInfoTest,
    ::testing::Values(
        LaunchCase{"PathStartedUncheckedAsOneProgram",
                   [](auto& p) {
                       p.SetText(kToolKey, "PATH", kMsinfo);
                       p.AddStartable(kMsinfo);
                       UseLocation(p, "C:\\Other");
                   },
                   kFirst,
                   {},
                   {kMsinfo},
                   false},
        LaunchCase{"PathThatCannotStart",
                   [](auto& p) {
                       p.SetText(kToolKey, "PATH", "C:\\gone.exe");
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::Ordinary);
                       p.AddStartable("C:\\Tools\\MSINFO32.EXE");
                   },
                   kFirst,
                   {},
                   {"C:\\gone.exe"},
                   true},
        LaunchCase{"LocationJoinedWithTheFileName",
                   [](auto& p) {
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::Ordinary);
                       p.AddStartable("C:\\Tools\\MSINFO32.EXE");
                   },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {"C:\\Tools\\MSINFO32.EXE"},
                   false},
        LaunchCase{"TrailingBackslashIsDoubled",
                   [](auto& p) {
                       UseLocation(p, "C:\\Tools\\");
                       p.AddFile("C:\\Tools\\\\MSINFO32.EXE", Kind::Ordinary);
                       p.AddStartable("C:\\Tools\\\\MSINFO32.EXE");
                   },
                   kBoth,
                   {"C:\\Tools\\\\MSINFO32.EXE"},
                   {"C:\\Tools\\\\MSINFO32.EXE"},
                   false},
        LaunchCase{"PathOver1024BytesFallsBackToLocation",
                   [](auto& p) {
                       p.SetValue(kToolKey, "PATH", {1, Repeat('a', 1025)});
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::Ordinary);
                       p.AddStartable("C:\\Tools\\MSINFO32.EXE");
                   },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {"C:\\Tools\\MSINFO32.EXE"},
                   false},
        LaunchCase{"ToolHidden",
                   [](auto& p) {
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::Hidden);
                   },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {},
                   true},
        LaunchCase{"ToolSystemFile",
                   [](auto& p) {
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::System);
                   },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {},
                   true},
        LaunchCase{"ToolIsADirectory",
                   [](auto& p) {
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::Directory);
                   },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {},
                   true},
        LaunchCase{"ToolMissing",
                   [](auto& p) { UseLocation(p, "C:\\Tools"); },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {},
                   true},
        LaunchCase{"FolderCannotBeSearched",
                   [](auto& p) {
                       UseLocation(p, "C:\\Tools");
                       p.findThrows = true;
                   },
                   kBoth,
                   {"C:\\Tools\\MSINFO32.EXE"},
                   {},
                   true},
        LaunchCase{"NeitherValue", [](auto&) {}, kBoth, {}, {}, true},
        LaunchCase{"PathWithoutDataEndsAtOnce",
                   [](auto& p) {
                       p.SetValue(kToolKey, "PATH", {1, {}});
                       UseLocation(p, "C:\\Tools");
                       p.AddFile("C:\\Tools\\MSINFO32.EXE", Kind::Ordinary);
                   },
                   kFirst,
                   {},
                   {},
                   true},
        LaunchCase{"LocationWithoutData",
                   [](auto& p) {
                       p.SetValue(kLocationKey, "MSINFO", {1, {}});
                   },
                   kBoth,
                   {},
                   {},
                   true},
        LaunchCase{"PathOfOtherTypeStartsEmptyText",
                   [](auto& p) {
                       p.SetValue(kToolKey, "PATH", {3, {'a', 0}});
                   },
                   kFirst,
                   {},
                   {""},
                   true},
        LaunchCase{"LocationOfOtherTypeLooksForTheFileAlone",
                   [](auto& p) {
                       p.SetValue(kLocationKey, "MSINFO", {3, {'a', 0}});
                   },
                   kBoth,
                   {"\\MSINFO32.EXE"},
                   {},
                   true},
        LaunchCase{"RegistryFails", [](auto& p) { p.openThrows = true; }, kFirst, {}, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartSysInfo, KeysAbsentGivesTheMessage) {
    FakeSysInfoPlatform platform;
    StartSysInfo(platform);
    EXPECT_EQ(platform.KeysOpened(), kBoth);
    EXPECT_EQ(platform.messages, std::vector<std::string>{kUnavailable});
}

// Write rights on machine keys are refused to most users; reading must still find the tool.
TEST(StartSysInfo, FindsTheToolWhereTheUserMayNotWrite) {
    FakeSysInfoPlatform platform;
    platform.writeProtected = true;
    platform.SetText(kToolKey, "PATH", kMsinfo);
    platform.AddStartable(kMsinfo);
    StartSysInfo(platform);
    EXPECT_EQ(platform.ProgramsStarted(), std::vector<std::string>{kMsinfo});
    EXPECT_TRUE(platform.messages.empty());
}

TEST(StartSysInfo, SearchesAfreshOnEveryCall) {
    FakeSysInfoPlatform platform;
    StartSysInfo(platform);
    platform.SetText(kToolKey, "PATH", kMsinfo);
    platform.AddStartable(kMsinfo);
    StartSysInfo(platform);
    EXPECT_EQ(platform.messages, std::vector<std::string>{kUnavailable});
    EXPECT_EQ(platform.ProgramsStarted(), std::vector<std::string>{kMsinfo});
}

TEST(StartSysInfo, NeverThrowsEvenWhenTheMessageFails) {
    FakeSysInfoPlatform platform;
    platform.messageThrows = true;
    EXPECT_NO_THROW(StartSysInfo(platform));
    EXPECT_EQ(platform.messages.size(), 1u);
}

#ifndef _WIN32
// ---- The desktop backend without a Windows registry ----

namespace fs = std::filesystem;
using runetally::DesktopPlatform;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "sysinfo test XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary directory");
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& text, bool executable) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    fs::permissions(path, executable
                              ? fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                              : fs::perms::owner_read | fs::perms::owner_write);
}

// Sets PATH for one test and puts the old one back.
class SearchPath {
public:
    explicit SearchPath(const std::string& value) {
        if (const char* old = std::getenv("PATH")) {
            old_ = old;
        }
        setenv("PATH", value.c_str(), 1);
    }
    ~SearchPath() {
        if (old_) {
            setenv("PATH", old_->c_str(), 1);
        } else {
            unsetenv("PATH");
        }
    }

private:
    std::optional<std::string> old_;
};

DesktopPlatform MakeDesktop(std::vector<std::string>* messages = nullptr) {
    return DesktopPlatform([messages](const std::string& text) {
        if (messages) {
            messages->push_back(text);
        }
    });
}

// The PATH value as the desktop hive gives it, or nothing when the key does not open.
std::optional<Bytes> ReadToolValue(DesktopPlatform& desktop) {
    runetally::RegKey key = 0;
    if (desktop.OpenKey(runetally::kHkeyLocalMachine, kToolKey, 0, runetally::kKeyRead, key) !=
        runetally::kErrorSuccess) {
        return std::nullopt;
    }
    Bytes data(1024, 0);
    std::uint32_t type = 0;
    std::uint32_t size = 1024;
    const std::int32_t result = desktop.QueryValue(key, "PATH", type, data.data(), size);
    desktop.CloseKey(key);
    if (result != runetally::kErrorSuccess || type != runetally::kRegSz) {
        return Bytes{};
    }
    data.resize(size);
    return data;
}

Bytes TextWithZero(const std::string& text) {
    return Concat(Bytes(text.begin(), text.end()), {0});
}

struct ToolCase {
    const char* name;
    std::vector<std::pair<std::string, bool>> files; // path under the temp dir, executable
    std::vector<std::string> searchPath;             // directories under the temp dir, or "="
    std::optional<std::string> expected;             // path under the temp dir
};

class DesktopHiveTest : public ::testing::TestWithParam<ToolCase> {};

TEST_P(DesktopHiveTest, NamesTheFirstInstalledTool) {
    const ToolCase& c = GetParam();
    TempDir dir;
    for (const auto& [file, executable] : c.files) {
        WriteFile(dir.path() / file, "#!/bin/sh\n", executable);
    }
    std::string searchPath;
    for (const std::string& entry : c.searchPath) {
        searchPath += (searchPath.empty() ? "" : ":") +
                      (entry.front() == '=' ? entry.substr(1) : (dir.path() / entry).string());
    }
    const SearchPath path(searchPath);
    DesktopPlatform desktop = MakeDesktop();

    const std::optional<Bytes> value = ReadToolValue(desktop);
    if (c.expected) {
        EXPECT_EQ(value, TextWithZero((dir.path() / *c.expected).string()));
    } else {
        EXPECT_EQ(value, std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tools, DesktopHiveTest,
    ::testing::Values(
        ToolCase{"NoneInstalled", {{"a/other", true}}, {"a"}, std::nullopt},
        ToolCase{"Hardinfo", {{"a/hardinfo", true}}, {"a"}, "a/hardinfo"},
        ToolCase{"HardinfoBeforeLaterTools",
                 {{"a/hardinfo2", true}, {"a/gnome-system-monitor", true}, {"b/hardinfo", true}},
                 {"a", "b"},
                 "b/hardinfo"},
        ToolCase{"FirstDirectoryWins",
                 {{"a/hardinfo2", true}, {"b/hardinfo2", true}},
                 {"a", "b"},
                 "a/hardinfo2"},
        ToolCase{"SystemMonitorAsLastResort",
                 {{"a/gnome-system-monitor", true}},
                 {"a"},
                 "a/gnome-system-monitor"},
        ToolCase{"NotExecutableIsNoTool", {{"a/hardinfo", false}}, {"a"}, std::nullopt},
        ToolCase{"DirectoryIsNoTool", {{"a/hardinfo/x", true}}, {"a"}, std::nullopt},
        ToolCase{"RelativeDirectoriesIgnored", {}, {"=.", "=", "=bin"}, std::nullopt},
        ToolCase{"SpaceInThePath",
                 {{"with space/kinfocenter", true}},
                 {"with space"},
                 "with space/kinfocenter"}),
    [](const auto& info) { return std::string(info.param.name); });

struct HiveCase {
    const char* name;
    std::string key;
    std::uint32_t access;
    std::string value;
    std::uint32_t bufferSize;
    std::int32_t openResult;
    std::int32_t queryResult;
};

class DesktopHiveRulesTest : public ::testing::TestWithParam<HiveCase> {};

TEST_P(DesktopHiveRulesTest, AnswersAsTheSystemRegistryWould) {
    const HiveCase& c = GetParam();
    TempDir dir;
    WriteFile(dir.path() / "hardinfo", "#!/bin/sh\n", true);
    const SearchPath path(dir.path().string());
    DesktopPlatform desktop = MakeDesktop();
    const std::uint32_t needed =
        static_cast<std::uint32_t>((dir.path() / "hardinfo").string().size()) + 1;

    runetally::RegKey key = 0;
    ASSERT_EQ(desktop.OpenKey(runetally::kHkeyLocalMachine, c.key, 0, c.access, key), c.openResult);
    if (c.openResult != runetally::kErrorSuccess) {
        EXPECT_EQ(key, 0u);
        return;
    }
    EXPECT_NE(key, 0u);
    Bytes data(c.bufferSize + 1, 0xEE);
    std::uint32_t type = 0;
    std::uint32_t size = c.bufferSize;
    EXPECT_EQ(desktop.QueryValue(key, c.value, type, data.data(), size), c.queryResult);
    if (c.queryResult == runetally::kErrorSuccess || c.queryResult == runetally::kErrorMoreData) {
        EXPECT_EQ(type, runetally::kRegSz);
        EXPECT_EQ(size, needed);
    }
    if (c.queryResult == runetally::kErrorMoreData) {
        EXPECT_EQ(data[0], 0xEE) << "nothing written to a buffer that is too small";
    }
    EXPECT_EQ(desktop.CloseKey(key), runetally::kErrorSuccess);
    EXPECT_EQ(desktop.CloseKey(key), runetally::kErrorInvalidHandle);
    EXPECT_EQ(desktop.QueryValue(key, c.value, type, data.data(), size),
              runetally::kErrorInvalidHandle);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DesktopHiveRulesTest,
    ::testing::Values(
        HiveCase{"ToolValue", kToolKey, 0x20019, "PATH", 1024, 0, 0},
        HiveCase{"NamesIgnoreCase", "software\\microsoft\\shared tools\\msinfo", 0x20019, "path",
                 1024, 0, 0},
        HiveCase{"ValueTooLongForTheBuffer", kToolKey, 0x20019, "PATH", 4, 0, 234},
        HiveCase{"OtherValue", kToolKey, 0x20019, "MSINFO", 1024, 0, 2},
        HiveCase{"KeyAboveHoldsNoValue", "SOFTWARE\\Microsoft", 0x20019, "PATH", 1024, 0, 2},
        HiveCase{"LocationKeyAbsent", kLocationKey, 0x20019, "MSINFO", 1024, 2, 0},
        HiveCase{"PartOfAKeyNameIsNoKey", "SOFTWARE\\Micro", 0x20019, "PATH", 1024, 2, 0},
        HiveCase{"KeyBelowAbsent", kToolKey + "\\More", 0x20019, "PATH", 1024, 2, 0},
        HiveCase{"WriteRightsRefused", kToolKey, 0x2003F, "PATH", 1024, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DesktopHive, LooksForTheToolOnEveryOpen) {
    TempDir dir;
    const SearchPath path(dir.path().string());
    DesktopPlatform desktop = MakeDesktop();
    EXPECT_EQ(ReadToolValue(desktop), std::nullopt);
    WriteFile(dir.path() / "hardinfo2", "#!/bin/sh\n", true);
    EXPECT_EQ(ReadToolValue(desktop), TextWithZero((dir.path() / "hardinfo2").string()));
}

struct FileCase {
    const char* name;
    std::string path; // under the temp dir
    std::string found;
};

class DesktopFindFileTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(DesktopFindFileTest, MatchesOrdinaryFilesOnly) {
    TempDir dir;
    WriteFile(dir.path() / "MSINFO32.EXE", "x", false);
    WriteFile(dir.path() / ".MSINFO32.EXE", "x", false);
    WriteFile(dir.path() / "sub dir" / "MSINFO32.EXE", "x", false);
    fs::create_directories(dir.path() / "folder.exe");
    DesktopPlatform desktop = MakeDesktop();
    EXPECT_EQ(desktop.FindFile((dir.path() / GetParam().path).string()), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Files, DesktopFindFileTest,
                         ::testing::Values(FileCase{"Ordinary", "MSINFO32.EXE", "MSINFO32.EXE"},
                                           FileCase{"SpaceInTheDirectory", "sub dir/MSINFO32.EXE",
                                                    "MSINFO32.EXE"},
                                           FileCase{"Hidden", ".MSINFO32.EXE", ""},
                                           FileCase{"Directory", "folder.exe", ""},
                                           FileCase{"Missing", "msinfo.exe", ""},
                                           FileCase{"UnderAFile", "MSINFO32.EXE/x", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DesktopFindFile, PathThatCannotBeSearchedThrows) {
    DesktopPlatform desktop = MakeDesktop();
    EXPECT_THROW(desktop.FindFile("/tmp/" + std::string(5000, 'x')), std::exception);
}

// True when this process has no child left, running or waiting to be reaped.
bool NoChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

struct StartFailureCase {
    const char* name;
    std::string program; // under the temp dir, or "" for empty text
};

class DesktopStartFailureTest : public ::testing::TestWithParam<StartFailureCase> {};

TEST_P(DesktopStartFailureTest, ThrowsAndLeavesNoChild) {
    TempDir dir;
    WriteFile(dir.path() / "plain", "#!/bin/sh\n", false);
    WriteFile(dir.path() / "no interpreter", "#!/nonexistent/sh\n", true);
    fs::create_directories(dir.path() / "folder");
    DesktopPlatform desktop = MakeDesktop();
    const std::string program =
        GetParam().program.empty() ? "" : (dir.path() / GetParam().program).string();
    EXPECT_THROW(desktop.StartProgram(program, 1), std::exception);
    EXPECT_TRUE(NoChildLeft());
}

INSTANTIATE_TEST_SUITE_P(Programs, DesktopStartFailureTest,
                         ::testing::Values(StartFailureCase{"Missing", "missing"},
                                           StartFailureCase{"NotExecutable", "plain"},
                                           StartFailureCase{"Directory", "folder"},
                                           StartFailureCase{"BadInterpreter", "no interpreter"},
                                           StartFailureCase{"EmptyText", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the started script saw: its argument count, its own name, its session.
struct ScriptReport {
    std::string argumentCount;
    std::string name;
    pid_t session = 0;
};

std::optional<ScriptReport> WaitForReport(const fs::path& marker) {
    for (int i = 0; i < 1000 && !fs::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(marker);
    ScriptReport report;
    std::string stat;
    if (!std::getline(in, report.argumentCount) || !std::getline(in, report.name) ||
        !std::getline(in, stat)) {
        return std::nullopt;
    }
    // Fields after the command name: state, parent, process group, session.
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string state;
    pid_t parent = 0;
    pid_t group = 0;
    fields >> state >> parent >> group >> report.session;
    return report;
}

// A script that waits until the file "release" appears beside it, then reports on itself into
// the file "marker" there, written via a temporary so that the test never reads half a report.
// Its tools are named in full: PATH may be a test's.
struct ReportingScript {
    fs::path marker;
    fs::path release;
};

ReportingScript WriteReportingScript(const fs::path& script) {
    const fs::path dir = script.parent_path();
    WriteFile(script,
              "#!/bin/sh\n"
              "dir='" +
                  dir.string() +
                  "'\n"
                  "i=0\n"
                  "while [ ! -e \"$dir/release\" ] && [ $i -lt 200 ]; do\n"
                  "    /bin/sleep 0.05; i=$((i + 1))\n"
                  "done\n"
                  "{ echo \"$#\"; echo \"$0\"; /bin/cat /proc/$$/stat; } > \"$dir/marker.tmp\"\n"
                  "/bin/mv \"$dir/marker.tmp\" \"$dir/marker\"\n",
              true);
    return {dir / "marker", dir / "release"};
}

TEST(DesktopStartProgram, StartsThePathAsOneDetachedProgram) {
    TempDir dir;
    const fs::path program = dir.path() / "tool dir" / "run me";
    const ReportingScript script = WriteReportingScript(program);
    DesktopPlatform desktop = MakeDesktop();

    desktop.StartProgram(program.string(), 1);

    EXPECT_FALSE(fs::exists(script.marker)) << "returns at once, without waiting for the tool";
    EXPECT_TRUE(NoChildLeft()) << "the tool is nobody's child here";
    std::ofstream(script.release).put('\n');
    const std::optional<ScriptReport> report = WaitForReport(script.marker);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->argumentCount, "0");
    EXPECT_EQ(report->name, program.string());
    EXPECT_NE(report->session, getsid(0)) << "runs in a session of its own";
}

TEST(DesktopStartSysInfo, StartsTheInstalledToolThroughTheRegistry) {
    TempDir dir;
    const fs::path tool = dir.path() / "bin dir" / "hardinfo";
    const ReportingScript script = WriteReportingScript(tool);
    std::ofstream(script.release).put('\n');
    const SearchPath path((dir.path() / "bin dir").string());
    std::vector<std::string> messages;
    DesktopPlatform desktop = MakeDesktop(&messages);

    StartSysInfo(desktop);

    const std::optional<ScriptReport> report = WaitForReport(script.marker);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->name, tool.string());
    EXPECT_TRUE(messages.empty());
}

TEST(DesktopStartSysInfo, NoToolInstalledGivesTheMessage) {
    TempDir dir;
    const SearchPath path(dir.path().string());
    std::vector<std::string> messages;
    DesktopPlatform desktop = MakeDesktop(&messages);
    StartSysInfo(desktop);
    EXPECT_EQ(messages, std::vector<std::string>{kUnavailable});
}
#endif

} // namespace
