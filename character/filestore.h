#pragma once

#include <cstddef>
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
std::string ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace runetally
