#include "qtapplication.h"

#include "appstyle.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace runetally::detail {
namespace {

struct Held {
    QtMsgType type;
    QByteArray category;
    QString message;
};

QtMessageHandler previous = nullptr;
QByteArray displayTried; // the display the platform plugin said it could not open
bool displayFailed = false;
QList<Held>* held = nullptr; // the platform's messages, until it is known whether it started

void Replay() {
    if (held == nullptr) {
        return;
    }
    for (const Held& message : *held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        previous(message.type, context, message.message);
    }
    delete held;
    held = nullptr;
}

bool IsPlatformMessage(const QMessageLogContext& context) {
    return context.category != nullptr && std::strncmp(context.category, "qt.qpa.", 7) == 0;
}

void Watch(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    constexpr char kCannotConnect[] = "could not connect to display";
    if (IsPlatformMessage(context) && message.startsWith(QLatin1String(kCannotConnect))) {
        displayFailed = true;
        displayTried = message.mid(int(sizeof kCannotConnect) - 1).trimmed().toLocal8Bit();
        return;
    }
    if (type != QtFatalMsg && IsPlatformMessage(context) && held != nullptr) {
        held->append({type, context.category, message});
        return;
    }
    if (type == QtFatalMsg && displayFailed) {
        std::fprintf(stderr, "runetally: no display could be opened: %s\n",
                     displayTried.isEmpty() ? "DISPLAY is not set" : displayTried.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        Replay();
    }
    previous(type, context, message);
}

} // namespace

DisplayGuard::DisplayGuard() {
    held = new QList<Held>;
    previous = qInstallMessageHandler(Watch);
}

DisplayGuard::~DisplayGuard() {
    release();
}

void DisplayGuard::release() {
    if (previous != nullptr) {
        qInstallMessageHandler(previous);
        Replay();
        previous = nullptr;
    }
}

} // namespace runetally::detail

namespace runetally {

QtApplication::QtApplication(int& argc, char** argv) : QApplication(argc, argv) {
    release(); // the display is open: Qt's messages go their usual way again
    setStyle(new AppStyle(style()->name())); // the style chosen by the desktop or -style
}

} // namespace runetally
