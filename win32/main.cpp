#include "application.h"
#include "frmmain.h"

int main() {
    runetally::win32::Application app; // the common controls, in the manifest's version 6
    runetally::win32::MainForm().show().openCommandLineCharacter(); // runetally.exe thalia.rtchar
    return app.run(); // returns once the last window has closed
}
