#pragma once

#include "formdescription.h"
#include "windowservices.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <string_view>

namespace runetally {

// A twips rectangle in Qt's device-independent pixels, which Qt scales to the screen itself.
QRect ToPixels(const TwipsRect& rect);

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The widgets of a window, built from its description on a client widget and found by name.
class FormWidgets {
public:
    // clicked hears the name of each push button pressed.
    FormWidgets(QWidget* client, const FormDesc& form,
                std::function<void(std::string_view)> clicked);

    template <class W = QWidget> W* get(std::string_view name) const {
        const auto found = widgets_.find(name);
        return found == widgets_.end() ? nullptr : qobject_cast<W*>(found->second);
    }

    // Tab follows the description's focus order; the first widget takes the focus.
    void setFocusOrder();

private:
    QWidget* create(QWidget* client, const WidgetDesc& desc);

    const FormDesc& form_;
    std::map<std::string_view, QWidget*> widgets_;
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

} // namespace runetally
