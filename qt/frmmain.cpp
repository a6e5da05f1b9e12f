#include "frmmain.h"

#include "captionfit.h"
#include "characterfiles.h"
#include "frmabout.h"
#include "frmplanner.h"
#include "spelltable.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <limits>
#include <optional>
#include <utility>

namespace runetally {
namespace {

const FormDesc& Form() {
    return MainWindowDescription();
}

// The default face at any size, in Qt's pixels.
class QtMeasure : public TextMeasure {
public:
    explicit QtMeasure(QFont font) : font_(std::move(font)) {}

    int width(std::string_view text, double points) override {
        return metrics(points).horizontalAdvance(ToQString(text));
    }
    int wrappedHeight(std::string_view text, double points, int width) override {
        const QRect room(0, 0, width, std::numeric_limits<short>::max());
        return metrics(points)
            .boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, ToQString(text))
            .height();
    }

private:
    QFontMetrics metrics(double points) const {
        QFont font = font_;
        if (points != font.pointSizeF()) {
            font.setPointSizeF(points);
        }
        return QFontMetrics(font);
    }

    QFont font_;
};

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), client_(new QWidget(this)),
      widgets_(client_, Form(),
               {.clicked = [this](ControlId id) { commands_.click(id.as<MainControl>()); },
                .pasting =
                    [this](ControlId id, std::size_t length) {
                        return commands_.pasteFits(id.as<MainControl>(), length);
                    },
                .changed = [this](ControlId id) { commands_.change(id.as<MainControl>()); }}) {
    setObjectName(ToQString(Form().name));
    setWindowTitle(ToQString(Form().caption));
    setCentralWidget(client_);
    createMenus();
    fitCaptions();
    fillSpellList();

    widgets_.setFocusOrder();
    setAcceptDrops(true);
    installEventFilter(this);
    for (QWidget* widget : findChildren<QWidget*>()) {
        widget->installEventFilter(this);
    }
    // The size is that of the client area; the menu bar comes on top of it.
    const QSize client = ToPixels({0, 0, Form().clientWidth, Form().clientHeight}).size();
    resize(client.width(), client.height() + menuBar()->heightForWidth(client.width()));
}

void frmMain::createMenus() {
    menuItems_.resize(Form().controlNames.size());
    for (const MenuDesc& menuDesc : Form().menus) {
        QMenu* menu = menuBar()->addMenu(ToQString(menuDesc.caption));
        menu->setObjectName(ToQString(Form().controlName(menuDesc.id)));
        for (const MenuItemDesc& itemDesc : menuDesc.items) {
            if (itemDesc.separatorBefore) {
                menu->addSeparator();
            }
            QAction* item = menu->addAction(ToQString(itemDesc.caption));
            item->setObjectName(ToQString(Form().controlName(itemDesc.id)));
            item->setShortcut(QKeySequence(ToQString(ShortcutText(itemDesc.shortcut))));
            item->setVisible(!itemDesc.hidden);
            menuItems_[itemDesc.id.index] = item;
            connect(item, &QAction::triggered, this,
                    [this, id = itemDesc.id] { commands_.click(id.as<MainControl>()); });
        }
    }
}

void frmMain::fitCaptions() {
    QFont font = client_->font();
    QtMeasure measure(font);
    const std::optional<double> points = FitCaptions(Form(), kQtDpi, font.pointSizeF(), measure);
    if (!points) {
        return;
    }
    font.setPointSizeF(*points);
    for (const WidgetDesc* caption : InputCaptions(Form())) {
        widgets_.get(caption->id.as<MainControl>())->setFont(font);
    }
}

void frmMain::fillSpellList() {
    auto* list = widgets_.get<QListWidget>(MainControl::listSpells);
    for (const SpellFormula& spell : SpellTable) {
        list->addItem(ToQString(spell.name));
    }
}

void frmMain::activate() {
    show();
    raise();
    activateWindow();
}

std::string frmMain::text(Field field) const {
    return widgets_.get<QLineEdit>(BoxOf(field))->text().toStdString();
}

void frmMain::setText(TextBox box, std::string_view text) {
    widgets_.get<QLineEdit>(box.control())->setText(ToQString(text));
}

std::string frmMain::selectedSpell() const {
    const QList<QListWidgetItem*> selected =
        widgets_.get<QListWidget>(MainControl::listSpells)->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

void frmMain::showAbout() {
    AboutForm().show();
}

void frmMain::showPlanner() {
    PlannerForm().show();
}

MainFollower* frmMain::planner() {
    frmPlanner* planner = PlannerForm().loaded();
    return planner != nullptr ? &planner->commands() : nullptr;
}

void frmMain::showMessage(std::string_view text) {
    ShowMessage(ToQString(text));
}

void frmMain::unload() {
    unloading_ = true;
    close(); // the window is deleted later, once control is back in the event loop
    unloading_ = false;
}

void frmMain::selectSpell(std::string_view name) {
    // Told to the commands as the player's choice is, so that the planner follows.
    auto* list = widgets_.get<QListWidget>(MainControl::listSpells);
    const QList<QListWidgetItem*> found =
        name.empty() ? QList<QListWidgetItem*>()
                     : list->findItems(ToQString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) {
        list->clearSelection();
        return;
    }
    list->setCurrentItem(found.front(), QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(found.front());
}

void frmMain::setCaption(std::string_view caption) {
    setWindowTitle(ToQString(caption));
}

void frmMain::setMenuItem(MainControl item, std::string_view caption, bool shown) {
    QAction* action = menuItems_[static_cast<std::size_t>(item)];
    action->setText(ToQString(caption));
    action->setVisible(shown);
}

SaveAnswer frmMain::askToSave(std::string_view question) {
    switch (Ask(ToQString(question), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return SaveAnswer::Yes;
    case QMessageBox::No:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}

bool frmMain::askYesNo(std::string_view question) {
    return Ask(ToQString(question), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<std::string> frmMain::chooseCharacterToOpen() {
    return ChooseCharacterToOpen(this);
}

std::optional<std::string> frmMain::chooseCharacterToSave(std::string_view suggestedName) {
    return ChooseCharacterToSave(this, suggestedName);
}

std::vector<std::string> frmMain::recentCharacters() const {
    return RecentCharacters();
}

void frmMain::keepRecentCharacters(std::span<const std::string> paths) {
    KeepRecentCharacters(paths);
}

void frmMain::openArguments(const std::vector<std::string>& arguments) {
    if (const std::optional<std::string> path = CharacterArgument(arguments)) {
        commands_.openCharacter(*path);
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!unloading_ && !commands_.Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    MainForm().unloaded(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* drag = static_cast<QDropEvent*>(event);
    const std::optional<std::string> path = DraggedCharacter(drag->mimeData());
    // Only a copy: a file manager may delete the file it moved.
    if (!path || !(drag->possibleActions() & Qt::CopyAction)) {
        return QMainWindow::eventFilter(watched, event); // a text box takes dropped text itself
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (type == QEvent::Drop) {
        // Once the drop is over: the program the file came from waits until it is, and opening
        // may ask the player first.
        QTimer::singleShot(0, this, [this, path = *path] { commands_.openCharacter(path); });
    }
    return true;
}

FormInstance<frmMain>& MainForm() {
    static FormInstance<frmMain> instance([] {
        frmMain* window = NewSharedForm(MainForm());
        window->commands().Form_Load();
        return window;
    });
    return instance;
}

} // namespace runetally
