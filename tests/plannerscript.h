#pragma once

#include "character.h"
#include "fakeplanner.h"
#include "plannercommands.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// A planner session written down a step a line, for the fuzz target and the bench. The first
// ten lines are the main window's boxes, level, int, wis, resist, light, earth, fire, air, water
// and dark, and the eleventh is the step; the planner then follows the main window. Each later
// line is one thing the player does, named by its first character:
//   b<n>=<text>  types the text into box n (in the order above), which the planner follows
//   n<name>      selects that spell in the main window
//   d<c>         makes c the decimal separator: "," or else "."
//   i<n>         chooses the n-th input in the drop-down
//   t<text>      types the text into the step box
//   s<n>         clicks the caption of column n
//   r<n>         selects row n of the spell table
//   c<texts>     compares with B, whose ten inputs are these texts between '|'; "c" alone
//                cancels the dialog
//   g<bytes>     compares with a file of these bytes
//   x            stops comparing
//   y<n>         copies what control n shows
//   z<w>,<h>     resizes the chart to that many twips
// A line that is none of these is passed over; missing boxes keep the window's start values.
class PlannerScript {
public:
    // B's files are written to `comparedPath`.
    explicit PlannerScript(std::string comparedPath) : path_(std::move(comparedPath)) {
        const char* start[] = {"99", "100", "100", "100", "100", "100", "100", "100", "100", "100"};
        for (int f = 0; f < kFieldCount; ++f) {
            inputs_.text(static_cast<Field>(f)) = start[f];
        }
        inputs_.spellName = "Meteor";
    }

    // Plays the script; `after` is called after the planner first follows, and after each step.
    template <class After> void play(std::string_view script, After after) {
        std::vector<std::string_view> lines;
        while (!script.empty()) {
            const std::size_t end = std::min(script.find('\n'), script.size());
            lines.push_back(script.substr(0, end));
            script.remove_prefix(std::min(end + 1, script.size()));
        }
        std::size_t line = 0;
        for (; line < lines.size() && line < kFieldCount; ++line) {
            inputs_.text(static_cast<Field>(line)) = std::string(lines[line]);
        }
        if (line < lines.size()) {
            view.form.texts[PlannerControl::txtStep] = std::string(lines[line++]);
        }
        commands.follow(inputs_);
        after();
        for (; line < lines.size(); ++line) {
            if (!lines[line].empty()) {
                step(lines[line].front(), lines[line].substr(1));
                after();
            }
        }
    }

    // The main window's inputs as the script left them.
    const SpellInputs& inputs() const { return inputs_; }

    // Called as each step hands over to the planner, once the script's own work for it (writing
    // B's file) is done: a bench times from here.
    std::function<void()> ready = [] {};

    FakePlanner view;
    PlannerCommands commands{view.form, view.platform};

private:
    static int Number(std::string_view text) {
        int n = 0;
        std::from_chars(text.data(), text.data() + text.size(), n);
        return n;
    }

    void compare(const std::string& file) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << file;
        ready();
        view.platform.toOpen = path_;
        commands.click(PlannerControl::cmdCompare);
    }

    void step(char what, std::string_view rest) {
        if (what != 'c' && what != 'g') {
            ready();
        }
        switch (what) {
        case 'b': {
            const std::size_t equals = std::min(rest.find('='), rest.size());
            const int box = Number(rest.substr(0, equals));
            if (box >= 0 && box < kFieldCount) {
                inputs_.text(static_cast<Field>(box)) =
                    std::string(rest.substr(std::min(equals + 1, rest.size())));
                commands.follow(inputs_);
            }
            break;
        }
        case 'n':
            inputs_.spellName = std::string(rest);
            commands.follow(inputs_);
            break;
        case 'd':
            view.platform.separator = rest == "," ? ',' : '.';
            commands.follow(inputs_);
            break;
        case 'i':
            view.form.chosen[PlannerControl::cboInput] = Number(rest);
            commands.change(PlannerControl::cboInput);
            break;
        case 't':
            view.form.texts[PlannerControl::txtStep] = std::string(rest);
            commands.change(PlannerControl::txtStep);
            break;
        case 's':
            commands.sort(PlannerControl::lvwSpells, Number(rest));
            break;
        case 'r':
            view.form.chosen[PlannerControl::lvwSpells] = Number(rest);
            commands.change(PlannerControl::lvwSpells);
            break;
        case 'c': {
            if (rest.empty()) {
                ready();
                view.platform.toOpen.reset();
                commands.click(PlannerControl::cmdCompare);
                break;
            }
            Character b = inputs_;
            for (int f = 0; f < kFieldCount; ++f) {
                const std::size_t bar = std::min(rest.find('|'), rest.size());
                b.text(static_cast<Field>(f)) = std::string(rest.substr(0, bar));
                rest.remove_prefix(std::min(bar + 1, rest.size()));
            }
            compare(CharacterFileText(b, '.'));
            break;
        }
        case 'g':
            compare(std::string(rest));
            break;
        case 'x':
            commands.click(PlannerControl::cmdStopCompare);
            break;
        case 'y':
            commands.copy(static_cast<PlannerControl>(Number(rest) & 15));
            break;
        case 'z': {
            const std::size_t comma = std::min(rest.find(','), rest.size());
            view.form.size = {Number(rest.substr(0, comma)),
                              Number(rest.substr(std::min(comma + 1, rest.size())))};
            commands.picChart_Resize();
            break;
        }
        default:
            break;
        }
    }

    std::string path_;
    SpellInputs inputs_;
};

} // namespace runetally
