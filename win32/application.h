#pragma once

namespace runetally::win32 {

// The program's run: the common controls and the message loop of every form.
class Application {
public:
    Application();

    // Runs until the last form has closed; returns the program's exit status.
    int run();
};

} // namespace runetally::win32
