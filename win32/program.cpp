#include "program.h"

#include "aboutdialog.h"
#include "mainwindow.h"
#include "plannercommands.h"
#include "systemplatform.h"
#include "windowplace.h"

#include <commctrl.h>

namespace runetally::win32 {
namespace {

template <class Commands>
FormInstance<FormWindow> Shared(Window window, const FormDesc& (*describe)(),
                                bool takesFiles = false) {
    return FormInstance<FormWindow>([=] {
        return new FormWindow(
            describe(), Instance(window),
            [](FormSurface& form, Platform& platform) {
                return std::make_unique<Commands>(form, platform);
            },
            takesFiles);
    });
}

ScreenRect FrameOf(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

// The planner opens beside the main window where the screen has room, as a window manager places
// it; where none does, as under Wine, both would open at the same default place.
void PlaceBeside(HWND window, HWND main) {
    if (!IsWindowVisible(main) || IsIconic(main)) {
        return;
    }
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const ScreenRect size = FrameOf(window);
    const ScreenRect placed =
        Beside(FrameOf(main), size.width, size.height,
               {work.left, work.top, work.right - work.left, work.bottom - work.top});
    SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

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

// The main window takes the characters dropped on it.
FormInstance<FormWindow>& Instance(Window window) {
    static FormInstance<FormWindow> main =
        Shared<MainCommands>(Window::Main, MainWindowDescription, true);
    static FormInstance<FormWindow> planner([] {
        auto* window = new FormWindow(
            PlannerDescription(), Instance(Window::Planner),
            [](FormSurface& form, Platform& platform) {
                return std::make_unique<PlannerCommands>(form, platform);
            },
            false);
        if (FormWindow* main = MainForm().loaded()) {
            PlaceBeside(window->handle(), main->handle());
        }
        return window;
    });
    static FormInstance<FormWindow> about = Shared<AboutCommands>(Window::About, AboutDescription);
    return window == Window::Main ? main : window == Window::Planner ? planner : about;
}

MainFollower* Follower() {
    FormWindow* planner = PlannerForm().loaded();
    return planner != nullptr ? &static_cast<PlannerCommands&>(planner->events()) : nullptr;
}

void OpenMainWindow(const wchar_t* commandLine) {
    FormWindow& main = MainForm().show();
    if (const std::optional<std::string> file = CommandLineFile(commandLine)) {
        static_cast<MainCommands&>(main.events()).openCharacter(*file);
    }
}

} // namespace runetally::win32
