#include "program.h"

int main() {
    runetally::win32::Application app; // the common controls, in the manifest's version 6
    runetally::win32::OpenMainWindow(GetCommandLineW()); // runetally.exe thalia.rtchar
    return app.run();                                    // returns once the last window has closed
}
