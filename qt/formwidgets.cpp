#include "formwidgets.h"

#include "windowservices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include <limits>

namespace runetally {
namespace {

constexpr int kQtDpi = 96; // Qt's pixels are those of a 96-dpi screen, scaled by Qt

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

QLineEdit* CreateTextBox(QWidget* parent, const WidgetDesc& desc) {
    auto* box = new QLineEdit(parent);
    box->setMaxLength(desc.maxLength > 0 ? desc.maxLength : std::numeric_limits<int>::max());
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
        QWidget* widget = create(client, desc);
        widget->setObjectName(ToQString(form.controlName(desc.id)));
        widgets_[desc.id.index] = widget;
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QObject::connect(button, &QPushButton::clicked, client,
                             [clicked = events.clicked, id = desc.id] { clicked(id); });
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

QWidget* FormWidgetsBase::create(QWidget* client, const WidgetDesc& desc) {
    QWidget* widget = nullptr;
    switch (desc.kind) {
    case WidgetKind::Label:
        widget = CreateLabel(client, desc);
        break;
    case WidgetKind::TextBox:
        widget = CreateTextBox(client, desc);
        break;
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

void FormWidgetsBase::setFocusOrder() {
    for (std::size_t i = 1; i < form_.focusOrder.size(); ++i) {
        QWidget::setTabOrder(at(form_.focusOrder[i - 1]), at(form_.focusOrder[i]));
    }
    if (!form_.focusOrder.empty()) {
        at(form_.focusOrder.front())->setFocus();
    }
}

void ShowMessage(const QString& text) {
    // The box has no owner, so nothing hands the keyboard back to the window the player was
    // working in when it closes; that window is activated again here, its focus widget intact.
    const QPointer<QWidget> active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, ToQString(BuildIdentity().title), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (active && active->isVisible()) {
        active->activateWindow();
    }
}

} // namespace runetally
