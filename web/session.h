#pragma once

#include "aboutdialog.h"
#include "browserfiles.h"
#include "conversation.h"
#include "desk.h"
#include "formpage.h"
#include "mainwindow.h"
#include "plannercommands.h"
#include "platform.h"
#include "settings.h"
#include "sysinfo.h"
#include "windowservices.h"

#include "js.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally::web {

// A window of the page: its description drawn into the page, and its commands over it.
template <class Commands> class PageWindow {
public:
    template <class... More>
    PageWindow(const FormDesc& form, Desk& desk, FormPlace place, Platform& platform, More... more)
        : page(form, desk, std::move(place)), commands(page, platform, more...) {
        page.load(commands);
    }
    void activate() { page.activate(); }
    void close() { page.close(); }

    FormPage page;
    Commands commands;
};

// System Info in a page: what the browser tells about itself and its system.
class BrowserInfo final : public SysInfoLauncher {
public:
    explicit BrowserInfo(Platform& platform) : platform_(platform) {}
    std::optional<std::string> findTool() override { return "the browser"; }
    void start(const std::string& program) override;

private:
    Platform& platform_;
};

// The page's one run of the program: its windows, the commands that wait for the player, the
// files the player gives it, and its end. Every browser event reaches the windows through it.
// It is the windows' platform: a question or a file the player has not given yet gives the
// command what cancelling gives, and the command runs again once the player gives it
// (conversation.h).
class Session final : public Platform {
public:
    Session();

    // Opens the main window, and the character in the page's address when it carries one.
    void start();
    void dispatch(const Js& event);

    // Runs a window's command, which may wait for the player, and the file the player gave for
    // it to open, if any (browserfiles.h).
    void run(std::function<void()> command, std::optional<GivenFile> file = std::nullopt);
    // Deletes a window that closed once the event that closed it is over.
    void deleteLater(std::function<void()> deleter);
    // Ends the page's session: every window closes, and one line says how to start again.
    void end();

    // Platform
    void showMessage(std::string_view text) override { desk_.dialogs.message(text); }
    Answer ask(std::string_view question, std::span<const Answer> answers,
               Answer byDefault) override;
    std::optional<std::string> chooseFileToOpen() override;
    std::optional<std::string> chooseFileToSave(std::string_view suggested) override;
    std::vector<std::string> recentFiles() const override { return LoadRecentFiles(); }
    void keepRecentFiles(std::span<const std::string> paths) override {
        KeepRecentFiles(paths);
        KeepCopiesOf(paths); // the page keeps a copy of a file only while the list names it
    }
    void copyText(std::string_view text) override;
    void show(Window window) override;
    MainFollower* follower() override;

private:
    // The page's windows (windows.cpp): each a shared instance of its description drawn into
    // the page, with its commands.
    template <class Commands, class... More>
    PageWindow<Commands>* open(FormInstance<PageWindow<Commands>>& instance, const FormDesc& form,
                               FormPlace place, More... more);
    // The main window's commands while it is loaded, else null.
    MainCommands* main() const { return main_.loaded() ? &main_.loaded()->commands : nullptr; }
    void copyLink();

    // The main window's load step, and the character in the page's address: before the first
    // event reaches a window.
    void finishLoading();
    void openLink();
    void openGiven(GivenFile file);
    void fileRead(const Js& detail);
    void pageEvent(const std::string& type, const Js& event);

    Desk desk_;
    Conversation conversation_;
    BrowserInfo browserInfo_{*this};
    FormInstance<PageWindow<MainCommands>> main_;
    FormInstance<PageWindow<PlannerCommands>> planner_;
    FormInstance<PageWindow<AboutCommands>> about_;
    std::function<void(std::string)> picked_; // the command waiting for a file, if any
    std::optional<GivenFile> given_;          // the file the command opens, if any
    std::optional<std::string> copying_;      // what the copy the page started puts

    std::vector<std::function<void()>> closed_;
    int depth_ = 0; // events within events
    bool loaded_ = false;
    bool ended_ = false;
};

} // namespace runetally::web
