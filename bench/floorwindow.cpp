// The floor for start-up: the least a Qt Widgets program does to show a window.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLineEdit(&window));
    window.show();
    return app.exec();
}
