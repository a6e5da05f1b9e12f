#include "formwidgets.h"

#include "chartcanvas.h"
#include "reporttable.h"
#include "windowservices.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <limits>
#include <utility>

namespace runetally {
namespace {

QColor ToQColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// One line of a rule: a solid run of one colour filling the widget.
class LineWidget : public QWidget {
public:
    LineWidget(QWidget* parent, QColor colour) : QWidget(parent), colour_(colour) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

// A list box as Windows has it: Home selects the first item even when it is already the current
// one, and once an item is selected, neither Ctrl+click nor Ctrl+Space leaves none selected.
class ListBox : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier && count() > 0) {
            setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
            return;
        }
        QListWidget::keyPressEvent(event);
    }

    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const auto flags = QListWidget::selectionCommand(index, event);
        if (index.isValid() &&
            (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))) {
            return QItemSelectionModel::ClearAndSelect;
        }
        return flags;
    }
};

// A push button as Windows has it: Enter and keypad Enter press the focused button. Esc does
// not; only a cancel button answers Esc, through its dialog.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// Plain text, left-aligned and wrapped at words inside a fixed box, never resized to fit; what
// does not fit is cut off at the box's edge.
QLabel* CreateLabel(QWidget* parent, const WidgetDesc& desc) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setText(ToQString(desc.text));
    if (desc.colour) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ToQColor(*desc.colour));
        label->setPalette(palette);
    }
    if (desc.font) {
        // Naming the default family after the face lets a missing face fall back to it without
        // enumerating the installed fonts.
        QFont font = label->font();
        font.setFamilies({ToQString(desc.font->face), font.family()});
        font.setPointSize(desc.font->pointSize);
        font.setWeight(QFont::Normal);
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
        label->setFont(font);
    }
    return label;
}

// A text box with a limit, as a Windows edit box has it: typing past the limit is refused with a
// beep, and a paste that would take the box past it is refused whole, once the window's commands
// have been asked: cut short, it could mean another number without a word. QLineEdit's paste is
// not virtual, so each way it pastes is caught before it: the Paste keys (Ctrl+V, Shift+Insert),
// the context menu's Paste, the middle button's paste of the selection on X11, and a drop. The
// box's own limit stays behind them for text that comes any other way, such as an input method.
class LimitedBox : public QLineEdit {
public:
    using Fits = std::function<bool(std::size_t)>;

    LimitedBox(QWidget* parent, Fits fits) : QLineEdit(parent), fits_(std::move(fits)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Paste) && !pasteFits(QClipboard::Clipboard)) {
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        QMenu* menu = createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // The menu's Paste is the item that pastes straight away, told by that connection whatever
        // the menu's language; Qt 6.4 makes it by name, later versions by member pointer.
        for (QAction* item : menu->actions()) {
            if (disconnect(item, &QAction::triggered, this, &QLineEdit::paste) ||
                disconnect(item, SIGNAL(triggered()), this, SLOT(paste()))) {
                connect(item, &QAction::triggered, this, [this] {
                    if (pasteFits(QClipboard::Clipboard)) {
                        paste();
                    }
                });
            }
        }
        menu->popup(event->globalPos());
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        // QLineEdit drops the selection, then pastes the X11 selection at the cursor.
        if (event->button() == Qt::MiddleButton && !isReadOnly() &&
            QGuiApplication::clipboard()->supportsSelection() &&
            !fits_(text().size() +
                   QGuiApplication::clipboard()->text(QClipboard::Selection).size())) {
            return;
        }
        QLineEdit::mouseReleaseEvent(event);
    }

    void dropEvent(QDropEvent* event) override {
        const QString dropped = event->mimeData()->text();
        const qsizetype length = text().size() + dropped.size();
        if (event->source() != this && !isReadOnly() && length > maxLength()) {
            event->ignore();
            // Told once the drop is over: the program the text came from waits for the answer.
            QTimer::singleShot(0, this, [this, length] { fits_(std::size_t(length)); });
            return;
        }
        QLineEdit::dropEvent(event);
    }

private:
    // A paste replaces the selection.
    bool pasteFits(QClipboard::Mode mode) const {
        return isReadOnly() || fits_(text().size() - selectedText().size() +
                                     QGuiApplication::clipboard()->text(mode).size());
    }

    Fits fits_;
};

QLineEdit* CreateTextBox(QWidget* parent, const WidgetDesc& desc, LimitedBox::Fits fits) {
    const bool limited = desc.maxLength > 0;
    auto* box = limited && fits ? new LimitedBox(parent, std::move(fits)) : new QLineEdit(parent);
    box->setMaxLength(limited ? desc.maxLength : std::numeric_limits<int>::max());
    if (limited) {
        QObject::connect(box, &QLineEdit::inputRejected, &QApplication::beep);
    }
    box->setText(ToQString(desc.text));
    box->setReadOnly(desc.readOnly); // read-only still takes the focus and copies
    return box;
}

QPushButton* CreateButton(QWidget* parent, const WidgetDesc& desc) {
    auto* button = new PushButton(ToQString(desc.text), parent);
    // Only a default button answers Enter from elsewhere in the window.
    button->setAutoDefault(desc.defaultButton);
    button->setDefault(desc.defaultButton);
    return button;
}

QLabel* CreatePicture(QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(2);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setFocusPolicy(Qt::StrongFocus);
    return picture;
}

} // namespace

QRect ToPixels(const TwipsRect& rect) {
    return QRect(TwipsToPixels(rect.left, kQtDpi), TwipsToPixels(rect.top, kQtDpi),
                 TwipsToPixels(rect.width, kQtDpi), TwipsToPixels(rect.height, kQtDpi));
}

