#pragma once

#include "js.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

// The page's modal boxes, each a <dialog> captioned with the application's title. One shows at a
// time, in the order they were asked for; the focus goes back to where it was when each closes.
// A page cannot wait for the player, so each returns at once and tells its answer later.

struct DialogButton {
    std::string caption; // "&" marks the key that presses it, alone or with Alt
    std::string answer;  // what the box tells when the button closes it
};

struct DialogRequest {
    std::string text;
    std::vector<DialogButton> buttons; // the first has the focus unless a name box is shown
    std::string cancelAnswer;          // Esc
    std::optional<std::string> name;   // a name box, holding this text to start with
    std::string nameCaption = {};
    // Told the answer, and the name box's text.
    std::function<void(const std::string& answer, const std::string& name)> done = {};
};

void ShowDialog(DialogRequest request);

// A box with the text and an OK button alone.
void ShowMessage(std::string_view text);

// Whether a box is showing.
bool DialogShown();

// Runs what the dialog's events ask for; false for an event outside any box.
bool HandleDialogEvent(const std::string& type, const Js& event);

// Closes every box and forgets the ones asked for, telling none of their answers.
void CloseDialogs();

} // namespace runetally::web
