#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

namespace runetally {

// The application's title and version, fixed when the program is built.
struct AppIdentity {
    QString title;
    quint16 major = 0;
    quint16 minor = 0;
    quint16 revision = 0;
};

const AppIdentity& BuildIdentity();

// A label as every window shows one: plain text, left-aligned and wrapped at words inside its
// fixed box, never resized to fit; what does not fit is cut off at the box's edge.
QLabel* CreateLabel(QWidget* parent, const QString& name, const QRect& box,
                    const QString& text = {});

// An application-modal message box with an OK button alone, no icon, and the application's
// title as caption. Returns when the box is closed; which way it was closed does not matter.
void ShowMessage(const QString& text);

// A window's single shared instance. The instance lives for the whole run; its widgets exist only
// while it is loaded. Showing loads it first (construction, then its Form_Load when it has one);
// closing it by any means unloads it and discards its widgets.
template <class Form> class FormInstance {
public:
    // The loaded window, or null when it is not loaded.
    Form* loaded() const { return form_ && form_->isVisible() ? form_.data() : nullptr; }

    Form& show() {
        if (!loaded()) {
            // A window that was closed may still await deletion: it is never shown again.
            form_ = new Form();
            form_->setAttribute(Qt::WA_DeleteOnClose);
            if constexpr (requires(Form & f) { f.Form_Load(); }) {
                form_->Form_Load();
            }
        }
        form_->show();
        form_->raise();
        form_->activateWindow();
        return *form_;
    }

    void unload() {
        if (Form* form = loaded()) {
            form->close();
        }
    }

private:
    QPointer<Form> form_;
};

} // namespace runetally
