// Reads values of any type, size and bytes as the launcher reads the registry's: nothing is read
// or written outside the data (AddressSanitizer watches), only data of size 0 is an error, and
// what comes back is the text less one terminating zero, a number, or empty text.
#include "registryvalue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace runetally;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::uint32_t type = data.ConsumeBool() ? data.ConsumeIntegralInRange(0u, 5u)
                                                  : data.ConsumeIntegral<std::uint32_t>();
    const std::string value = data.ConsumeRemainingBytesAsString();

    std::string text;
    try {
        text = RegistryValueText(type, value);
    } catch (const RegistryValueError&) {
        if (!value.empty()) {
            std::abort();
        }
        return 0;
    }
    const std::string trimmed = value.substr(0, value.size() - (value.back() == '\0'));
    // A number is its decimal value up to 64 bits, else "&h" and two hexadecimal digits a byte.
    const bool decimal = !text.empty() && text.size() <= 20 &&
                         text.find_first_not_of("0123456789") == std::string::npos;
    const bool hex = text.size() == 2 + 2 * trimmed.size() && text.rfind("&h", 0) == 0 &&
                     text.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos;
    const bool read = type == kRegSz      ? text == trimmed
                      : type == kRegDword ? decimal || hex
                                          : text.empty();
    if (!read) {
        std::abort();
    }
    return 0;
}
