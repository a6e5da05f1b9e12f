// The Windows backend against the system's own registry, files and process start: values written
// with advapi32 and read back through GetKeyValue, the existence check on real files, and
// StartSysInfo starting a real program that reports how it was started (markerprogram.cpp).
#include "desktopplatform.h"
#include "sysinfo.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace runetally;
namespace fs = std::filesystem;

namespace {

// The launcher's codes are the system's own.
static_assert(kKeyRead == KEY_READ);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND && kErrorMoreData == ERROR_MORE_DATA &&
              kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(kRegSz == REG_SZ && kRegDword == REG_DWORD && kRegBinary == REG_BINARY);
static_assert(kSwShowNormal == SW_SHOWNORMAL);

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kAbsentKey = kToolKey + "\\Runetally test key that is never written";
const std::string kUnavailable = "System Information Is Unavailable At This Time";
const std::vector<std::string> kFirst = {kToolKey};
const std::vector<std::string> kBoth = {kToolKey, kLocationKey};

// A registry value as advapi32 stores it: a type code and its bytes.
struct RegValue {
    DWORD type;
    std::string data;
};

RegValue Sz(std::string text) { // stored with its terminating zero
    text.push_back('\0');
    return {REG_SZ, text};
}

bool KeyExists(const std::string& keyName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Sets one value under HKEY_LOCAL_MACHINE, or removes it, for the life of the object; then puts
// back whatever was there and removes the keys it had to create.
class ScopedValue {
public:
    ScopedValue(const std::string& keyName, const std::string& valueName,
                const std::optional<RegValue>& value)
        : keyName_(keyName), valueName_(valueName) {
        for (std::string above = keyName; !KeyExists(above); above.erase(above.rfind('\\'))) {
            createdFrom_ = above;
        }
        HKEY key = nullptr;
        LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, nullptr, 0,
                                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create " + keyName);
        }
        SaveOldValue(key);
        if (value) {
            // RegSetValueExA counts a text's terminating zero itself when the byte after the
            // data is zero; a byte other than zero there keeps the data exactly as given.
            const std::string guarded = value->data + '\x01';
            result = RegSetValueExA(key, valueName.c_str(), 0, value->type,
                                    reinterpret_cast<const BYTE*>(guarded.data()),
                                    static_cast<DWORD>(value->data.size()));
        } else {
            result = RegDeleteValueA(key, valueName.c_str());
            result = result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
        }
        RegCloseKey(key);
        if (result != ERROR_SUCCESS) {
            throw std::runtime_error("cannot write " + keyName + "\\" + valueName);
        }
    }

    ~ScopedValue() {
        if (!createdFrom_.empty()) {
            for (std::string key = keyName_;; key.erase(key.rfind('\\'))) {
                RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
                if (key == createdFrom_) {
                    return;
                }
            }
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName_.c_str(), 0, KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS) {
            return;
        }
        const std::wstring name(valueName_.begin(), valueName_.end());
        if (oldValue_) {
            RegSetValueExW(key, name.c_str(), 0, oldType_, oldValue_->data(),
                           static_cast<DWORD>(oldValue_->size()));
        } else {
            RegDeleteValueW(key, name.c_str());
        }
        RegCloseKey(key);
    }

    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    // In the system's own form, so that it is put back byte for byte.
    void SaveOldValue(HKEY key) {
        const std::wstring name(valueName_.begin(), valueName_.end());
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &oldType_, nullptr, &size) !=
            ERROR_SUCCESS) {
            return;
        }
        oldValue_.emplace(size);
        if (RegQueryValueExW(key, name.c_str(), nullptr, &oldType_, oldValue_->data(), &size) !=
            ERROR_SUCCESS) {
            throw std::runtime_error("cannot save " + keyName_ + "\\" + valueName_);
        }
        oldValue_->resize(size);
    }

    std::string keyName_;
    std::string valueName_;
    std::string createdFrom_; // the highest key that did not exist before
    DWORD oldType_ = 0;
    std::optional<std::vector<BYTE>> oldValue_;
};

