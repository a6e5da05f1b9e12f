#include "character.h"

#include "inputnames.h"
#include "numbers.h"
#include "spelltable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace runetally {
namespace {

constexpr std::string_view kFormat = "runetally-character";
// Version 2 adds {"text": ...} for a text that is no number where it was typed but would be
// read as one.
constexpr std::uint64_t kVersion = 2;

// Only the separator changes, so the text keeps its own digits, spaces, sign and exponent.
std::string WithSeparator(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

// The length of valid UTF-8 in UTF-16 code units, or nothing when `text` is no UTF-8.
std::optional<std::size_t> Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1, code = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3, code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4, code = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > text.size()) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond U+10FFFF are no UTF-8.
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) {
            return std::nullopt;
        }
        units += code >= 0x10000 ? 2 : 1;
        i += length;
    }
    return units;
}

// A name from the file, cut to 40 characters so that the message stays one readable line.
std::string Quote(std::string_view name) {
    std::size_t end = 0;
    for (int characters = 0; end < name.size() && characters < 40; ++characters) {
        ++end;
        while (end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return "'" + std::string(name.substr(0, end)) + (end < name.size() ? "...'" : "'");
}

// Whether the text holds a character that no box shows: U+0000 to U+001F and U+007F. A front end
// would drop or change it, so that what it shows is not what the file says.
bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// The input's text as the file stores it: a string, or from version 2 an object whose "text"
// is a string. Nothing for anything else.
const std::string* StoredText(const nlohmann::json& input, std::uint64_t version) {
    if (input.is_string()) {
        return &input.get_ref<const std::string&>();
    }
    if (version >= 2 && input.is_object()) {
        const auto text = input.find("text");
        if (text != input.end() && text->is_string()) {
            return &text->get_ref<const std::string&>();
        }
    }
    return nullptr;
}

// Takes every value as it comes: a parse with it tells whether the text starts with one whole
// JSON value.
struct AnyValue {
    using json = nlohmann::json;
    bool null() { return true; }
    bool boolean(bool) { return true; }
    bool number_integer(json::number_integer_t) { return true; }
    bool number_unsigned(json::number_unsigned_t) { return true; }
    bool number_float(json::number_float_t, const json::string_t&) { return true; }
    bool string(json::string_t&) { return true; }
    bool binary(json::binary_t&) { return true; }
    bool start_object(std::size_t) { return true; }
    bool key(json::string_t&) { return true; }
    bool end_object() { return true; }
    bool start_array(std::size_t) { return true; }
    bool end_array() { return true; }
    bool parse_error(std::size_t, const std::string&, const json::exception&) { return false; }
};

// The version as a whole number, or nothing when it is none or below 1.
std::optional<std::uint64_t> VersionOf(const nlohmann::json& version) {
    if (version.is_number_unsigned()) {
        return version.get<std::uint64_t>();
    }
    if (version.is_number_integer() && version.get<std::int64_t>() >= 1) {
        return static_cast<std::uint64_t>(version.get<std::int64_t>());
    }
    return std::nullopt;
}

// nlohmann's parser keeps the last of two members with one name; the file is refused instead.
struct DuplicateFinder {
    std::vector<std::set<std::string>> objects;
    std::string duplicate;

    bool operator()(int /*depth*/, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
        using Event = nlohmann::json::parse_event_t;
        if (event == Event::object_start) {
            objects.emplace_back();
        } else if (event == Event::object_end) {
            objects.pop_back();
        } else if (event == Event::key && !objects.empty()) {
            const std::string& key = parsed.get_ref<const std::string&>();
            if (!objects.back().insert(key).second && duplicate.empty()) {
                duplicate = key;
            }
        }
        return true;
    }
};

// What is wrong with the parsed file, or nothing; `newer` is set for a newer version.
std::string Problem(const nlohmann::json& file, Character& character, char separator,
                    std::optional<std::uint64_t>& newer) {
    if (!file.is_object()) {
        return "it holds no JSON object";
    }
    const auto format = file.find("format");
    if (format == file.end()) {
        return "'format' is missing";
    }
    if (!format->is_string() || format->get_ref<const std::string&>() != kFormat) {
        return "'format' is not \"runetally-character\"";
    }
    const auto version = file.find("version");
    if (version == file.end()) {
        return "'version' is missing";
    }
    const std::optional<std::uint64_t> number = VersionOf(*version);
    if (!number || *number == 0) {
        return "'version' is not a version number";
    }
    if (*number > kVersion) {
        newer = number; // it may mean anything else, so nothing more of it is read
        return "newer";
    }
    const auto spell = file.find("spell");
    if (spell == file.end()) {
        return "'spell' is missing";
    }
    if (!spell->is_string()) {
        return "'spell' is not text";
    }
    const std::string& spellName = spell->get_ref<const std::string&>();
    if (!spellName.empty() && !FindSpell(spellName)) {
        return "'spell' names no known spell";
    }
    character.spellName = spellName;
    const auto inputs = file.find("inputs");
    if (inputs == file.end()) {
        return "'inputs' is missing";
    }
    if (!inputs->is_object()) {
        return "'inputs' is not an object";
    }
    for (const InputName& input : InputNames) {
        const auto member = inputs->find(std::string(input.name));
        if (member == inputs->end()) {
            return Quote(input.name) + " is missing from 'inputs'";
        }
        const std::string* found = StoredText(*member, *number);
        if (found == nullptr) {
            return Quote(input.name) + " in 'inputs' is not text";
        }
        const std::string& stored = *found;
        if (Utf16Length(stored).value_or(0) > kMaxCharacterInputLength) {
            return Quote(input.name) + " in 'inputs' is longer than 32767 characters";
        }
        if (HasControlCharacter(stored)) {
            return Quote(input.name) + " in 'inputs' holds a control character";
        }
        // An object's text is shown as it stands, whatever it looks like.
        character.text(input.field) = member->is_string() && ParseNumber(stored, '.')
                                          ? WithSeparator(stored, '.', separator)
                                          : stored;
    }
    return {};
}

} // namespace

std::optional<std::string_view> InputWithControlCharacter(const Character& character) {
    for (const InputName& input : InputNames) {
        if (HasControlCharacter(character.text(input.field))) {
            return input.name;
        }
    }
    return std::nullopt;
}

std::string NotACharacterMessage(std::string_view fileName, std::string_view problem) {
    return std::string(fileName) + " is not a Runetally character: " + std::string(problem);
}

std::string CouldNotOpenMessage(std::string_view fileName, std::string_view reason) {
    return "Could not open " + std::string(fileName) + ": " + std::string(reason);
}

std::string CouldNotSaveMessage(std::string_view fileName, std::string_view reason) {
    return "Could not save " + std::string(fileName) + ": " + std::string(reason);
}

std::string CharacterFileText(const Character& character, char separator) {
    nlohmann::ordered_json inputs = nlohmann::ordered_json::object();
    for (const InputName& input : InputNames) {
        const std::string& text = character.text(input.field);
        nlohmann::ordered_json& stored = inputs[std::string(input.name)];
        if (ParseNumber(text, separator)) {
            stored = WithSeparator(text, separator, '.');
        } else if (ParseNumber(text, '.')) {
            // "2.5" where ',' is the separator: no number here, so none for any reader.
            stored = nlohmann::ordered_json::object({{"text", text}});
        } else {
            stored = text;
        }
    }
    nlohmann::ordered_json file = nlohmann::ordered_json::object();
    file["format"] = kFormat;
    file["version"] = kVersion;
    file["spell"] = character.spellName;
    file["inputs"] = std::move(inputs);
    // Bytes that are no UTF-8 become U+FFFD rather than an exception: the file always opens.
    return file.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

std::variant<Character, std::string> ReadCharacterText(std::string_view bytes,
                                                       std::string_view fileName, char separator) {
    const auto bad = [&](std::string_view problem) {
        return NotACharacterMessage(fileName, problem);
    };
    if (bytes.size() > kMaxCharacterFileBytes) {
        return bad("it is larger than 64 KiB");
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3); // as some editors save UTF-8
    }
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return bad("it is empty");
    }
    if (!Utf16Length(bytes)) {
        return bad("it is not UTF-8 text");
    }
    DuplicateFinder duplicates;
    const nlohmann::json file =
        nlohmann::json::parse(bytes.begin(), bytes.end(), std::ref(duplicates), false);
    if (file.is_discarded()) {
        AnyValue any;
        const bool oneValueFirst = nlohmann::json::sax_parse(
            bytes.begin(), bytes.end(), &any, nlohmann::json::input_format_t::json, false);
        return bad(oneValueFirst ? "it holds more than one JSON value" : "it is not JSON");
    }
    // nlohmann's parser takes a NUL byte for the end of the text, and no JSON value holds one:
    // whatever follows it was never read.
    if (bytes.find('\0') != std::string_view::npos) {
        return bad("it holds more than one JSON value");
    }
    if (!duplicates.duplicate.empty()) {
        return bad(Quote(duplicates.duplicate) + " appears more than once");
    }
    Character character;
    std::optional<std::uint64_t> newer;
    const std::string problem = Problem(file, character, separator, newer);
    if (newer) {
        return std::string(fileName) + " was made by a newer Runetally (version " +
               std::to_string(*newer) + ")";
    }
    if (!problem.empty()) {
        return bad(problem);
    }
    return character;
}

} // namespace runetally
