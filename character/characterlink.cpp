#include "characterlink.h"

#include <array>
#include <cstdint>

namespace runetally {
namespace {

constexpr std::string_view kPrefix = "c=";
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string Encode(std::string_view bytes) {
    std::string out;
    std::uint32_t bits = 0;
    int held = 0;
    for (unsigned char byte : bytes) {
        bits = (bits << 8) | byte;
        held += 8;
        while (held >= 6) {
            held -= 6;
            out += kAlphabet[(bits >> held) & 0x3F];
        }
    }
    if (held > 0) {
        out += kAlphabet[(bits << (6 - held)) & 0x3F];
    }
    return out;
}

std::optional<std::string> Decode(std::string_view text) {
    while (!text.empty() && text.back() == '=') {
        text.remove_suffix(1);
    }
    if (text.size() % 4 == 1) {
        return std::nullopt; // six bits cannot end a byte
    }
    std::string out;
    std::uint32_t bits = 0;
    int held = 0;
    for (char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out += static_cast<char>((bits >> held) & 0xFF);
        }
    }
    return out;
}

} // namespace

std::string CharacterLinkFragment(const Character& character, char separator) {
    return std::string(kPrefix) + Encode(CharacterFileText(character, separator));
}

std::optional<std::string> LinkedCharacterText(std::string_view fragment) {
    if (!fragment.starts_with(kPrefix)) {
        return std::nullopt;
    }
    fragment.remove_prefix(kPrefix.size());
    if (std::optional<std::string> bytes = Decode(fragment)) {
        return bytes;
    }
    return std::string(fragment);
}

} // namespace runetally
