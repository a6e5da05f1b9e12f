#pragma once

#include "formwindow.h"
#include "windowservices.h"

#include <string>
#include <vector>

namespace runetally {

// The program's windows, each a single shared instance without an owner: the program ends when
// the last one closes.
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

// Opens in the main window the character file the command line names, if it names one;
// `arguments` are the bytes the program was given, once Qt has taken its own options out.
void OpenArguments(FormWindow& main, const std::vector<std::string>& arguments);

} // namespace runetally
