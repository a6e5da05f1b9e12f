// A browser's side of character files: the page's own copies in local storage, and a download
// for each save (browserfiles.h).
#include "browserfiles.h"
#include "filestore.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace runetally {
namespace {

// Each byte of a file is one character of the stored text, so that any bytes come back as
// they were, UTF-8 or not. Storage may be refused (private modes, a full quota): reading then
// finds nothing. Keeping gives null once the copy is kept, else why not in memory the caller
// frees: the browser's words, or empty text for a full storage.
// clang-format off
EM_JS(char*, StoreCopy, (const char* name, const unsigned char* bytes, int size), {
    var key = "runetally.file:" + UTF8ToString(name);
    var text = "";
    for (var i = 0; i < size; ++i) text += String.fromCharCode(HEAPU8[bytes + i]);
    try {
        localStorage.setItem(key, text);
        return 0;
    } catch (e) {
        // An older copy would open in the file's place, as if it were the file.
        try { localStorage.removeItem(key); } catch (ignored) {}
        var full = e.name === "QuotaExceededError" || e.name === "NS_ERROR_DOM_QUOTA_REACHED";
        var said = full ? "" : String(e.message || e);
        var length = lengthBytesUTF8(said) + 1;
        var words = _malloc(length);
        stringToUTF8(said, words, length);
        return words;
    }
});

// The copy's bytes in memory the caller frees, their count in *size; null when there is none.
EM_JS(unsigned char*, LoadCopy, (const char* name, int* size), {
    var text = null;
    try { text = localStorage.getItem("runetally.file:" + UTF8ToString(name)); } catch (e) {}
    if (text === null) return 0;
    var bytes = _malloc(text.length + 1);
    for (var i = 0; i < text.length; ++i) HEAPU8[bytes + i] = text.charCodeAt(i);
    HEAP32[size >> 2] = text.length;
    return bytes;
});

// Names arrive as one text, each followed by a '/', which no file name holds.
EM_JS(void, ForgetCopiesBut, (const char* names, int size), {
    var keep = {};
    var list = UTF8ToString(names, size).split("/");
    for (var i = 0; i < list.length; ++i) keep["runetally.file:" + list[i]] = true;
    try {
        for (var k = localStorage.length - 1; k >= 0; --k) {
            var key = localStorage.key(k);
            if (key.indexOf("runetally.file:") === 0 && !keep[key]) localStorage.removeItem(key);
        }
    } catch (e) {}
});

EM_JS(void, Download, (const char* name, const unsigned char* bytes, int size), {
    var blob = new Blob([HEAPU8.slice(bytes, bytes + size)], {type: "application/octet-stream"});
    var link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = UTF8ToString(name);
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
});
// clang-format on

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

struct Given {
    GivenFile file;
    bool read = false; // by OpenCharacter
};

// The files given to the commands running now, the innermost last.
std::vector<Given>& GivenFiles() {
    static std::vector<Given> given;
    return given;
}

Given* GivenAs(const std::string& name) {
    std::vector<Given>& given = GivenFiles();
    return !given.empty() && given.back().file.name == name ? &given.back() : nullptr;
}

std::function<void(const std::string&)>& Teller() {
    static std::function<void(const std::string&)> tell;
    return tell;
}

void KeepCopy(const std::string& name, std::string_view bytes) {
    const std::unique_ptr<char, decltype(&std::free)> problem(
        StoreCopy(name.c_str(), Bytes(bytes), static_cast<int>(bytes.size())), &std::free);
    if (problem == nullptr || !Teller()) {
        return;
    }
    const std::string reason = *problem ? problem.get() : "its storage is full";
    Teller()("Could not keep a copy of " + FileNameOf(name) + " in this browser: " + reason);
}

} // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsGone(const std::string& path) {
    if (GivenAs(path) != nullptr) {
        return false;
    }
    int size = 0;
    const std::unique_ptr<unsigned char, decltype(&std::free)> copy(LoadCopy(path.c_str(), &size),
                                                                    &std::free);
    return copy == nullptr;
}

ReadBytes ReadAtMost(const std::string& path, std::size_t limit) {
    if (Given* given = GivenAs(path)) {
        given->read = true;
        return {.ok = true, .bytes = given->file.bytes.substr(0, limit)};
    }
    int size = 0;
    const std::unique_ptr<unsigned char, decltype(&std::free)> copy(LoadCopy(path.c_str(), &size),
                                                                    &std::free);
    if (copy == nullptr) {
        return {.ok = false, .bytes = {}, .reason = "this browser keeps no copy of it"};
    }
    const auto length = std::min(static_cast<std::size_t>(size), limit);
    return {.ok = true, .bytes = std::string(reinterpret_cast<const char*>(copy.get()), length)};
}

std::string ReplaceFileContents(const std::string& path, std::string_view bytes) {
    // The download is the save; a copy that cannot be kept does not undo it.
    Download(FileNameOf(path).c_str(), Bytes(bytes), static_cast<int>(bytes.size()));
    KeepCopy(path, bytes);
    return {};
}

// A save downloads a new file and replaces none, so there is no change made elsewhere to find.
std::optional<FileStamp> FileStampOf(const std::string&) {
    return std::nullopt;
}

GivenFileOpening::GivenFileOpening(GivenFile file) {
    GivenFiles().push_back({.file = std::move(file)});
}

GivenFileOpening::~GivenFileOpening() {
    GivenFiles().pop_back();
}

void KeepCopiesOf(std::span<const std::string> names) {
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '/';
    }
    // Others go first, to make room.
    ForgetCopiesBut(list.c_str(), static_cast<int>(list.size()));
    // A save under the given file's name, before the window reads the file, puts the name first
    // too: only a file read is taken in.
    Given* given = names.empty() ? nullptr : GivenAs(names.front());
    if (given != nullptr && given->read) {
        given->read = false;
        KeepCopy(given->file.name, given->file.bytes);
    }
}

void WhenCopyNotKept(std::function<void(const std::string& message)> tell) {
    Teller() = std::move(tell);
}

} // namespace runetally
