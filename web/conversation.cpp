#include "conversation.h"

#include <utility>

namespace runetally::web {

void Conversation::start(std::function<void()> command) {
    command_ = std::move(command);
    for (auto& answers : answers_) {
        answers.clear();
    }
    ++generation_;
    run();
}

std::optional<std::string> Conversation::given(Wait kind) {
    const auto k = static_cast<std::size_t>(kind);
    if (asked_[k] < answers_[k].size()) {
        return answers_[k][asked_[k]++];
    }
    return std::nullopt;
}

std::function<void(std::string)> Conversation::resume(Wait kind) {
    return [this, kind, generation = generation_](std::string answer) {
        if (generation != generation_) {
            return;
        }
        answers_[static_cast<std::size_t>(kind)].push_back(std::move(answer));
        run();
    };
}

void Conversation::run() {
    asked_ = {};
    // A copy: the command may start another.
    const std::function<void()> command = command_;
    if (command) {
        command();
    }
}

} // namespace runetally::web
