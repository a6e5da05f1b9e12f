#include "frmmain.h"
#include "qtapplication.h"

int main(int argc, char* argv[]) {
    runetally::QtApplication app(argc, argv); // says so and ends when no display can be opened
    runetally::MainForm().show().openArguments({argv, argv + argc}); // runetally [FILE], as bytes
    return app.exec(); // returns once the last window has closed
}