// The real backend with a record of what the launcher asks of it; messages are kept, not shown.
class Recorder final : public SysInfoPlatform {
public:
    std::vector<std::string> opened;
    std::vector<std::uint32_t> access;
    std::set<RegKey> openKeys;
    std::vector<std::string> finds;
    std::vector<std::string> started;
    std::vector<std::string> messages;
    DesktopPlatform desktop{[this](const std::string& text) { messages.push_back(text); }};

    std::int32_t OpenKey(RegKey root, const std::string& keyName, std::uint32_t options,
                         std::uint32_t accessAsked, RegKey& key) override {
        opened.push_back(keyName);
        access.push_back(accessAsked);
        const std::int32_t result = desktop.OpenKey(root, keyName, options, accessAsked, key);
        if (result == kErrorSuccess) {
            openKeys.insert(key);
        }
        return result;
    }
    std::int32_t QueryValue(RegKey key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& dataSize) override {
        return desktop.QueryValue(key, valueName, type, data, dataSize);
    }
    std::int32_t CloseKey(RegKey key) override {
        openKeys.erase(key);
        return desktop.CloseKey(key);
    }
    std::string FindFile(const std::string& path) override {
        finds.push_back(path);
        return desktop.FindFile(path);
    }
    void StartProgram(const std::string& program, int windowStyle) override {
        started.push_back(program);
        desktop.StartProgram(program, windowStyle);
    }
    void ShowMessage(const std::string& text) override { desktop.ShowMessage(text); }
};

// A folder of its own under the system's temporary folder, removed with all it holds.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH + 1];
        const DWORD length = GetTempPathA(sizeof base, base);
        if (length == 0 || length > MAX_PATH) {
            throw std::runtime_error("no temporary folder");
        }
        static int count = 0;
        path = std::string(base, length) + "runetally test " +
               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
        if (!CreateDirectoryA(path.c_str(), nullptr)) {
            throw std::runtime_error("cannot create " + path);
        }
    }

    // A started copy may still be closing: its file cannot go until it has.
    ~TempFolder() {
        std::error_code error;
        for (int attempt = 0; attempt < 100; ++attempt) {
            for (const auto& entry : fs::recursive_directory_iterator(path, error)) {
                SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
            }
            fs::remove_all(path, error);
            if (!error) {
                return;
            }
            Sleep(50);
        }
    }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path; // without a trailing backslash
};

std::string Expand(std::string text, const std::string& folder) {
    for (std::size_t at = text.find("{tmp}"); at != std::string::npos;
         at = text.find("{tmp}", at + folder.size())) {
        text.replace(at, 5, folder);
    }
    return text;
}

std::vector<std::string> Expand(std::vector<std::string> texts, const std::string& folder) {
    for (std::string& text : texts) {
        text = Expand(text, folder);
    }
    return texts;
}

