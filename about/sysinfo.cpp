#include "sysinfo.h"

#include <array>
#include <cstddef>

namespace runetally {

namespace {

constexpr std::uint32_t kBufferSize = 1024;
constexpr const char* kToolFile = "\\MSINFO32.EXE";

// Closes the key however GetKeyValue is left, the error of a value with no data included.
class KeyCloser {
public:
    KeyCloser(SysInfoPlatform& platform, const RegKey& key) : platform_(platform), key_(key) {}
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;
    ~KeyCloser() {
        try {
            platform_.CloseKey(key_); // the result does not matter
        } catch (...) {
        }
    }

private:
    SysInfoPlatform& platform_;
    const RegKey& key_;
};

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

void AppendHexByte(std::string& text, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

} // namespace

std::string FormatGeneral(std::string_view text) {
    if (text.size() < 3 || text[0] != '&' || (text[1] != 'h' && text[1] != 'H')) {
        return std::string(text);
    }
    std::uint64_t value = 0;
    int significantDigits = 0;
    for (char c : text.substr(2)) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::string(text);
        }
        if (value != 0 || digit != 0) {
            ++significantDigits;
        }
        if (significantDigits > 16) {
            return std::string(text);
        }
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return std::to_string(value);
}

bool GetKeyValue(SysInfoPlatform& platform, const std::uint32_t& keyRoot,
                 const std::string& keyName, const std::string& subKeyRef, std::string& keyVal) {
    RegKey key = 0;
    const KeyCloser closer(platform, key);

    if (platform.OpenKey(keyRoot, keyName, 0, kKeyRead, key) != kErrorSuccess) {
        key = 0; // a failed open leaves nothing to close
        keyVal.clear();
        return false;
    }

    std::array<unsigned char, kBufferSize> buffer{};
    std::uint32_t valueType = 0;
    std::uint32_t dataSize = kBufferSize;
    if (platform.QueryValue(key, subKeyRef, valueType, buffer.data(), dataSize) != kErrorSuccess ||
        dataSize > kBufferSize) {
        keyVal.clear();
        return false;
    }
    if (dataSize == 0) {
        throw SysInfoError("registry value '" + subKeyRef + "' has no data");
    }

    // Drop one terminating zero at most: a value stored without one keeps every byte.
    const std::size_t kept = buffer[dataSize - 1] == 0 ? dataSize - 1 : dataSize;
    const std::string text(reinterpret_cast<const char*>(buffer.data()), kept);

    switch (valueType) {
    case kRegSz:
        keyVal = text;
        break;
    case kRegDword:
        // Least significant byte first in the data: walk backwards to write the number.
        for (std::size_t i = text.size(); i > 0; --i) {
            AppendHexByte(keyVal, static_cast<unsigned char>(text[i - 1]));
        }
        keyVal = FormatGeneral("&h" + keyVal);
        break;
    default:
        break; // found, but nothing the launcher can read as text
    }
    return true;
}

namespace {

// Finds and starts the tool; false when the registry names none that exists.
bool FindAndStartTool(SysInfoPlatform& platform) {
    const std::uint32_t root = kHkeyLocalMachine;
    std::string toolPath;
    if (!GetKeyValue(platform, root, std::string(kToolKey), std::string(kToolValue), toolPath)) {
        if (!GetKeyValue(platform, root, std::string(kLocationKey), std::string(kLocationValue),
                         toolPath)) {
            return false;
        }
        const std::string candidate = toolPath + kToolFile;
        if (platform.FindFile(candidate).empty()) {
            return false;
        }
        toolPath = candidate;
    }
    platform.StartProgram(toolPath, kSwShowNormal);
    return true;
}

} // namespace

void StartSysInfo(SysInfoPlatform& platform) noexcept {
    try {
        if (FindAndStartTool(platform)) {
            return;
        }
    } catch (...) {
        // Every failure, whatever raised it, ends in the one message below.
    }
    try {
        platform.ShowMessage(std::string(kSysInfoUnavailable));
    } catch (...) {
        // Nothing is left to tell the user with; the caller expects no error.
    }
}

} // namespace runetally
