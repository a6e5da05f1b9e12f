#include "programwindows.h"

#include "aboutdialog.h"
#include "mainwindow.h"
#include "plannercommands.h"
#include "windowplace.h"

#include <QScreen>

#include <filesystem>

namespace runetally {
namespace {

// A new window for the window's shared instance: deleted once closed, and forgotten by the
// instance as soon as it closes.
template <class Commands> FormWindow* Load(Window shared, const FormDesc& form) {
    auto* window = new FormWindow(form, [](FormSurface& surface, Platform& platform) {
        return std::make_unique<Commands>(surface, platform);
    });
    window->setAttribute(Qt::WA_DeleteOnClose);
    const auto forget = [shared, window] { Instance(shared).unloaded(window); };
    QObject::connect(window, &FormWindow::closed, forget);
    QObject::connect(window, &QObject::destroyed, forget);
    return window;
}

// The planner opens beside the main window where the screen has room, as a window manager
// places it; where none does, it would open over the main window.
void PlaceBeside(FormWindow& window, const FormWindow& main) {
    QScreen* screen = main.screen();
    if (screen == nullptr || !main.isVisible()) {
        return;
    }
    const QRect other = main.frameGeometry();
    const QRect area = screen->availableGeometry();
    // Its frame as wide as the main window's.
    const ScreenRect placed = Beside({other.x(), other.y(), other.width(), other.height()},
                                     window.width() + other.width() - main.width(),
                                     window.height() + other.height() - main.height(),
                                     {area.x(), area.y(), area.width(), area.height()});
    window.move(placed.left, placed.top);
}

} // namespace

FormInstance<FormWindow>& Instance(Window window) {
    static FormInstance<FormWindow> instances[] = {
        FormInstance<FormWindow>(
            [] { return Load<MainCommands>(Window::Main, MainWindowDescription()); }),
        FormInstance<FormWindow>([] {
            FormWindow* planner = Load<PlannerCommands>(Window::Planner, PlannerDescription());
            if (FormWindow* main = Instance(Window::Main).loaded()) {
                PlaceBeside(*planner, *main);
            }
            return planner;
        }),
        FormInstance<FormWindow>(
            [] { return Load<AboutCommands>(Window::About, AboutDescription()); })};
    return instances[static_cast<int>(window)];
}

void QtPlatform::show(Window window) {
    Instance(window).show();
}

MainFollower* QtPlatform::follower() {
    FormWindow* planner = Instance(Window::Planner).loaded();
    return planner != nullptr ? &planner->commands<PlannerCommands>() : nullptr;
}

void OpenArguments(FormWindow& main, const std::vector<std::string>& arguments) {
    // Only the first name counts, and options are passed over.
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].starts_with('-')) {
            // The recent list keeps it: a path relative to where the program started would
            // name another file, or none, in the next run. The name keeps its bytes, which a
            // QString would change where they are no UTF-8.
            std::error_code error;
            const std::filesystem::path whole = std::filesystem::absolute(arguments[i], error);
            main.commands<MainCommands>().openCharacter(
                (error ? std::filesystem::path(arguments[i]) : whole).lexically_normal().string());
            return;
        }
    }
}

} // namespace runetally
