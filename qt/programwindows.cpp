#include "programwindows.h"

#include "aboutdialog.h"
#include "mainwindow.h"
#include "plannercommands.h"

#include <filesystem>

namespace runetally {
namespace {

template <class Commands> std::unique_ptr<FormEvents> Make(FormSurface& form, Platform& platform) {
    return std::make_unique<Commands>(form, platform);
}

// A new window for its shared instance: deleted once closed, and forgotten by the instance as
// soon as it closes.
FormWindow* Load(FormInstance<FormWindow>& instance, const FormDesc& form,
                 const FormWindow::Commands& commands) {
    auto* window = new FormWindow(form, commands);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const auto forget = [&instance, window] { instance.unloaded(window); };
    QObject::connect(window, &FormWindow::closed, forget);
    QObject::connect(window, &QObject::destroyed, forget);
    return window;
}

} // namespace

FormInstance<FormWindow>& MainForm() {
    static FormInstance<FormWindow> instance(
        [] { return Load(MainForm(), MainWindowDescription(), Make<MainCommands>); });
    return instance;
}

FormInstance<FormWindow>& PlannerForm() {
    static FormInstance<FormWindow> instance(
        [] { return Load(PlannerForm(), PlannerDescription(), Make<PlannerCommands>); });
    return instance;
}

FormInstance<FormWindow>& AboutForm() {
    static FormInstance<FormWindow> instance(
        [] { return Load(AboutForm(), AboutDescription(), Make<AboutCommands>); });
    return instance;
}

void QtPlatform::show(Window window) {
    switch (window) {
    case Window::Main:
        MainForm().show();
        break;
    case Window::Planner:
        PlannerForm().show();
        break;
    case Window::About:
        AboutForm().show();
        break;
    }
}

MainFollower* QtPlatform::follower() {
    FormWindow* planner = PlannerForm().loaded();
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
