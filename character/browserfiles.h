#pragma once

#include <span>
#include <string>
#include <string_view>

namespace runetally {

// In a browser the page reads only the files that the player gives it, and saving one downloads
// it. The page keeps a copy of each, by its name, in the browser's local storage: that copy is
// the file that OpenCharacter reads, whose loss CharacterFileIsGone reports, and that a recent
// item opens again.

// Keeps the bytes of a file the player gave the page, picked or dropped or in a link.
void KeepGivenFile(const std::string& name, std::string_view bytes);

// Lets go of every kept copy but those of these files.
void ForgetFilesBut(std::span<const std::string> names);

} // namespace runetally
