#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace runetally {

// The system's side of character files; each system has its own source.

// The last part of a path, as the player knows the file.
std::string FileNameOf(const std::string& path);

struct ReadBytes {
    bool ok = false;
    std::string bytes;  // at most `limit` bytes
    std::string reason; // the system's reason when not ok
};

// Whether nothing is at `path` (UTF-8) any more: neither the file nor, perhaps, its folder.
bool IsGone(const std::string& path);

// Reads at most `limit` bytes of the file at `path` (UTF-8). Only a regular file is read: a
// pipe, a device or a socket is refused at once, with kNotARegularFile as the reason, and a
// folder with the system's own words.
ReadBytes ReadAtMost(const std::string& path, std::size_t limit);
inline constexpr std::string_view kNotARegularFile = "it is not a regular file";

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`. Gives the system's reason on failure, after removing the temporary file; empty when
// the file was replaced.
//
// What the player did not ask to change stays: a link is followed and the file it names is
// replaced, beside which the temporary file is made; the new file takes the old one's owner,
// group and permissions where the system allows. A save that cannot keep them is refused rather
// than let them go: a file with more than one name (hard links), a read-only file on Windows,
// and one whose owner could no longer read or write it once it were this user's.
std::string ReplaceFileContents(const std::string& path, std::string_view bytes);

// Which file stands at a path and when it last changed: a save compares it with the one taken
// when the file was opened, to tell a change made elsewhere since.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0; // its number on the device
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path` (UTF-8), through links; nothing when no file is there, or
// where files carry no stamps (the page's copies).
std::optional<FileStamp> FileStampOf(const std::string& path);

// Why a file with more than one name is not saved, in the same words on every system: a new
// file would take this name alone, and writing the old one in place could leave it half written.
inline std::string HardLinksReason(std::uint64_t names) {
    return "it has " + std::to_string(names) +
           " names (hard links), and saving would part them; save it under another name with "
           "Save Character As...";
}

} // namespace runetally
