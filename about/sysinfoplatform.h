#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runetally {

// A registry key handle as the launcher sees it: a 32-bit value, 0 when no key is open.
using RegKey = std::uint32_t;

inline constexpr RegKey kHkeyLocalMachine = 0x80000002;

// The predefined roots, HKEY_CLASSES_ROOT to HKEY_CURRENT_CONFIG: no backend hands these out.
inline constexpr bool IsPredefinedRoot(RegKey key) {
    return key >= 0x80000000u && key <= 0x80000006u;
}

// Where the system-information tool is named: its full path, or else the folder that holds it.
inline constexpr std::string_view kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kToolValue = "PATH";
inline constexpr std::string_view kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kLocationValue = "MSINFO";

// Access rights: read only. Write rights are refused to most users on machine-wide keys.
inline constexpr std::uint32_t kKeyRead = 0x20019;

// Result codes of the registry operations, as advapi32 gives them.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorMoreData = 234;

// Registry value type codes.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Window style for a started program: a normal window that takes the focus.
inline constexpr int kSwShowNormal = 1;

// What the system-information launcher needs from the operating system. The registry
// operations keep the advapi32 meaning of their arguments and results, so the launcher reads
// the same bytes whichever backend stands behind it.
class SysInfoPlatform {
public:
    virtual ~SysInfoPlatform() = default;

    // Opens keyName under root (a predefined root or an open key) with the access asked for.
    // On kErrorSuccess, key holds the open handle; otherwise it is left 0.
    virtual std::int32_t OpenKey(RegKey root, const std::string& keyName, std::uint32_t options,
                                 std::uint32_t access, RegKey& key) = 0;

    // Reads the value valueName of an open key into data, whose size is dataSize on entry.
    // Sets type and dataSize (the bytes the value holds) when the value exists. Data longer
    // than the buffer gives kErrorMoreData; a missing value gives kErrorFileNotFound.
    virtual std::int32_t QueryValue(RegKey key, const std::string& valueName, std::uint32_t& type,
                                    unsigned char* data, std::uint32_t& dataSize) = 0;

    virtual std::int32_t CloseKey(RegKey key) = 0;

    // The name of the first ordinary file (not hidden, not system, not a directory) that matches
    // path, or empty text when none does. Throws when the path cannot be searched at all.
    virtual std::string FindFile(const std::string& path) = 0;

    // Starts program as a process of its own and returns at once; the whole text is the
    // program's path. Throws when the program cannot be started.
    virtual void StartProgram(const std::string& program, int windowStyle) = 0;

    // A modal message box with an OK button alone, no icon and the application's title.
    virtual void ShowMessage(const std::string& text) = 0;
};

} // namespace runetally
