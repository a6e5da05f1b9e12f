#pragma once

#include "formsurface.h"
#include "qtplatform.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QCloseEvent;
class QKeyEvent;

namespace runetally {

// Any window drawn from its description, with the commands that answer its widgets: its widgets
// on the client area, its menus on a menu bar above it, its frame and its place. The window's
// size is that of its client area, and of the menu bar when it has menus.
class FormWindow : public QMainWindow {
    Q_OBJECT

public:
    // Makes a window's commands over its surface and platform, which outlive them.
    using Commands = std::function<std::unique_ptr<FormEvents>(FormSurface&, Platform&)>;

    // Draws the window, makes its commands and runs their load step; activate() shows it.
    FormWindow(const FormDesc& form, const Commands& commands);
    ~FormWindow() override;

    // The window's commands, as their own class.
    template <class C> C& commands() const { return dynamic_cast<C&>(*events_); }

    void activate() {
        show();
        raise();
        activateWindow();
    }

signals:
    // The window closed; its widgets are discarded once control is back in the event loop.
    void closed();

protected:
    // Asks the commands first, unless the commands themselves close the window.
    void closeEvent(QCloseEvent* event) override;
    // Enter presses the default button, and Esc the cancel button, wherever the focus leaves
    // them to the window.
    void keyPressEvent(QKeyEvent* event) override;
    // A file dragged anywhere over the window, its text boxes included; Ctrl+C on a control; the
    // client area's size.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Surface;

    std::unique_ptr<Surface> surface_;
    QtPlatform platform_;
    std::unique_ptr<FormEvents> events_; // made last and gone first: they use the two above
};

} // namespace runetally
