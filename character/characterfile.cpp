#include "characterfile.h"

#include "filestore.h"

#include <algorithm>

namespace runetally {

std::variant<Character, std::string> OpenCharacter(const std::string& path, char separator) {
    const std::string name = FileNameOf(path);
    // One byte past the limit tells a file that is too large without reading all of it.
    ReadBytes read = ReadAtMost(path, kMaxCharacterFileBytes + 1);
    if (!read.ok) {
        return CouldNotOpenMessage(name, read.reason);
    }
    return ReadCharacterText(read.bytes, name, separator);
}

bool CharacterFileIsGone(const std::string& path) {
    return IsGone(path);
}

std::string CharacterName(const std::string& path) {
    std::string name = FileNameOf(path);
    if (name.size() > kCharacterExtension.size() && name.ends_with(kCharacterExtension)) {
        name.resize(name.size() - kCharacterExtension.size());
    }
    return name;
}

bool HasCharacterExtension(std::string_view path) {
    if (path.size() < kCharacterExtension.size()) {
        return false;
    }
    const std::string_view end = path.substr(path.size() - kCharacterExtension.size());
    return std::equal(end.begin(), end.end(), kCharacterExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

std::optional<std::string> SaveCharacter(const std::string& path, const Character& character,
                                         char separator) {
    const std::string text = CharacterFileText(character, separator);
    // A file that could not be opened again would be worse than none.
    if (text.size() > kMaxCharacterFileBytes) {
        return CouldNotSaveMessage(FileNameOf(path), "the character is larger than 64 KiB");
    }
    if (const auto input = InputWithControlCharacter(character)) {
        return CouldNotSaveMessage(FileNameOf(path),
                                   "'" + std::string(*input) + "' holds a control character");
    }
    if (std::string reason = ReplaceFileContents(path, text); !reason.empty()) {
        return CouldNotSaveMessage(FileNameOf(path), reason);
    }
    return std::nullopt;
}

} // namespace runetally
