#pragma once

#include "spellinputs.h"
#include "windowservices.h"

#include <QMainWindow>

#include <array>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace runetally {

// The calculator window: ten input boxes, the spell list, the calculate button and the result
// box. Widgets sit at fixed places; resizing the window moves none of them.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);

    void cmdCalculate_Click();
    void mnuReset_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuHelpme_Click();

private:
    void createMenus();
    void createInputs(QWidget* client);
    void createSpellList(QWidget* client);
    void createButton(QWidget* client);
    void createResult(QWidget* client);
    void setFocusOrder();

    QLineEdit*& box(Field field) { return inputs_[static_cast<std::size_t>(field)]; }

    std::array<QLineEdit*, kFieldCount> inputs_{};
    QListWidget* listSpells_ = nullptr;
    QPushButton* cmdCalculate_ = nullptr;
    QLineEdit* dmg_ = nullptr;
};

// The program's one main window.
FormInstance<frmMain>& MainForm();

} // namespace runetally
