#pragma once

#include "formpage.h"
#include "mainwindow.h"

namespace runetally::web {

// The calculator window drawn into the page. Its File menu holds one item more than the
// desktop's: Copy Link, which copies the page's address with the character in it.
class frmMain : public MainView {
public:
    frmMain();

    MainCommands& commands() { return commands_; }
    FormPage& page() { return form_; }

    // What the window's one shared instance asks of it.
    void activate();
    void close();

    // MainView
    std::string text(Field field) const override;
    void setText(TextBox box, std::string_view text) override;
    std::string selectedSpell() const override;
    void showAbout() override;
    void showPlanner() override;
    MainFollower* planner() override;
    void showMessage(std::string_view text) override;
    void unload() override;
    void selectSpell(std::string_view name) override;
    void setCaption(std::string_view caption) override;
    void setMenuItem(MainControl item, std::string_view caption, bool shown) override;
    SaveAnswer askToSave(std::string_view question) override;
    bool askYesNo(std::string_view question) override;
    std::optional<std::string> chooseCharacterToOpen() override;
    std::optional<std::string> chooseCharacterToSave(std::string_view suggestedName) override;
    std::vector<std::string> recentCharacters() const override;
    void keepRecentCharacters(std::span<const std::string> paths) override;

private:
    void copyLink();

    MainCommands commands_{*this};
    FormPage form_;
};

} // namespace runetally::web
