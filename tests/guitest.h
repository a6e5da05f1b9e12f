#pragma once

// Shared by the window tests: one QApplication for the whole test program (created in a
// GoogleTest environment, so gtest_main still provides main), a watchdog that closes modal windows
// nobody expected so that no test hangs, and a helper that catches the one message box an action
// opens.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

// Lets failed expectations print Qt texts and rectangles readably.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

namespace runetally::test {

// What the player sees of a message box.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    qsizetype buttonCount = 0;
    Qt::WindowModality modality = Qt::NonModal;
};

inline void Dismiss(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

// Fails the running test and closes any modal window that stays open for seconds: a box that a
// test did not expect would otherwise wait for a click forever.
class ModalWatchdog {
public:
    explicit ModalWatchdog(int patienceMs = 3000) : patienceMs_(patienceMs) {
        timer_.callOnTimeout([this] { poll(); });
        timer_.start(100);
    }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != watched_) {
            watched_ = modal;
            since_.start();
        } else if (modal && since_.elapsed() > patienceMs_) {
            ADD_FAILURE() << "unexpected modal window left open: "
                          << modal->windowTitle().toStdString();
            Dismiss(modal);
        }
    }

    int patienceMs_;
    QTimer timer_;
    QPointer<QWidget> watched_;
    QElapsedTimer since_;
};

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The tests never need a display, also when started by hand.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // Settings, the recent list among them, go to a folder of the test's own, never the
        // user's; Qt reads the variable once, when settings are first used.
        settings_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(settings_->isValid());
        qputenv("XDG_CONFIG_HOME", settings_->path().toLocal8Bit());
        app_ = std::make_unique<QApplication>(argc_, argv_);
        watchdog_ = std::make_unique<ModalWatchdog>();
    }
    void TearDown() override {
        watchdog_.reset();
        app_.reset();
        settings_.reset();
    }

private:
    char name_[8] = "guitest";
    char* argv_[2] = {name_, nullptr};
    int argc_ = 1; // QApplication keeps a reference to it
    std::unique_ptr<QTemporaryDir> settings_;
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<ModalWatchdog> watchdog_;
};

inline ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

// Runs an action that is to open exactly one message box and returns what the box showed, or
// nothing when it opened none or several. Each box is closed with its `answer` button (or
// rejected when it has none) right after `whileOpen` has run with it still on screen.
inline std::optional<SeenBox>
ExpectOneMessageBox(const std::function<void()>& action,
                    const std::function<void()>& whileOpen = {},
                    QMessageBox::StandardButton answer = QMessageBox::Ok) {
    std::vector<SeenBox> seen;
    int otherModals = 0;
    QPointer<QWidget> handled;
    QTimer poll;
    poll.callOnTimeout([&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == handled || !modal->isVisible()) {
            return;
        }
        handled = modal;
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            ++otherModals;
            Dismiss(modal);
            return;
        }
        seen.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                        box->buttons().size(), box->windowModality()});
        if (whileOpen) {
            whileOpen();
        }
        if (QAbstractButton* button = box->button(answer)) {
            button->click();
        } else {
            box->reject();
        }
    });
    poll.start(5);
    action();
    poll.stop();
    EXPECT_EQ(seen.size(), 1u) << "message boxes opened";
    EXPECT_EQ(otherModals, 0) << "other modal windows opened";
    return seen.size() == 1 ? std::optional(seen.front()) : std::nullopt;
}

// Runs an action that is to open one file dialog, and answers it with `answer` once it shows; a
// dialog that `answer` leaves open is cancelled.
inline void AnswerFileDialog(const std::function<void()>& action,
                             const std::function<void(QFileDialog&)>& answer) {
    int seen = 0;
    QTimer poll;
    poll.callOnTimeout([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            ++seen;
            answer(*dialog);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        }
    });
    poll.start(5);
    action();
    poll.stop();
    EXPECT_EQ(seen, 1) << "file dialogs opened";
}

// Writes a character file as the README shows one: the window's start texts, but intelligence.
inline void WriteCharacter(const QString& path, const char* spell, const char* intelligence) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(R"({"format": "runetally-character", "version": 1, "spell": ")") + spell +
               R"(", "inputs": {"level": "99", "int": ")" + intelligence +
               R"(", "wis": "100", "resist": "100", "light": "100", "earth": "100",)" +
               R"( "fire": "100", "air": "100", "water": "100", "dark": "100"}})");
}

} // namespace runetally::test
