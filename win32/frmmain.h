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

private:
    ~frmMain() override;
    void clicked(ControlId id) override;
    void changed(ControlId id) override;
    bool pasting(ControlId box, std::size_t length) override;
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
