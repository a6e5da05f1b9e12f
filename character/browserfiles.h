#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace runetally {

// In a browser the page reads only the files that the player gives it, and saving one downloads
// it. The page keeps a copy of each file on its recent list, by its name, in the browser's local
// storage: that copy is the file that OpenCharacter reads, whose loss CharacterFileIsGone
// reports, and that a recent item opens again.

// A file the player gave the page: picked, dropped or in a link.
struct GivenFile {
    std::string name;
    std::string bytes;
};

// While one lives, OpenCharacter reads the given file from its own bytes, never from a copy kept
// under its name, and nothing of it is kept: a file refused, compared or given up leaves no
// copy. Once a window has read it and the recent list takes it in, which is when a window opens
// it as its character, its copy is kept.
class GivenFileOpening {
public:
    explicit GivenFileOpening(GivenFile file);
    ~GivenFileOpening();
    GivenFileOpening(const GivenFileOpening&) = delete;
    GivenFileOpening& operator=(const GivenFileOpening&) = delete;
};

// The recent list now names these files, the latest first: lets go of every other copy, and
// keeps the given file's when the list has just taken it in.
void KeepCopiesOf(std::span<const std::string> names);

// How the page tells the player that a copy could not be kept (a save still downloads the file):
// "Could not keep a copy of thalia.rtchar in this browser: its storage is full".
void WhenCopyNotKept(std::function<void(const std::string& message)> tell);

} // namespace runetally
