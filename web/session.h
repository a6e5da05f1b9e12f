#pragma once

#include "browserfiles.h"
#include "characterview.h"
#include "conversation.h"
#include "windowservices.h"

#include "js.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

class frmMain;
class frmAbout;
class frmPlanner;

// The page's one run of the program: its windows, the commands that wait for the player, the
// files the player gives it, and its end. Every browser event reaches the windows through it.
class Session {
public:
    static Session& Get();

    // Opens the main window, and the character in the page's address when it carries one.
    void start();
    void dispatch(const Js& event);

    FormInstance<frmMain>& main() { return main_; }
    FormInstance<frmAbout>& about() { return about_; }
    FormInstance<frmPlanner>& planner() { return planner_; }

    // Runs a window's command, which may wait for the player (conversation.h), and the file the
    // player gave for it to open, if any (browserfiles.h).
    void run(std::function<void()> command, std::optional<GivenFile> file = std::nullopt);
    // What a view gives its command for each of these, as conversation.h describes: the answer
    // when the player gave it, else the question shown and what cancelling gives.
    SaveAnswer askToSave(std::string_view question);
    std::optional<std::string> chooseFileToOpen();
    std::optional<std::string> chooseNameToSave(std::string_view suggested);

    // Deletes a window that closed once the event that closed it is over.
    void deleteLater(std::function<void()> deleter);
    // Ends the page's session: every window closes, and one line says how to start again.
    void end();

private:
    Session();
    // The main window's load step, and the character in the page's address: before the first
    // event reaches a window.
    void finishLoading();
    void openLink();
    void openGiven(GivenFile file);
    void fileRead(const Js& detail);
    void pageEvent(const std::string& type, const Js& event);

    FormInstance<frmMain> main_;
    FormInstance<frmAbout> about_;
    FormInstance<frmPlanner> planner_;
    Conversation conversation_;
    std::function<void(std::string)> picked_; // the command waiting for a file, if any
    std::optional<GivenFile> given_;          // the file the command opens, if any
    std::vector<std::function<void()>> closed_;
    int depth_ = 0; // events within events
    bool loaded_ = false;
    bool ended_ = false;
};

} // namespace runetally::web
