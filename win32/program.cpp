#include "program.h"

#include "aboutdialog.h"
#include "mainwindow.h"
#include "plannercommands.h"
#include "systemplatform.h"

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
    static FormInstance<FormWindow> planner =
        Shared<PlannerCommands>(Window::Planner, PlannerDescription);
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
