// The Windows backend against the system's own registry, files and process start: values written
// with advapi32 and found through findTool, and StartSysInfo starting a real program that
// reports how it was started (markerprogram.cpp).
#include "desktoplauncher.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace runetally;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "System Information Is Unavailable At This Time";

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

enum class Kind { Program, HiddenProgram, SystemProgram, Folder };

void Make(const std::string& path, Kind kind) {
    fs::create_directories(fs::path(path).parent_path());
    if (kind == Kind::Folder) {
        fs::create_directory(path);
        return;
    }
    if (!CopyFileA(MarkerProgram().c_str(), path.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy the marker program to " + path);
    }
    const DWORD attributes = kind == Kind::HiddenProgram   ? FILE_ATTRIBUTE_HIDDEN
                             : kind == Kind::SystemProgram ? FILE_ATTRIBUTE_SYSTEM
                                                           : 0;
    if (attributes != 0 && (!SetFileAttributesA(path.c_str(), attributes) ||
                            (GetFileAttributesA(path.c_str()) & attributes) != attributes)) {
        // Wine keeps the hidden and system attributes in extended file attributes.
        throw std::runtime_error("the file system keeps no such attribute for " + path);
    }
}

using Files = std::vector<std::pair<std::string, Kind>>; // under the test's folder

// The two registry values and the files, set up for one test and removed after it; "{tmp}" in
// a value is the test's folder.
struct Machine {
    Machine(std::optional<RegValue> pathValue, std::optional<RegValue> locationValue,
            const Files& files)
        : path(kToolKey, "PATH", ExpandValue(std::move(pathValue), tmp.path)),
          location(kLocationKey, "MSINFO", ExpandValue(std::move(locationValue), tmp.path)) {
        for (const auto& [file, kind] : files) {
            Make(tmp.path + "\\" + file, kind);
            if (kind != Kind::Folder) {
                programs.push_back(tmp.path + "\\" + file);
            }
        }
    }

    static std::optional<RegValue> ExpandValue(std::optional<RegValue> value,
                                               const std::string& folder) {
        if (value) {
            value->data = Expand(value->data, folder);
        }
        return value;
    }

    const TempFolder tmp;
    const ScopedValue path;
    const ScopedValue location;
    std::vector<std::string> programs;
};

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

const Kind kProgram = Kind::Program;
const std::string kTool = "{tmp}\\bin\\tool.exe";
const std::string kJoined = "{tmp}\\loc\\MSINFO32.EXE";
const std::optional<RegValue> none;
const RegValue kLoc = Sz("{tmp}\\loc");
const RegValue kNoData = {REG_SZ, ""};
// The tool in the second source's folder.
Files InLoc(Kind kind) {
    return {{"loc\\MSINFO32.EXE", kind}};
}
const Files kLocFiles = InLoc(kProgram);
const Files kBothFiles = {{"bin\\tool.exe", kProgram}, {"loc\\MSINFO32.EXE", kProgram}};

// findTool over the system's registry and files.

struct FindCase {
    const char* name;
    std::optional<RegValue> path;     // the first source's value
    std::optional<RegValue> location; // the second source's value
    Files files;
    std::optional<std::string> found; // with "{tmp}" for the test's folder
    bool error = false;
};

void PrintTo(const FindCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowsFindTool : public ::testing::TestWithParam<FindCase> {};

TEST_P(WindowsFindTool, ReadsTheRegistryAsStoredAndChecksOnlyTheJoinedPath) {
    const FindCase& c = GetParam();
    const Machine machine(c.path, c.location, c.files);
    if (c.error) {
        EXPECT_THROW(DesktopLauncher().findTool(), std::exception);
        return;
    }
    const std::optional<std::string> expected =
        c.found ? std::optional(Expand(*c.found, machine.tmp.path)) : std::nullopt;
    EXPECT_EQ(DesktopLauncher().findTool(), expected);
}

const std::string k1024(1024, 'a');
const std::string k1023(1023, 'a');
const std::string kDoubled = "{tmp}\\loc\\\\MSINFO32.EXE";
const RegValue kLongFolder = Sz("{tmp}\\" + std::string(300, 'x'));

// The first source is taken as it stands, without an existence check; the second must name a
// folder that holds the tool as an ordinary file.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, WindowsFindTool, ::testing::Values(
    //       name                    PATH                                MSINFO               files                           found         error
    FindCase{"PathUncheckedFirst",   Sz(kTool),                          kLoc,                kLocFiles,                      kTool},
    FindCase{"TextWithoutZero",      RegValue{REG_SZ, "C:\\x.exe"},      none,                {},                             "C:\\x.exe"},
    FindCase{"OneOfTwoZeros",        RegValue{REG_SZ, "ab\0\0"s},        none,                {},                             "ab\0"s},
    FindCase{"Exactly1024",          RegValue{REG_SZ, k1024},            none,                {},                             k1024},
    FindCase{"Exactly1024WithZero",  Sz(k1023),                          none,                {},                             k1023},
    FindCase{"Over1024NotFound",     Sz(k1024),                          kLoc,                kLocFiles,                      kJoined},
    FindCase{"Dword261",             RegValue{REG_DWORD, {5, 1, 0, 0}},  kLoc,                kLocFiles,                      "261"},
    FindCase{"PathOfOtherType",      RegValue{REG_BINARY, kTool},        kLoc,                kLocFiles,                      ""},
    FindCase{"PathWithoutData",      kNoData,                            kLoc,                kLocFiles,                      {},           true},
    FindCase{"LocationJoined",       none,                               kLoc,                kLocFiles,                      kJoined},
    FindCase{"TrailingBackslash",    none,                               Sz("{tmp}\\loc\\"),  kLocFiles,                      kDoubled},
    FindCase{"ToolHidden",           none,                               kLoc,                InLoc(Kind::HiddenProgram),     {}},
    FindCase{"ToolSystemFile",       none,                               kLoc,                InLoc(Kind::SystemProgram),     {}},
    FindCase{"ToolIsAFolder",        none,                               kLoc,                InLoc(Kind::Folder),            {}},
    FindCase{"ToolMissing",          none,                               kLoc,                {{"bin\\tool.exe", kProgram}},  {}},
    FindCase{"FolderUnsearchable",   none,                               kLongFolder,         {},                             {},           true},
    FindCase{"LocationWithoutData",  none,                               kNoData,             kLocFiles,                      {},           true},
    FindCase{"NeitherValue",         none,                               none,                kBothFiles,                     {}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// StartSysInfo from end to end: the registry, the files and the started program all real.

struct LaunchCase {
    const char* name;
    std::optional<RegValue> path;
    std::optional<RegValue> location;
    Files files;
    std::string ran;      // the program copy that reports; every other copy must not
    std::string argument; // the first argument it reports
};

void PrintTo(const LaunchCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowsStartSysInfo : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(WindowsStartSysInfo, StartsTheToolOrShowsTheOneMessage) {
    const LaunchCase& c = GetParam();
    const Machine machine(c.path, c.location, c.files);
    for (const std::string& program : machine.programs) {
        std::ofstream(program + ".hold").put('\n');
    }

    std::vector<std::string> messages;
    DesktopLauncher desktop;
    // noexcept: a fault that escaped would end the test program
    StartSysInfo(desktop, [&](std::string_view text) { messages.emplace_back(text); });

    EXPECT_EQ(messages, c.ran.empty() ? std::vector{kUnavailable} : std::vector<std::string>{});
    for (const std::string& program : machine.programs) {
        EXPECT_FALSE(Exists(program + ".ran")) << "returns without waiting for " << program;
        DeleteFileA((program + ".hold").c_str());
    }
    const std::string ran = c.ran.empty() ? "" : machine.tmp.path + "\\" + c.ran;
    if (!ran.empty()) {
        const std::vector<std::string> expected = {
            "module " + FullPath(ran), "argument " + Expand(c.argument, machine.tmp.path),
            "window style 1"};
        EXPECT_EQ(WaitForReport(ran), expected);
    }
    for (const std::string& program : machine.programs) {
        if (program != ran) {
            EXPECT_FALSE(Exists(program + ".ran")) << program << " must not run";
        }
    }
}

// The path is the program's name as well as its quoted first argument: "run me.exe" runs, not
// "run.exe" or "tool.exe" that a cut at a space would name.
const std::string kSpaced = "{tmp}\\tool dir\\run me.exe";
const Files kSpacedFiles = {
    {"tool dir\\run me.exe", kProgram}, {"tool.exe", kProgram}, {"tool dir\\run.exe", kProgram}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, WindowsStartSysInfo, ::testing::Values(
    //         name                  PATH                            MSINFO               files          ran                      argument
    LaunchCase{"PathStarted",        Sz(kTool),                      kLoc,                kBothFiles,    "bin\\tool.exe",         kTool},
    LaunchCase{"PathWithSpaces",     Sz(kSpaced),                    none,                kSpacedFiles,  "tool dir\\run me.exe",  kSpaced},
    LaunchCase{"PathMissingFile",    Sz("{tmp}\\bin\\missing.exe"),  kLoc,                kBothFiles,    "",                      ""},
    LaunchCase{"PathOfOtherType",    RegValue{REG_BINARY, kTool},    kLoc,                kBothFiles,    "",                      ""},
    LaunchCase{"PathWithoutData",    kNoData,                        kLoc,                kLocFiles,     "",                      ""},
    LaunchCase{"LocationJoined",     none,                           kLoc,                kLocFiles,     "loc\\MSINFO32.EXE",     kJoined},
    LaunchCase{"TrailingBackslash",  none,                           Sz("{tmp}\\loc\\"),  kLocFiles,     "loc\\MSINFO32.EXE",     kDoubled},
    LaunchCase{"NeitherValue",       none,                           none,                kBothFiles,    "",                      ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
