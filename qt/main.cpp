#include "programwindows.h"
#include "qtapplication.h"

int main(int argc, char* argv[]) {
    runetally::QtApplication app(argc, argv); // says so and ends when no display can be opened
    runetally::OpenArguments(runetally::MainForm().show(), {argv, argv + argc}); // [FILE], as bytes
    return app.exec(); // returns once the last window has closed
}
