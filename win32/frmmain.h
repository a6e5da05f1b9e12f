#pragma once

#include "formwindow.h"
#include "mainwindow.h"

namespace runetally::win32 {

// The calculator window drawn with the system's own controls. Widgets sit at fixed places;
// resizing the window moves none of them.
class frmMain final : public FormWindow, public MainView {
public:
    frmMain();

    MainCommands& commands() { return commands_; }
    HWND control(MainControl id) const { return controls().get(id); }

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

    // Opens the character the program's command line names, if it names one.
    void openCommandLineCharacter();

private:
    ~frmMain() override;
    void clicked(ControlId id) override;
    void changed(ControlId id) override;
    bool pasting(ControlId box, std::size_t length) override;
    bool closing() override;
    void dropped(HDROP drop) override;
    void unloaded() override;
    void laidOut(int dpi) override;
    void fillSpellList();
    void fitCaptions(int dpi);

    MainCommands commands_{*this};
    HFONT captionFont_ = nullptr;
};

// The program's one main window.
FormInstance<frmMain>& MainForm();

} // namespace runetally::win32
