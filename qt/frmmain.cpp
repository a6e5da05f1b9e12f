#include "frmmain.h"

#include "captionfit.h"
#include "frmabout.h"
#include "frmplanner.h"
#include "spelltable.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

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
    // The size is that of the client area; the menu bar comes on top of it.
    const QSize client = ToPixels({0, 0, Form().clientWidth, Form().clientHeight}).size();
    resize(client.width(), client.height() + menuBar()->heightForWidth(client.width()));
}

void frmMain::createMenus() {
    for (const MenuDesc& menuDesc : Form().menus) {
        QMenu* menu = menuBar()->addMenu(ToQString(menuDesc.caption));
        menu->setObjectName(ToQString(Form().controlName(menuDesc.id)));
        for (const MenuItemDesc& itemDesc : menuDesc.items) {
            QAction* item = menu->addAction(ToQString(itemDesc.caption));
            item->setObjectName(ToQString(Form().controlName(itemDesc.id)));
            item->setShortcut(QKeySequence(ToQString(ShortcutText(itemDesc.shortcut))));
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
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    MainForm().unloaded(this);
}

FormInstance<frmMain>& MainForm() {
    static FormInstance<frmMain> instance([] { return NewSharedForm(MainForm()); });
    return instance;
}

} // namespace runetally
