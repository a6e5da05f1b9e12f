#pragma once

#include "js.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

struct DialogButton {
    std::string caption; // "&" marks the key that presses it, alone or with Alt
    std::string answer;  // what the box tells when the button closes it
};

struct DialogRequest {
    std::string text;
    std::vector<DialogButton> buttons;
    std::string cancelAnswer;        // Esc
    std::size_t byDefault = 0;       // the button with the focus, unless a name box is shown
    std::optional<std::string> name; // a name box, holding this text to start with
    std::string nameCaption = {};
    // Told the answer, and the name box's text.
    std::function<void(const std::string& answer, const std::string& name)> done = {};
};

// The page's modal boxes, each a <dialog> captioned with the application's title. One shows at a
// time, in the order they were asked for; the focus goes back to where it was when each closes.
// A page cannot wait for the player, so each returns at once and tells its answer later.
class Dialogs {
public:
    void show(DialogRequest request);
    // A box with the text and an OK button alone.
    void message(std::string_view text);
    bool shown() const;
    // Runs what the boxes' events ask for; false for an event outside any box.
    bool handle(const std::string& type, const Js& event);
    // Closes every box and forgets the ones asked for, telling none of their answers.
    void closeAll();

private:
    struct Shown {
        DialogRequest request;
        Js element = Js::null();
        Js returnFocus = Js::null();
    };

    void openNext();
    void closed();

    std::deque<DialogRequest> waiting_;
    std::optional<Shown> current_;
};

} // namespace runetally::web
