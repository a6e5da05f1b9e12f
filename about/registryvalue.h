#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace runetally {

// Registry value type codes.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// Raised for a value that holds no data at all: it has no last byte to look at.
class RegistryValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A registry value's data as the launcher reads it, one character per byte. One terminating
// zero at most is dropped; a REG_SZ is then its text, a REG_DWORD its number in decimal, and any
// other type empty text. Throws RegistryValueError for data of size 0.
std::string RegistryValueText(std::uint32_t type, std::string_view data);

} // namespace runetally
