#pragma once

#include "formdescription.h"
#include "windowservices.h"

#include <QMessageBox>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace runetally {

inline constexpr int kQtDpi = 96; // Qt's pixels are those of a 96-dpi screen, scaled by Qt

// A twips rectangle in Qt's device-independent pixels, which Qt scales to the screen itself.
QRect ToPixels(const TwipsRect& rect);

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a window's widgets tell its commands.
struct FormEvents {
    // A push button was pressed.
    std::function<void(ControlId)> clicked;
    // Whether a paste may go ahead that would leave a text box with a limit this long.
    std::function<bool(ControlId, std::size_t)> pasting = {};
    // A text box's text, a combo box's choice or a list's selection changed, by the player or
    // the program; or the player selected another row of a table.
    std::function<void(ControlId)> changed = {};
    // A click or Enter on the caption of a sortable table's column.
    std::function<void(ControlId, int column)> sortRequested = {};
    // Ctrl+C on a table or chart: true once the commands copied.
    std::function<bool(ControlId)> copying = {};
    // A chart took another size.
    std::function<void(ControlId)> resized = {};
};

// The widgets of a window, built from its description on a client widget, by control.
class FormWidgetsBase {
public:
    FormWidgetsBase(QWidget* client, const FormDesc& form, FormEvents events);

    // Tab follows the description's focus order; the first widget takes the focus.
    void setFocusOrder();

    // Moves the widgets that stretch to their places in a client area of that size.
    void place(QSize client);

protected:
    QWidget* at(ControlId id) const { return widgets_[id.index]; }

private:
    QWidget* create(QWidget* client, const WidgetDesc& desc, const FormEvents& events);
    QWidget* firstStop(ControlId id) const;

    const FormDesc& form_;
    std::vector<QWidget*> widgets_; // by control: widget i is control i
};

// The widgets of a window whose controls Id names, reached by those ids alone.
template <ControlEnum Id> class FormWidgets : public FormWidgetsBase {
public:
    using FormWidgetsBase::FormWidgetsBase;

    template <class W = QWidget> W* get(Id id) const { return qobject_cast<W*>(at(id)); }
};

// A new window for its shared instance: deleted once closed, and forgotten by the instance when
// it goes. The window itself tells the instance as soon as it is closed.
template <class Form> Form* NewSharedForm(FormInstance<Form>& instance) {
    auto* form = new Form();
    form->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(form, &QObject::destroyed, [&instance, form] { instance.unloaded(form); });
    return form;
}

// An application-modal message box with an OK button alone, no icon, and the application's
// title as caption. Returns when the box is closed; which way it was closed does not matter.
void ShowMessage(const QString& text);

// The same box with these buttons; returns the one the player chose, `escape` when the box was
// closed another way (Esc, its close box).
QMessageBox::StandardButton Ask(const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton escape);

} // namespace runetally
