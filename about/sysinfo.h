#pragma once

#include "sysinfoplatform.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace runetally {

// Raised when a registry value cannot be read back at all (a value with no data).
class SysInfoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The message every failure of StartSysInfo ends in.
inline constexpr std::string_view kSysInfoUnavailable =
    "System Information Is Unavailable At This Time";

// Finds the system-information tool through the registry and starts it, or shows
// kSysInfoUnavailable. Reports every failure itself and never throws.
void StartSysInfo(SysInfoPlatform& platform) noexcept;

// Reads the value subKeyRef of the key keyName under keyRoot into keyVal as text. Returns false,
// with keyVal emptied, when the key cannot be opened or the value cannot be read. Throws
// SysInfoError for a value with no data. The key is closed on every way out.
bool GetKeyValue(SysInfoPlatform& platform, const std::uint32_t& keyRoot,
                 const std::string& keyName, const std::string& subKeyRef, std::string& keyVal);

// General formatting of a text: "&h" followed by hexadecimal digits gives the number's
// unsigned decimal value; any other text, or a number beyond 64 bits, comes back unchanged.
std::string FormatGeneral(std::string_view text);

} // namespace runetally