std::string MarkerProgram() {
    char self[4 * MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string path(self, length);
    return path.substr(0, path.find_last_of('\\') + 1) + RUNETALLY_MARKER_PROGRAM;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FullPath(const std::string& path) {
    char full[4 * MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length == 0 || length >= sizeof full ? path : std::string(full, length);
}

enum class Kind { Program, HiddenProgram, Text, ReadOnly, Hidden, System, Folder };

bool IsProgram(Kind kind) {
    return kind == Kind::Program || kind == Kind::HiddenProgram;
}

void Make(const std::string& path, Kind kind) {
    fs::create_directories(fs::path(path).parent_path());
    if (kind == Kind::Folder) {
        fs::create_directory(path);
        return;
    }
    if (IsProgram(kind)) {
        if (!CopyFileA(MarkerProgram().c_str(), path.c_str(), FALSE)) {
            throw std::runtime_error("cannot copy the marker program to " + path);
        }
    } else {
        std::ofstream(path) << "not a program\n";
    }
    const DWORD attributes = kind == Kind::HiddenProgram || kind == Kind::Hidden
                                 ? FILE_ATTRIBUTE_HIDDEN
                             : kind == Kind::System   ? FILE_ATTRIBUTE_SYSTEM
                             : kind == Kind::ReadOnly ? FILE_ATTRIBUTE_READONLY
                                                      : 0;
    if (attributes != 0 && (!SetFileAttributesA(path.c_str(), attributes) ||
                            (GetFileAttributesA(path.c_str()) & attributes) != attributes)) {
        // Wine keeps the hidden and system attributes in extended file attributes.
        throw std::runtime_error("the file system keeps no such attribute for " + path);
    }
}

using Files = std::vector<std::pair<std::string, Kind>>; // under the test's folder

// The report of a started marker copy, one line a field, once it is there (20 s at most).
std::vector<std::string> WaitForReport(const std::string& program) {
    const std::string report = program + ".ran";
    for (int i = 0; i < 400 && !Exists(report); ++i) {
        Sleep(50);
    }
    std::ifstream in(report);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// GetKeyValue over the system's registry.

enum Outcome { Read, NotFound, Error };

struct ReadCase {
    const char* name;
    std::string key;
    std::string valueName;
    std::optional<RegValue> value; // none: the key holds no such value
    std::string entry;             // keyVal on entry
    Outcome outcome;
    std::string keyVal; // keyVal afterwards
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowsGetKeyValue : public ::testing::TestWithParam<ReadCase> {};

TEST_P(WindowsGetKeyValue, ReadsWhatAdvapi32StoredAndClosesTheKey) {
    const ReadCase& c = GetParam();
    std::optional<ScopedValue> stored;
    if (c.key == kAbsentKey) {
        ASSERT_FALSE(KeyExists(kAbsentKey));
    } else {
        stored.emplace(c.key, c.valueName, c.value);
    }
    Recorder recorder;
    std::string keyVal = c.entry;
    const std::uint32_t root = kHkeyLocalMachine;
    if (c.outcome == Error) {
        EXPECT_THROW(GetKeyValue(recorder, root, c.key, c.valueName, keyVal), SysInfoError);
    } else {
        EXPECT_EQ(GetKeyValue(recorder, root, c.key, c.valueName, keyVal), c.outcome == Read);
    }
    EXPECT_EQ(keyVal, c.keyVal);
    EXPECT_EQ(recorder.opened, std::vector{c.key});
    EXPECT_EQ(recorder.access, std::vector<std::uint32_t>{KEY_READ});
    EXPECT_TRUE(recorder.openKeys.empty()) << "the key is closed on every way out";
}

const std::string k1024(1024, 'a');
const std::string k1023(1023, 'a');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, WindowsGetKeyValue, ::testing::Values(
    //       name                   key           value     stored as                                  entry   outcome   keyVal
    ReadCase{"TextWithZero",        kToolKey,     "PATH",   Sz("C:\\Tools\\msinfo32.exe"),             "",     Read,     "C:\\Tools\\msinfo32.exe"},
    ReadCase{"TextWithoutZero",     kToolKey,     "PATH",   RegValue{REG_SZ, "C:\\x.exe"},             "",     Read,     "C:\\x.exe"},
    ReadCase{"TwoTrailingZeros",    kToolKey,     "PATH",   RegValue{REG_SZ, std::string("ab\0\0", 4)}, "",    Read,     std::string("ab\0", 3)},
    ReadCase{"OnlyTheZero",         kToolKey,     "PATH",   Sz(""),                                    "old",  Read,     ""},
    ReadCase{"AnsiByteKept",        kToolKey,     "PATH",   Sz("Caf\xE9"),                             "",     Read,     "Caf\xE9"},
    ReadCase{"Exactly1024",         kToolKey,     "PATH",   RegValue{REG_SZ, k1024},                   "",     Read,     k1024},
    ReadCase{"Exactly1024WithZero", kToolKey,     "PATH",   Sz(k1023),                                 "",     Read,     k1023},
    ReadCase{"Over1024NotFound",    kToolKey,     "PATH",   Sz(k1024),                                 "old",  NotFound, ""},
    ReadCase{"Dword261",            kToolKey,     "PATH",   RegValue{REG_DWORD, {5, 1, 0, 0}},         "",     Read,     "261"},
    ReadCase{"NoDataIsAnError",     kToolKey,     "PATH",   RegValue{REG_SZ, ""},                      "old",  Error,    "old"},
    ReadCase{"BinaryLeavesKeyVal",  kToolKey,     "PATH",   RegValue{REG_BINARY, {'a', 0}},            "kept", Read,     "kept"},
    ReadCase{"MissingValue",        kToolKey,     "PATH",   std::nullopt,                              "old",  NotFound, ""},
    ReadCase{"MissingKey",          kAbsentKey,   "PATH",   std::nullopt,                              "old",  NotFound, ""},
    ReadCase{"LocationText",        kLocationKey, "MSINFO", Sz("C:\\Tools\\"),                         "",     Read,     "C:\\Tools\\"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(WindowsRegistry, KeepsAdvapi32ResultsBehindItsOwnHandles) {
    const ScopedValue stored(kToolKey, "PATH", Sz("C:\\x.exe"));
    DesktopPlatform desktop([](const std::string&) {});

    RegKey key = 7;
    EXPECT_EQ(desktop.OpenKey(kHkeyLocalMachine, kAbsentKey, 0, kKeyRead, key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(desktop.OpenKey(0x1234, "SOFTWARE", 0, kKeyRead, key), ERROR_INVALID_HANDLE);

    // A key opened under an open key, and the same key opened twice, are three handles.
    RegKey microsoft = 0, nested = 0, direct = 0;
    ASSERT_EQ(desktop.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft", 0, kKeyRead, microsoft),
              ERROR_SUCCESS);
    ASSERT_EQ(desktop.OpenKey(microsoft, "Shared Tools\\MSINFO", 0, kKeyRead, nested),
              ERROR_SUCCESS);
    ASSERT_EQ(desktop.OpenKey(kHkeyLocalMachine, kToolKey, 0, kKeyRead, direct), ERROR_SUCCESS);
    EXPECT_EQ(std::set<RegKey>({microsoft, nested, direct}).size(), 3u);
    for (const RegKey handle : {microsoft, nested, direct}) {
        EXPECT_TRUE(handle != 0 && (handle < 0x80000000u || handle > 0x80000006u)) << handle;
    }

    std::uint32_t type = 0;
    std::uint32_t size = 4;
    unsigned char data[16] = {};
    EXPECT_EQ(desktop.QueryValue(nested, "PATH", type, data, size), ERROR_MORE_DATA);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 9u);
    size = sizeof data;
    EXPECT_EQ(desktop.QueryValue(direct, "PATH", type, data, size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string("C:\\x.exe", 9));
    EXPECT_EQ(desktop.QueryValue(direct, "MSINFO", type, data, size), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(desktop.CloseKey(nested), ERROR_SUCCESS);
    EXPECT_EQ(desktop.CloseKey(nested), ERROR_INVALID_HANDLE);
    RegKey reopened = 0; // the system may hand out the closed key's handle again
    ASSERT_EQ(desktop.OpenKey(kHkeyLocalMachine, kToolKey, 0, kKeyRead, reopened), ERROR_SUCCESS);
    EXPECT_NE(reopened, nested);
    EXPECT_EQ(desktop.QueryValue(nested, "PATH", type, data, size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(desktop.CloseKey(reopened), ERROR_SUCCESS);
    EXPECT_EQ(desktop.QueryValue(direct, "PATH", type, data, size), ERROR_SUCCESS)
        << "closing one handle leaves the others open";
    EXPECT_EQ(desktop.CloseKey(direct), ERROR_SUCCESS);
    EXPECT_EQ(desktop.CloseKey(microsoft), ERROR_SUCCESS);
}

// The existence check on real files.

TEST(WindowsFindFile, MatchesOrdinaryFilesOnly) {
    const TempFolder tmp;
    const Files files = {{"ordinary\\MSINFO32.EXE", Kind::Text},
                         {"lower\\msinfo32.exe", Kind::Text},
                         {"readonly\\MSINFO32.EXE", Kind::ReadOnly},
                         {"hidden\\MSINFO32.EXE", Kind::Hidden},
                         {"system\\MSINFO32.EXE", Kind::System},
                         {"folder\\MSINFO32.EXE", Kind::Folder},
                         {"mixed\\a.exe", Kind::Hidden},
                         {"mixed\\b.exe", Kind::Text},
                         {"mixed\\c.exe", Kind::System}};
    for (const auto& [file, kind] : files) {
        Make(tmp.path + "\\" + file, kind);
    }
    DesktopPlatform desktop([](const std::string&) {});
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"{tmp}\\ordinary\\MSINFO32.EXE", "MSINFO32.EXE"},
        {"{tmp}\\ordinary\\\\MSINFO32.EXE", "MSINFO32.EXE"},
        {"{tmp}\\lower\\MSINFO32.EXE", "msinfo32.exe"},
        {"{tmp}\\readonly\\MSINFO32.EXE", "MSINFO32.EXE"},
        {"{tmp}\\hidden\\MSINFO32.EXE", ""},
        {"{tmp}\\system\\MSINFO32.EXE", ""},
        {"{tmp}\\folder\\MSINFO32.EXE", ""},
        {"{tmp}\\mixed\\*.exe", "b.exe"},
        {"{tmp}\\ordinary\\missing.exe", ""},
        {"{tmp}\\missing\\MSINFO32.EXE", ""},
        {"\\MSINFO32.EXE", ""},
        {"{tmp}\\*\\MSINFO32.EXE", std::nullopt},
        {"{tmp}\\" + std::string(300, 'x') + "\\MSINFO32.EXE", std::nullopt},
    };
    for (const auto& [pattern, found] : cases) {
        const std::string path = Expand(pattern, tmp.path);
        if (found) {
            EXPECT_EQ(desktop.FindFile(path), *found) << pattern;
        } else {
            EXPECT_THROW(desktop.FindFile(path), std::exception) << pattern;
        }
    }
}

// StartSysInfo from end to end: the registry, the files and the started program all real.

struct LaunchCase {
    const char* name;
    std::optional<RegValue> path;     // the first source's value; "{tmp}" is the test's folder
    std::optional<RegValue> location; // the second source's value
    Files files;
    std::vector<std::string> opened, finds, started;
    std::string ran; // the program copy that reports; every other copy must not
    bool message;
};

void PrintTo(const LaunchCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowsStartSysInfo : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(WindowsStartSysInfo, StartsTheToolOrShowsTheOneMessage) {
    const LaunchCase& c = GetParam();
    const TempFolder tmp;
    const auto expand = [&](std::optional<RegValue> value) {
        if (value) {
            value->data = Expand(value->data, tmp.path);
        }
        return value;
    };
    const ScopedValue path(kToolKey, "PATH", expand(c.path));
    const ScopedValue location(kLocationKey, "MSINFO", expand(c.location));
    std::vector<std::string> programs;
    for (const auto& [file, kind] : c.files) {
        Make(tmp.path + "\\" + file, kind);
        if (IsProgram(kind)) {
            programs.push_back(tmp.path + "\\" + file);
            std::ofstream(programs.back() + ".hold").put('\n');
        }
    }

    Recorder recorder;
    StartSysInfo(recorder); // noexcept: a fault that escaped would end the test program

    EXPECT_EQ(recorder.opened, c.opened);
    EXPECT_EQ(recorder.finds, Expand(c.finds, tmp.path));
    EXPECT_EQ(recorder.started, Expand(c.started, tmp.path));
    EXPECT_EQ(recorder.messages,
              c.message ? std::vector{kUnavailable} : std::vector<std::string>{});
    EXPECT_EQ(recorder.access, std::vector<std::uint32_t>(c.opened.size(), KEY_READ));
    EXPECT_TRUE(recorder.openKeys.empty());
    for (const std::string& program : programs) {
        EXPECT_FALSE(Exists(program + ".ran")) << "returns without waiting for " << program;
        DeleteFileA((program + ".hold").c_str());
    }
    if (!c.ran.empty()) {
        const std::string program = tmp.path + "\\" + c.ran;
        const std::vector<std::string> expected = {"module " + FullPath(program),
                                                   "argument " + Expand(c.started.at(0), tmp.path),
                                                   "window style 1"};
        EXPECT_EQ(WaitForReport(program), expected);
    }
    for (const std::string& program : programs) {
        if (program != tmp.path + "\\" + c.ran) {
            EXPECT_FALSE(Exists(program + ".ran")) << program << " must not run";
        }
    }
}

const Kind kProgram = Kind::Program;
const std::string kTool = "{tmp}\\bin\\tool.exe";
const std::string kJoined = "{tmp}\\loc\\MSINFO32.EXE";
const std::optional<RegValue> none;
const RegValue kLoc = Sz("{tmp}\\loc");
const Files kToolFiles = {{"bin\\tool.exe", kProgram}};
const Files kLocFiles = {{"loc\\MSINFO32.EXE", kProgram}};
const Files kBothFiles = {{"bin\\tool.exe", kProgram}, {"loc\\MSINFO32.EXE", kProgram}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, WindowsStartSysInfo, ::testing::Values(
    //         name                  PATH                                MSINFO                 files                                      keys    finds                          started                      ran                     message
    LaunchCase{"PathStarted",        Sz(kTool),                          kLoc,                  kBothFiles,                                kFirst, {},                            {kTool},                     "bin\\tool.exe",        false},
    LaunchCase{"PathWithSpaces",     Sz("{tmp}\\tool dir\\run me.exe"),  none,                  {{"tool dir\\run me.exe", kProgram}, {"tool.exe", kProgram}, {"tool dir\\run.exe", kProgram}},
                                                                                                                                           kFirst, {},                            {"{tmp}\\tool dir\\run me.exe"}, "tool dir\\run me.exe", false},
    LaunchCase{"PathMissingFile",    Sz("{tmp}\\bin\\missing.exe"),      kLoc,                  kBothFiles,                                kFirst, {},                            {"{tmp}\\bin\\missing.exe"}, "",                     true},
    LaunchCase{"PathIsAFolder",      Sz("{tmp}\\bin"),                   none,                  kToolFiles,                                kFirst, {},                            {"{tmp}\\bin"},              "",                     true},
    LaunchCase{"PathIsText",         Sz("{tmp}\\notes.txt"),             none,                  {{"notes.txt", Kind::Text}},               kFirst, {},                            {"{tmp}\\notes.txt"},        "",                     true},
    LaunchCase{"PathWithoutData",    RegValue{REG_SZ, ""},               kLoc,                  kLocFiles,                                 kFirst, {},                            {},                          "",                     true},
    LaunchCase{"PathOfOtherType",    RegValue{REG_BINARY, kTool},        kLoc,                  kBothFiles,                                kFirst, {},                            {""},                        "",                     true},
    LaunchCase{"PathTooLong",        Sz(std::string(1024, 'x')),         kLoc,                  kLocFiles,                                 kBoth,  {kJoined},                     {kJoined},                   "loc\\MSINFO32.EXE",    false},
    LaunchCase{"LocationJoined",     none,                               kLoc,                  kLocFiles,                                 kBoth,  {kJoined},                     {kJoined},                   "loc\\MSINFO32.EXE",    false},
    LaunchCase{"TrailingBackslash",  none,                               Sz("{tmp}\\loc\\"),    kLocFiles,                                 kBoth,  {"{tmp}\\loc\\\\MSINFO32.EXE"}, {"{tmp}\\loc\\\\MSINFO32.EXE"}, "loc\\MSINFO32.EXE", false},
    LaunchCase{"ToolHidden",         none,                               kLoc,                  {{"loc\\MSINFO32.EXE", Kind::HiddenProgram}}, kBoth, {kJoined},                   {},                          "",                     true},
    LaunchCase{"ToolMissing",        none,                               kLoc,                  kToolFiles,                                kBoth,  {kJoined},                     {},                          "",                     true},
    LaunchCase{"NeitherValue",       none,                               none,                  kBothFiles,                                kBoth,  {},                            {},                          "",                     true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
