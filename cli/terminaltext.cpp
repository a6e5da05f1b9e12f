#include "terminaltext.h"

namespace runetally {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool Continues(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return byte >= low && byte <= high;
}

// The character at the start of `text` and how many bytes it takes. A sequence that is no UTF-8
// gives one U+FFFD for its longest well-formed start (at least one byte), as Unicode recommends,
// so that a broken sequence never swallows the character after it.
char32_t Decode(std::string_view text, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    length = 1;
    if (lead < 0x80) {
        return lead;
    }
    std::size_t size = 0;
    unsigned char low = 0x80; // the second byte's range; it rules out overlong forms and surrogates
    unsigned char high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return kReplacement;
    }
    for (std::size_t i = 1; i < size; ++i) {
        if (i >= text.size() || !Continues(byte(i), i == 1 ? low : 0x80, i == 1 ? high : 0xBF)) {
            return kReplacement;
        }
        value = value << 6 | (byte(i) & 0x3F);
        length = i + 1;
    }
    return value;
}

bool MustEscape(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

void Append(std::string& out, char32_t c) {
    if (MustEscape(c)) {
        constexpr char kHex[] = "0123456789ABCDEF";
        out += "\\u{";
        for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) {
            out += kHex[(c >> shift) & 0xF];
        }
        out += '}';
    } else if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string TerminalText(std::string_view text, std::size_t longest) {
    std::string out;
    for (std::size_t count = 0; !text.empty(); ++count) {
        if (count == longest) {
            return out + "...";
        }
        std::size_t length = 0;
        Append(out, Decode(text, length));
        text.remove_prefix(length);
    }
    return out;
}

std::string Quoted(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    return '\'' + TerminalText(text, kLongest) + '\'';
}

} // namespace runetally
