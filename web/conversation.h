#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace runetally::web {

// What a command may wait for the player to give it.
enum class Wait { Answer, FileToOpen, NameToSave, Count };

// Runs the windows' commands, which ask their platform and expect the answer at once, in a page
// that cannot wait for the player. The platform, asked something the player has not answered yet,
// shows the question and gives the command what cancelling gives it; the command then ends as it
// does when cancelled, having changed nothing yet. Once the player answers, the command runs again
// from the start, and each question it asks on the way gets, at once, the answer given to it
// before.
class Conversation {
public:
    // Runs a command of its own, forgetting the answers to any other.
    void start(std::function<void()> command);

    // The answer to the command's next question of that kind, if the player gave one.
    std::optional<std::string> given(Wait kind);

    // What a question shown now calls with the player's answer: the command runs again. An
    // answer that comes after another command started is ignored.
    std::function<void(std::string)> resume(Wait kind);

private:
    void run();

    std::function<void()> command_;
    std::array<std::vector<std::string>, static_cast<std::size_t>(Wait::Count)> answers_;
    std::array<std::size_t, static_cast<std::size_t>(Wait::Count)> asked_{};
    unsigned generation_ = 0;
};

} // namespace runetally::web
