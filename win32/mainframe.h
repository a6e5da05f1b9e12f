#pragma once

#include "formwindow.h"
#include "mainwindow.h"

namespace runetally::win32 {

// The calculator window drawn with the system's own controls. Widgets sit at fixed places;
// resizing the window moves none of them.
class MainFrame final : public FormWindow, public MainView {
public:
    MainFrame();

    MainCommands& commands() { return commands_; }

    // MainView
    std::string text(std::string_view box) const override;
    void setText(std::string_view box, std::string_view text) override;
    std::string selectedSpell() const override;
    void showAbout() override;
    void showMessage(std::string_view text) override;
    void unload() override;

private:
    ~MainFrame() override;
    void clicked(std::string_view name) override;
    void unloaded() override;
    void laidOut(int dpi) override;
    void fillSpellList();
    void fitCaptions(int dpi);

    MainCommands commands_{*this};
    HFONT captionFont_ = nullptr;
};

// The program's one main window.
FormInstance<MainFrame>& MainForm();

} // namespace runetally::win32
