#pragma once

#include "formwidgets.h"
#include "mainwindow.h"

#include <QMainWindow>

#include <string>
#include <vector>

class QAction;
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

    // Opens the character file the command line names, if it names one; `arguments` are the
    // bytes the program was given, once Qt has taken its own options out.
    void openArguments(const std::vector<std::string>& arguments);

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

protected:
    void closeEvent(QCloseEvent* event) override;
    // A character file dragged anywhere over the window, its text boxes included.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void fitCaptions();
    void fillSpellList();

    MainCommands commands_{*this};
    QWidget* client_;
    FormWidgets<MainControl> widgets_;
    std::vector<QAction*> menuItems_; // by control, null for widgets
    bool unloading_ = false;          // closed by the commands, which have asked already
};

// The program's one main window.
FormInstance<frmMain>& MainForm();

} // namespace runetally
