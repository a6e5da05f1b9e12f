#include "registryvalue.h"

namespace runetally {

namespace {

// The bytes, least significant first, written as hexadecimal digits behind "&h" and given to
// general formatting: that makes the number in decimal while it fits in 64 bits, and leaves the
// text as it is beyond.
std::string DwordText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    std::uint64_t value = 0;
    bool fits = true;
    for (auto at = bytes.rbegin(); at != bytes.rend(); ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
        fits = fits && value >> 56 == 0;
        value = value << 8 | byte;
    }
    return hex.empty() || !fits ? "&h" + hex : std::to_string(value);
}

} // namespace

std::string RegistryValueText(std::uint32_t type, std::string_view data) {
    if (data.empty()) {
        throw RegistryValueError("the registry value has no data");
    }
    // Drop one terminating zero at most: a value stored without one keeps every byte.
    if (data.back() == '\0') {
        data.remove_suffix(1);
    }
    switch (type) {
    case kRegSz:
        return std::string(data);
    case kRegDword:
        return DwordText(data);
    default:
        return {}; // found, but nothing the launcher can read as text
    }
}

} // namespace runetally
