#include "frmmain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    runetally::MainForm().show();
    return app.exec(); // returns once the last window has closed
}
