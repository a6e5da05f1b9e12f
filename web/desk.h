#pragma once

#include "dialogs.h"
#include "formdescription.h"
#include "js.h"

#include <functional>
#include <utility>
#include <vector>

namespace runetally::web {

class FormPage;

// The page as its windows share it: the windows in it, the one the player worked in last, which
// lies in front, whether the page has been drawn yet, and its modal boxes. A window's commands
// that may ask the player something run through it.
class Desk {
public:
    using Runner = std::function<void(std::function<void()>)>;
    explicit Desk(Runner run) : run_(std::move(run)) {}

    // Runs a window's command, which may wait for the player (conversation.h).
    void run(std::function<void()> command) const { run_(std::move(command)); }

    // The window that holds the element, or null.
    FormPage* of(const Js& element) const;
    // The window the player worked in last, or null.
    FormPage* active() const { return active_; }
    // Where a window opens, in CSS pixels from the page's top-left corner: where its description
    // puts it, else beside the page's first window where the page has room for both, else below.
    std::pair<double, double> placeFor(const FormDesc& form) const;
    // Fits every window to the screen's width again.
    void fitAll();
    // The page has been drawn once: the load steps and the focus, held back until then, go to
    // the windows. Giving the focus lays the page out; before the first paint it would hold the
    // paint back, and a load step that reads the browser's storage would too.
    void pageDrawn();
    bool drawn() const { return drawn_; }

    // What a window tells of itself.
    void opened(FormPage& form) { forms_.push_back(&form); }
    void closed(FormPage& form);
    // Runs the window's load step once the page has been drawn: now, or then.
    void load(FormPage& form);
    // The window the player works in now, in front of the others: the layer it goes to.
    int raise(FormPage& form);
    void worksIn(FormPage& form) { active_ = &form; }

    Dialogs dialogs;

private:
    Runner run_;
    std::vector<FormPage*> forms_; // in the order they opened
    std::vector<FormPage*> loading_;
    FormPage* active_ = nullptr;
    bool drawn_ = false;
    int topLayer_ = 0;
};

} // namespace runetally::web
