#include "formwidgets.h"

#include "chartcanvas.h"
#include "formsurface.h"
#include "reporttable.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace runetally {
namespace {

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
// not; only a cancel button answers Esc, through its window.
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
    LimitedBox(QWidget* parent, ControlId id, FormEvents& events)
        : QLineEdit(parent), id_(id), events_(events) {}

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
            !fits(text().size() +
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
            QTimer::singleShot(0, this, [this, length] { fits(length); });
            return;
        }
        QLineEdit::dropEvent(event);
    }

private:
    bool fits(qsizetype length) const { return events_.pasting(id_, std::size_t(length)); }
    // A paste replaces the selection.
    bool pasteFits(QClipboard::Mode mode) const {
        return isReadOnly() || fits(text().size() - selectedText().size() +
                                    QGuiApplication::clipboard()->text(mode).size());
    }

    ControlId id_;
    FormEvents& events_;
};

QLineEdit* CreateTextBox(QWidget* parent, const WidgetDesc& desc, FormEvents& events) {
    const bool limited = desc.maxLength > 0;
    auto* box = limited ? new LimitedBox(parent, desc.id, events) : new QLineEdit(parent);
    box->setMaxLength(limited ? desc.maxLength : std::numeric_limits<int>::max());
    if (limited) {
        QObject::connect(box, &QLineEdit::inputRejected, &QApplication::beep);
    }
    box->setText(ToQString(desc.text));
    box->setReadOnly(desc.readOnly); // read-only still takes the focus and copies
    QObject::connect(box, &QLineEdit::textChanged, box,
                     [&events, id = desc.id] { events.changed(id); });
    return box;
}

QPushButton* CreateButton(QWidget* parent, const WidgetDesc& desc, FormEvents& events) {
    auto* button = new PushButton(ToQString(desc.text), parent);
    // Only a default button answers Enter from elsewhere in the window.
    button->setAutoDefault(desc.defaultButton);
    button->setDefault(desc.defaultButton);
    QObject::connect(button, &QPushButton::clicked, button,
                     [&events, id = desc.id] { events.clicked(id); });
    return button;
}

QPixmap ToPixmap(const ImageDesc& desc) {
    const int width = desc.rows.empty() ? 0 : static_cast<int>(desc.rows.front().size());
    QImage image(width, static_cast<int>(desc.rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            const std::optional<Rgb> colour = desc.colour(desc.rows[y][x]);
            image.setPixel(x, y, colour ? ToQColor(*colour).rgb() : 0);
        }
    }
    return QPixmap::fromImage(image);
}

QLabel* CreatePicture(QWidget* parent, const WidgetDesc& desc) {
    auto* picture = new QLabel(parent);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(2);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setFocusPolicy(Qt::StrongFocus);
    if (desc.image) {
        picture->setPixmap(ToPixmap(*desc.image));
    }
    return picture;
}

QListWidget* CreateListBox(QWidget* parent, const WidgetDesc& desc, FormEvents& events) {
    auto* list = new ListBox(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (std::string_view item : desc.items) {
        list->addItem(ToQString(item));
    }
    QObject::connect(list, &QListWidget::itemSelectionChanged, list,
                     [&events, id = desc.id] { events.changed(id); });
    return list;
}

QComboBox* CreateComboBox(QWidget* parent, const WidgetDesc& desc, FormEvents& events) {
    auto* combo = new QComboBox(parent);
    for (std::string_view item : desc.items) {
        combo->addItem(ToQString(item));
    }
    combo->setCurrentText(ToQString(desc.text));
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                     [&events, id = desc.id] { events.changed(id); });
    return combo;
}

// The line runs from its start pixel through its end pixel, lineWidth pixels thick.
QWidget* CreateLine(QWidget* parent, const WidgetDesc& desc) {
    const int left = TwipsToPixels(desc.rect.left, kQtDpi);
    const int right = TwipsToPixels(desc.rect.left + desc.rect.width, kQtDpi);
    auto* line = new LineWidget(parent, ToQColor(desc.colour.value_or(Rgb{})));
    line->setGeometry(left, TwipsToPixels(desc.rect.top, kQtDpi), right - left + 1, desc.lineWidth);
    return line;
}

QWidget* Create(QWidget* client, const WidgetDesc& desc, FormEvents& events) {
    switch (desc.kind) {
    case WidgetKind::Label:
        return CreateLabel(client, desc);
    case WidgetKind::TextBox:
        return CreateTextBox(client, desc, events);
    case WidgetKind::ListBox:
        return CreateListBox(client, desc, events);
    case WidgetKind::PushButton:
        return CreateButton(client, desc, events);
    case WidgetKind::Picture:
        return CreatePicture(client, desc);
    case WidgetKind::ComboBox:
        return CreateComboBox(client, desc, events);
    case WidgetKind::Table:
        return new ReportTable(client, desc, events);
    case WidgetKind::Chart:
        return new ChartCanvas(client, desc.id, events);
    case WidgetKind::Line:
        return CreateLine(client, desc);
    }
    return nullptr;
}

} // namespace

QRect ToPixels(const TwipsRect& rect) {
    return QRect(TwipsToPixels(rect.left, kQtDpi), TwipsToPixels(rect.top, kQtDpi),
                 TwipsToPixels(rect.width, kQtDpi), TwipsToPixels(rect.height, kQtDpi));
}

QWidget* CreateWidget(QWidget* client, const WidgetDesc& desc, FormEvents& events) {
    QWidget* widget = Create(client, desc, events);
    if (desc.kind != WidgetKind::Line) {
        widget->setGeometry(ToPixels(desc.rect));
    }
    return widget;
}

} // namespace runetally
