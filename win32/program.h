#pragma once

#include "formwindow.h"
#include "platform.h"
#include "windowservices.h"

namespace runetally::win32 {

// The program's run: the common controls and the message loop of every form.
class Application {
public:
    Application();

    // Runs until the last form has closed; returns the program's exit status.
    int run();
};

// The program's windows, each made from its description with its commands when first shown.
FormInstance<FormWindow>& Instance(Window window);
inline FormInstance<FormWindow>& MainForm() {
    return Instance(Window::Main);
}
inline FormInstance<FormWindow>& PlannerForm() {
    return Instance(Window::Planner);
}
inline FormInstance<FormWindow>& AboutForm() {
    return Instance(Window::About);
}

// The planner's commands while it is loaded: they follow the main window.
MainFollower* Follower();

// Shows the main window with the character the command line names, if it names one, as
// `runetally.exe thalia.rtchar` does.
void OpenMainWindow(const wchar_t* commandLine);

} // namespace runetally::win32
