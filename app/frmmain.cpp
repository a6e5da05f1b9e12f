#include "frmmain.h"

#include "damage.h"
#include "frmabout.h"
#include "localeseparator.h"
#include "spelltable.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>

namespace runetally {
namespace {

constexpr int kClientWidth = 622;
constexpr int kClientHeight = 476;

// One input row: the caption the player reads and the box it stands for. Messages about a box
// name it by this caption, so the pairing is kept here and nowhere else.
struct InputRow {
    Field field;
    const char* labelName;
    const char* caption;
    QRect labelRect;
    QRect boxRect;
};

constexpr InputRow kInputRows[] = {
    {Field::varWis, "Label1", "Wisdom", {8, 24, 41, 17}, {104, 24, 113, 19}},
    {Field::varInt, "Label2", "Inteligence", {8, 56, 73, 25}, {104, 64, 113, 19}},
    {Field::varResist, "Label3", "Target Elemental Resist", {8, 96, 57, 41}, {104, 104, 113, 19}},
    {Field::powerLight, "Label4", "Light Power", {8, 168, 65, 17}, {104, 168, 113, 19}},
    {Field::powerEarth, "Label5", "Earth Power", {8, 200, 65, 17}, {104, 200, 113, 19}},
    {Field::powerFire, "Label6", "Fire Power", {8, 232, 65, 17}, {104, 232, 113, 19}},
    {Field::powerAir, "Label7", "Air Power", {8, 264, 65, 17}, {104, 264, 113, 19}},
    {Field::powerWater, "Label8", "Water Power", {8, 296, 65, 17}, {104, 296, 113, 19}},
    {Field::powerDark, "Label9", "Dark Power", {8, 328, 65, 17}, {104, 328, 113, 19}},
    {Field::varLevel, "Label11", "Level", {8, 368, 73, 17}, {104, 368, 113, 19}},
};

const InputRow& rowOf(Field field) {
    for (const InputRow& row : kInputRows) {
        if (row.field == field) {
            return row;
        }
    }
    return kInputRows[0]; // every field has a row
}

bool captionFits(const QFontMetrics& metrics, const InputRow& row) {
    const QString caption = QLatin1String(row.caption);
    const QRect box = row.labelRect;
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
QFont captionFont(QFont font) {
    const auto allFit = [](const QFont& f) {
        const QFontMetrics metrics(f);
        return std::all_of(std::begin(kInputRows), std::end(kInputRows),
                           [&](const InputRow& row) { return captionFits(metrics, row); });
    };
    if (allFit(font)) {
        return font;
    }
    // Widths grow with the point size: one measurement says where to start looking, so that
    // few sizes are loaded at start-up.
    const QFontMetricsF metrics(font);
    qreal scale = 1.0;
    for (const InputRow& row : kInputRows) {
        for (const QString& word : QString::fromLatin1(row.caption).split(u' ')) {
            scale = std::min(scale, row.labelRect.width() / metrics.horizontalAdvance(word));
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

QLineEdit* createTextBox(QWidget* parent, const char* name, const QString& text,
                         const QRect& rect) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(rect);
    box->setMaxLength(std::numeric_limits<int>::max()); // the player may type any amount
    box->setText(text);
    return box;
}

QString failureMessage(const CalcFailure& failure) {
    if (failure.kind() == CalcFailure::Kind::BadInput) {
        return QStringLiteral("The text in \"%1\" is not a number.")
            .arg(QLatin1String(rowOf(failure.field()).caption));
    }
    switch (failure.fault()) {
    case ArithmeticFault::DivideByZero:
        return QStringLiteral("A value was divided by zero.");
    case ArithmeticFault::InvalidOperation:
        return QStringLiteral("Zero was divided by zero.");
    case ArithmeticFault::Overflow:
        return QStringLiteral("The result is too large.");
    }
    return QStringLiteral("The damage could not be calculated.");
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Velmoranth's Zelkor Runetally"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    createMenus();
    createInputs(client);
    createSpellList(client);
    createButton(client);
    createResult(client);
    setFocusOrder();
    // The size is that of the client area; the menu bar comes on top of it.
    resize(kClientWidth, kClientHeight + menuBar()->heightForWidth(kClientWidth));
}

void frmMain::createMenus() {
    const auto addMenu = [this](const char* name, const QString& title) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto addItem = [this](QMenu* menu, const char* name, const QString& text,
                                void (frmMain::*handler)()) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, handler);
    };
    QMenu* file = addMenu("mnuFile", QStringLiteral("&File"));
    addItem(file, "mnuReset", QStringLiteral("&Reset"), &frmMain::mnuReset_Click);
    addItem(file, "mnuExit", QStringLiteral("&Exit"), &frmMain::mnuExit_Click);
    QMenu* help = addMenu("mnuHelp", QStringLiteral("&Help"));
    addItem(help, "mnuAbout", QStringLiteral("&About"), &frmMain::mnuAbout_Click);
    addItem(help, "mnuHelpme", QStringLiteral("Help &Me"), &frmMain::mnuHelpme_Click);
}

void frmMain::createInputs(QWidget* client) {
    const QFont captions = captionFont(client->font());
    for (const InputRow& row : kInputRows) {
        CreateLabel(client, QLatin1String(row.labelName), row.labelRect, QLatin1String(row.caption))
            ->setFont(captions);
        const std::string_view name = FieldName(row.field);
        box(row.field) = createTextBox(client, name.data(),
                                       QLatin1String(StartText(row.field).data()), row.boxRect);
    }
}

void frmMain::createSpellList(QWidget* client) {
    listSpells_ = new QListWidget(client);
    listSpells_->setObjectName(QStringLiteral("listSpells"));
    listSpells_->setGeometry(240, 120, 209, 173);
    listSpells_->setSelectionMode(QAbstractItemView::SingleSelection);
    listSpells_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const SpellFormula& spell : SpellTable) {
        listSpells_->addItem(QString::fromUtf8(spell.name.data(), qsizetype(spell.name.size())));
    }
}

void frmMain::createButton(QWidget* client) {
    cmdCalculate_ = new QPushButton(QStringLiteral("Calculate The Damage"), client);
    cmdCalculate_->setObjectName(QStringLiteral("cmdCalculate"));
    cmdCalculate_->setGeometry(344, 24, 193, 57);
    // Enter in a box or the list must not calculate: the button is never a default button.
    cmdCalculate_->setAutoDefault(false);
    cmdCalculate_->setDefault(false);
    connect(cmdCalculate_, &QPushButton::clicked, this, &frmMain::cmdCalculate_Click);
}

void frmMain::createResult(QWidget* client) {
    QLabel* caption = CreateLabel(client, QStringLiteral("Label10"), {320, 352, 169, 41},
                                  QStringLiteral("DAMAGE"));
    // Naming the default family after the face lets a missing face fall back to it without
    // enumerating the installed fonts.
    QFont font = caption->font();
    font.setFamilies({QStringLiteral("Zelkor Beaulieux"), font.family()});
    font.setPointSize(24);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    caption->setFont(font);

    dmg_ = createTextBox(client, "dmg", QStringLiteral("0"), {296, 392, 233, 49});
    dmg_->setReadOnly(true); // still takes the focus and lets its text be copied
}

void frmMain::setFocusOrder() {
    QWidget* const order[] = {box(Field::varResist),
                              box(Field::varWis),
                              box(Field::varInt),
                              box(Field::powerLight),
                              box(Field::powerEarth),
                              box(Field::powerFire),
                              box(Field::powerAir),
                              box(Field::powerWater),
                              box(Field::powerDark),
                              listSpells_,
                              dmg_,
                              cmdCalculate_,
                              box(Field::varLevel)};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    order[0]->setFocus();
}

void frmMain::cmdCalculate_Click() {
    SpellInputs inputs;
    const QList<QListWidgetItem*> selected = listSpells_->selectedItems();
    if (!selected.isEmpty()) {
        inputs.spellName = selected.front()->text().toStdString();
    }
    for (const InputRow& row : kInputRows) {
        inputs.text(row.field) = box(row.field)->text().toStdString();
    }

    std::optional<QString> problem;
    try {
        const DamageOutcome outcome = CalculateDamage(inputs, LocaleSeparator(QLocale()));
        if (outcome.kind == DamageOutcome::Kind::ShowText) {
            dmg_->setText(QString::fromStdString(outcome.text));
        }
    } catch (const CalcFailure& failure) {
        problem = failureMessage(failure);
    }
    if (problem) {
        ShowMessage(*problem);
    }
}

void frmMain::mnuReset_Click() {
    dmg_->setText(QStringLiteral("0"));
    for (Field field : {Field::powerLight, Field::powerEarth, Field::powerWater, Field::powerAir,
                        Field::powerFire, Field::powerDark, Field::varResist, Field::varWis,
                        Field::varInt, Field::varLevel}) {
        box(field)->setText(QStringLiteral("0"));
    }
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::mnuAbout_Click() {
    // The dialog has no owner: it stays when this window closes, and keeps the program alive.
    AboutForm().show();
}

void frmMain::mnuHelpme_Click() {
    ShowMessage(QStringLiteral("Sorry, but this feature is not implemented yet"));
}

FormInstance<frmMain>& MainForm() {
    static FormInstance<frmMain> instance;
    return instance;
}

} // namespace runetally
