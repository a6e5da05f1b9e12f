#include "application.h"

#include "formwindow.h"

#include <windows.h>

#include <commctrl.h>

namespace runetally::win32 {

Application::Application() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

int Application::run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        FormWindow::Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace runetally::win32
