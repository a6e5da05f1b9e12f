#pragma once

#include <QApplication>

namespace runetally {

namespace detail {
// Watches Qt's messages while the application starts: a display that cannot be opened ends the
// program with one line that names it, instead of Qt's abort and its advice to reinstall.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    void release();
};
} // namespace detail

// The program's QApplication, which ends the program with status 1 and one line on stderr when
// no display can be opened.
class QtApplication : private detail::DisplayGuard, public QApplication {
public:
    QtApplication(int& argc, char** argv);
};

} // namespace runetally
