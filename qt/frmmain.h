#pragma once

#include "formwidgets.h"
#include "mainwindow.h"

#include <QMainWindow>

class QCloseEvent;

namespace runetally {

// The calculator window drawn by Qt. Widgets sit at fixed places; resizing the window moves
// none of them.
class frmMain : public QMainWindow, public MainView {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);

    MainCommands& commands() { return commands_; }

    // What the window's one shared instance asks of it.
    void activate();
    using QMainWindow::close;

    // MainView
    std::string text(Field field) const override;
    void setText(TextBox box, std::string_view text) override;
    std::string selectedSpell() const override;
    void showAbout() override;
    void showPlanner() override;
    MainFollower* planner() override;
    void showMessage(std::string_view text) override;
    void unload() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void fitCaptions();
    void fillSpellList();

    MainCommands commands_{*this};
    QWidget* client_;
    FormWidgets<MainControl> widgets_;
};

// The program's one main window.
FormInstance<frmMain>& MainForm();

} // namespace runetally
