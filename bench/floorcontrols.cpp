// The fair floor for the Qt window's start-up: the same main window, made by hand with no
// description, no commands and no logic: the same widget classes, places, fonts, texts, menus and
// spell list.
#include "spelltable.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

namespace {

struct Control {
    enum Kind { Label, Box, Button, List } kind;
    const char* text;
    int left, top, width, height; // twips, 15 to a pixel
};

constexpr Control kControls[] = {
    {Control::Label, "Wisdom", 120, 360, 615, 255},
    {Control::Box, "100", 1560, 360, 1695, 285},
    {Control::Label, "Inteligence", 120, 840, 1095, 375},
    {Control::Box, "100", 1560, 960, 1695, 285},
    {Control::Label, "Target Elemental Resist", 120, 1440, 855, 615},
    {Control::Box, "100", 1560, 1560, 1695, 285},
    {Control::Label, "Light Power", 120, 2520, 975, 255},
    {Control::Box, "100", 1560, 2520, 1695, 285},
    {Control::Label, "Earth Power", 120, 3000, 975, 255},
    {Control::Box, "100", 1560, 3000, 1695, 285},
    {Control::Label, "Fire Power", 120, 3480, 975, 255},
    {Control::Box, "100", 1560, 3480, 1695, 285},
    {Control::Label, "Air Power", 120, 3960, 975, 255},
    {Control::Box, "100", 1560, 3960, 1695, 285},
    {Control::Label, "Water Power", 120, 4440, 975, 255},
    {Control::Box, "100", 1560, 4440, 1695, 285},
    {Control::Label, "Dark Power", 120, 4920, 975, 255},
    {Control::Box, "100", 1560, 4920, 1695, 285},
    {Control::Label, "Level", 120, 5520, 1095, 255},
    {Control::Box, "99", 1560, 5520, 1695, 285},
    {Control::Button, "Calculate The Damage", 5160, 360, 2895, 855},
    {Control::List, "", 3600, 1800, 3135, 2595},
    {Control::Label, "DAMAGE", 4800, 5280, 2535, 615},
    {Control::Box, "0", 4440, 5880, 3495, 735},
};
constexpr int kDamageLabel = 22;
constexpr int kDamageBox = 23;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Velmoranth's Zelkor Runetally");
    QMenu* file = window.menuBar()->addMenu("&File");
    file->addAction("&Open Character...", QKeySequence("Ctrl+O"));
    file->addAction("&Save Character", QKeySequence("Ctrl+S"));
    file->addAction("Save Character &As...");
    file->addSeparator();
    file->addAction("&Reset");
    file->addAction("&Exit");
    window.menuBar()->addMenu("&Tools")->addAction("Spell &Planner...", QKeySequence("Ctrl+P"));
    QMenu* help = window.menuBar()->addMenu("&Help");
    help->addAction("&About");
    help->addAction("Help &Me");
    auto* client = new QWidget(&window);
    window.setCentralWidget(client);
    for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
        const Control& c = kControls[i];
        QWidget* widget = nullptr;
        switch (c.kind) {
        case Control::Label: {
            auto* label = new QLabel(c.text, client);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (i == kDamageLabel) {
                label->setFont(QFont("Zelkor Beaulieux", 24));
            }
            widget = label;
            break;
        }
        case Control::Box: {
            auto* box = new QLineEdit(c.text, client);
            box->setReadOnly(i == kDamageBox);
            widget = box;
            break;
        }
        case Control::Button:
            widget = new QPushButton(c.text, client);
            break;
        case Control::List: {
            auto* list = new QListWidget(client);
            for (const runetally::SpellFormula& spell : runetally::SpellTable) {
                list->addItem(QString::fromUtf8(spell.name.data(), spell.name.size()));
            }
            widget = list;
            break;
        }
        }
        widget->setGeometry(c.left / 15, c.top / 15, c.width / 15, c.height / 15);
    }
    client->setFixedSize(9330 / 15, 7140 / 15);
    window.show();
    return app.exec();
}
