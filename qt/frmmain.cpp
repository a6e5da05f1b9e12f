#include "frmmain.h"

#include "frmabout.h"
#include "spelltable.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace runetally {
namespace {

const FormDesc& Form() {
    return MainWindowDescription();
}

bool CaptionFits(const QFontMetrics& metrics, const WidgetDesc& label) {
    const QString caption = ToQString(label.text);
    const QRect box = ToPixels(label.rect);
    for (const QString& word : caption.split(u' ')) {
        if (metrics.horizontalAdvance(word) > box.width()) {
            return false;
        }
    }
    const QRect room(0, 0, box.width(), std::numeric_limits<short>::max());
    return metrics.boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, caption).height() <=
           box.height();
}

// The caption boxes were laid out for a small 8-point face. Where the desktop's default face
// needs more room, the captions take that face a little smaller rather than lose letters.
QFont CaptionFont(QFont font, const std::vector<const WidgetDesc*>& captions) {
    const auto allFit = [&](const QFont& f) {
        const QFontMetrics metrics(f);
        return std::all_of(captions.begin(), captions.end(),
                           [&](const WidgetDesc* label) { return CaptionFits(metrics, *label); });
    };
    if (allFit(font)) {
        return font;
    }
    // Widths grow with the point size: one measurement says where to start looking, so that
    // few sizes are loaded at start-up.
    const QFontMetricsF metrics(font);
    qreal scale = 1.0;
    for (const WidgetDesc* label : captions) {
        for (const QString& word : ToQString(label->text).split(u' ')) {
            scale =
                std::min(scale, ToPixels(label->rect).width() / metrics.horizontalAdvance(word));
        }
    }
    constexpr qreal kSmallest = 6.0;
    for (qreal size = std::floor(font.pointSizeF() * scale * 2) / 2; size >= kSmallest;
         size -= 0.5) {
        font.setPointSizeF(size);
        if (allFit(font)) {
            break;
        }
    }
    return font;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), client_(new QWidget(this)),
      widgets_(client_, Form(),
               {.clicked = [this](ControlId id) { commands_.click(id.as<MainControl>()); },
                .pasting =
                    [this](ControlId id, std::size_t length) {
                        return commands_.pasteFits(id.as<MainControl>(), length);
                    }}) {
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
            connect(item, &QAction::triggered, this,
                    [this, id = itemDesc.id] { commands_.click(id.as<MainControl>()); });
        }
    }
}

void frmMain::fitCaptions() {
    const std::vector<const WidgetDesc*> captions = InputCaptions(Form());
    const QFont font = CaptionFont(client_->font(), captions);
    for (const WidgetDesc* caption : captions) {
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