FormWidgetsBase::FormWidgetsBase(QWidget* client, const FormDesc& form, FormEvents events)
    : form_(form), widgets_(form.widgets.size()) {
    for (const WidgetDesc& desc : form.widgets) {
        QWidget* widget = create(client, desc, events);
        widget->setObjectName(ToQString(form.controlName(desc.id)));
        widgets_[desc.id.index] = widget;
        if (desc.hidden) {
            widget->hide(); // kept hidden when the window shows
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QObject::connect(button, &QPushButton::clicked, client,
                             [clicked = events.clicked, id = desc.id] { clicked(id); });
        }
        if (events.changed) {
            const auto changed = [changed = events.changed, id = desc.id] { changed(id); };
            if (auto* box = qobject_cast<QLineEdit*>(widget)) {
                QObject::connect(box, &QLineEdit::textChanged, client, changed);
            } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
                QObject::connect(list, &QListWidget::itemSelectionChanged, client, changed);
            } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                QObject::connect(combo, &QComboBox::currentIndexChanged, client, changed);
            }
        }
    }
    for (const WidgetDesc& desc : form.widgets) {
        if (desc.buddy) {
            qobject_cast<QLabel*>(at(desc.id))->setBuddy(at(*desc.buddy));
        }
        if (desc.kind != WidgetKind::Label && desc.kind != WidgetKind::Line) {
            at(desc.id)->setAccessibleName(ToQString(AccessibleName(form, desc)));
        }
    }
}

QWidget* FormWidgetsBase::create(QWidget* client, const WidgetDesc& desc,
                                 const FormEvents& events) {
    QWidget* widget = nullptr;
    switch (desc.kind) {
    case WidgetKind::Label:
        widget = CreateLabel(client, desc);
        break;
    case WidgetKind::TextBox: {
        LimitedBox::Fits fits;
        if (events.pasting) {
            fits = [pasting = events.pasting, id = desc.id](std::size_t length) {
                return pasting(id, length);
            };
        }
        widget = CreateTextBox(client, desc, std::move(fits));
        break;
    }
    case WidgetKind::ListBox: {
        auto* list = new ListBox(client);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        widget = list;
        break;
    }
    case WidgetKind::PushButton:
        widget = CreateButton(client, desc);
        break;
    case WidgetKind::Picture:
        widget = CreatePicture(client);
        break;
    case WidgetKind::ComboBox: {
        auto* combo = new QComboBox(client);
        for (std::string_view item : desc.items) {
            combo->addItem(ToQString(item));
        }
        combo->setCurrentText(ToQString(desc.text));
        widget = combo;
        break;
    }
    case WidgetKind::Table: {
        widget = new ReportTable(
            client, desc,
            {.rowChanged = [changed = events.changed,
                            id = desc.id] { changed ? changed(id) : void(); },
             .sortRequested = [sorted = events.sortRequested,
                               id = desc.id](int column) { sorted ? sorted(id, column) : void(); },
             .copying = [copying = events.copying,
                         id = desc.id] { return copying ? copying(id) : false; }});
        break;
    }
    case WidgetKind::Chart:
        widget = new ChartCanvas(
            client, {.resized = [resized = events.resized,
                                 id = desc.id] { resized ? resized(id) : void(); },
                     .copying = [copying = events.copying,
                                 id = desc.id] { return copying ? copying(id) : false; }});
        break;
    case WidgetKind::Line: {
        // The line runs from its start pixel through its end pixel, lineWidth pixels thick.
        const int left = TwipsToPixels(desc.rect.left, kQtDpi);
        const int right = TwipsToPixels(desc.rect.left + desc.rect.width, kQtDpi);
        widget = new LineWidget(client, ToQColor(desc.colour.value_or(Rgb{})));
        widget->setGeometry(left, TwipsToPixels(desc.rect.top, kQtDpi), right - left + 1,
                            desc.lineWidth);
        return widget;
    }
    }
    widget->setGeometry(ToPixels(desc.rect));
    return widget;
}

QWidget* FormWidgetsBase::firstStop(ControlId id) const {
    auto* table = qobject_cast<ReportTable*>(at(id));
    return table != nullptr ? table->firstStop() : at(id);
}

void FormWidgetsBase::setFocusOrder() {
    for (ControlId stop : form_.focusOrder) {
        if (firstStop(stop) != at(stop)) {
            QWidget::setTabOrder(firstStop(stop), at(stop));
        }
    }
    for (std::size_t i = 1; i < form_.focusOrder.size(); ++i) {
        QWidget::setTabOrder(at(form_.focusOrder[i - 1]), firstStop(form_.focusOrder[i]));
    }
    if (!form_.focusOrder.empty()) {
        at(form_.focusOrder.front())->setFocus();
    }
}

void FormWidgetsBase::place(QSize client) {
    const int width = client.width() * kTwipsPerInch / kQtDpi;
    const int height = client.height() * kTwipsPerInch / kQtDpi;
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.stretch != Stretch{}) {
            at(desc.id)->setGeometry(ToPixels(Placed(form_, desc, width, height)));
        }
    }
}

void ShowMessage(const QString& text) {
    Ask(text, QMessageBox::Ok, QMessageBox::Ok);
}

QMessageBox::StandardButton Ask(const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton escape) {
    // The box has no owner, so nothing hands the keyboard back to the window the player was
    // working in when it closes; that window is activated again here, its focus widget intact.
    const QPointer<QWidget> active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, ToQString(BuildIdentity().title), text, buttons);
    box.setWindowModality(Qt::ApplicationModal);
    box.setEscapeButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton answer =
        clicked != nullptr ? box.standardButton(clicked) : escape;
    if (active && active->isVisible()) {
        active->activateWindow();
    }
    return answer == QMessageBox::NoButton ? escape : answer;
}

} // namespace runetally
