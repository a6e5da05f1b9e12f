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

// Reads at most `limit` bytes of the file at `path` (UTF-8).
ReadBytes ReadAtMost(const std::string& path, std::size_t limit);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`. Gives the system's reason on failure, after removing the temporary file; empty when
// the file was replaced.
std::string ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace runetally
