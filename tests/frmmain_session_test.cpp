// A long seeded random session against the real main window: typing, choosing spells, pressing
// the button, the menu commands and stray keys, with the window's whole state checked against a
// model after every action. Results are not predicted: a press must either change dmg alone, to
// a well-formed number, or be refused with one message box and change nothing, and the same
// spell and texts must always give the same outcome.
//
// RUNETALLY_SESSION_SEED=<number> replays a run; every failure names the seed and the action.

#include "guitest.h"
#include "mainwindow.h"
#include "programwindows.h"
#include "spellinputs.h"
#include "spelltable.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

using namespace runetally;

namespace {

constexpr int kActions = 20000;
constexpr unsigned long long kDefaultSeed = 20240611;
constexpr auto kPatience = std::chrono::seconds(60);

// The ten input boxes, then the result box.
constexpr std::array kInputs = {
    Field::varWis,    Field::varInt,   Field::varResist,  Field::powerLight, Field::powerEarth,
    Field::powerFire, Field::powerAir, Field::powerWater, Field::powerDark,  Field::varLevel};
constexpr int kResult = kFieldCount;

// The action now running, for the crash and hang reports; written before each action starts.
char gRunning[512] = "before the first action";
std::atomic<int> gProgress{0};

void ReportCrash(int signal) {
    std::fprintf(stderr, "\nCRASHED (signal %d) during %s\n", signal, gRunning);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Fails the run when the window stops answering for a minute: reports the action that hung and
// aborts, since a stuck event loop would otherwise stop the test run without a word.
class HangWatchdog {
public:
    HangWatchdog() : thread_([this] { watch(); }) {}
    ~HangWatchdog() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        int seen = gProgress;
        auto since = std::chrono::steady_clock::now();
        while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) {
            const auto now = std::chrono::steady_clock::now();
            if (gProgress != seen) {
                seen = gProgress;
                since = now;
            } else if (now - since > kPatience) {
                std::fprintf(stderr, "\nFAILED: no progress for %lld s during %s\n",
                             static_cast<long long>(kPatience.count()), gRunning);
                std::signal(SIGABRT, SIG_DFL);
                std::abort();
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

// Closes every modal window as soon as its event loop runs, clicking OK on message boxes, and
// counts them: boxes are application-modal boxes with OK alone, others anything else modal.
class BoxCatcher : public QObject {
public:
    BoxCatcher() { qApp->installEventFilter(this); }
    ~BoxCatcher() override { qApp->removeEventFilter(this); }

    int boxes = 0;
    int others = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) {
            return false;
        }
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || !window->isModal()) {
            return false;
        }
        auto* box = qobject_cast<QMessageBox*>(window);
        const bool okBox = box && box->windowModality() == Qt::ApplicationModal &&
                           box->standardButtons() == QMessageBox::Ok && box->buttons().size() == 1;
        ++(okBox ? boxes : others);
        QMetaObject::invokeMethod(
            window,
            [window, box] {
                if (box && box->button(QMessageBox::Ok)) {
                    box->button(QMessageBox::Ok)->click();
                } else {
                    test::Dismiss(window);
                }
            },
            Qt::QueuedConnection);
        return false;
    }
};

// The offscreen platform says on every message box that it cannot do what a box asks of it;
// thousands of such lines would hide the test's own output.
QtMessageHandler gQtHandler = nullptr;
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support"))) {
        gQtHandler(type, context, message);
    }
}

unsigned long long SessionSeed(bool& ok) {
    ok = true;
    if (!qEnvironmentVariableIsSet("RUNETALLY_SESSION_SEED")) {
        return kDefaultSeed;
    }
    return qEnvironmentVariable("RUNETALLY_SESSION_SEED").toULongLong(&ok, 0);
}

// A text short enough for a failure message.
std::string Brief(const QString& text) {
    if (text.size() <= 40) {
        return '"' + text.toStdString() + '"';
    }
    return '"' + text.left(12).toStdString() + "...\" (" + std::to_string(text.size()) + " chars)";
}

// A result as the window writes it: at most fifteen significant digits and no trailing zero after
// the separator; plain from 0.0001 to below 10^15, in exponent notation outside.
bool IsResultNumber(const QString& text) {
    static const QRegularExpression plain(
        QStringLiteral("^-?(?<digits>(0|[1-9][0-9]*)(\\.[0-9]*[1-9])?)$"));
    static const QRegularExpression scientific(
        QStringLiteral("^-?(?<digits>[1-9](\\.[0-9]*[1-9])?)E(?<exponent>[+-][0-9]{2,3})$"));
    const QRegularExpressionMatch p = plain.match(text);
    const QRegularExpressionMatch s = scientific.match(text);
    QString digits = (p.hasMatch() ? p : s).captured(u"digits");
    digits.remove(u'.');
    while (digits.size() > 1 && digits.startsWith(u'0')) {
        digits.remove(0, 1);
    }
    if (digits.size() > 15) {
        return false;
    }
    if (p.hasMatch()) {
        const double magnitude = std::abs(text.toDouble());
        return text != QLatin1String("-0") &&
               (magnitude == 0 || (magnitude >= 0.0001 && magnitude < 1e15));
    }
    const int exponent = s.captured(u"exponent").toInt();
    return s.hasMatch() && (exponent >= 15 || exponent <= -5);
}

// Numbers at a double's edges, texts that are almost numbers, and pieces of garbage.
// clang-format off
const char* const kEdgeNumbers[] = {
    "1.7976931348623157e308", "1.7976931348623159e308", "1e308", "-1e308", "4.9e-324",
    "-4.9e-324", "2.2250738585072014e-308", "1e-400", "-1e-400", "1e400", "0", "-0", "+0.0",
    "9007199254740993", "0.1", "1e15", "999999999999999", "1e-5"};
const char* const kOddTexts[] = {
    "", " ", "١٢٣", "٣٫٥", "ｆ", "１２", "é", "😀", "1😀", "½", "nan", "NaN", "inf", "-Infinity",
    "abc", "1O0", "0x1A", "1e", "e5", "--1", "+5", "1.2.3", ".5", "5.", ".", ",", "1,5", "1,000",
    "1 000", "\t7", "7\t", "1e+", "-.e1", "1_000"};
const char* const kGarbage[] = {
    "0", "7", ".", ",", "-", "+", "e", "E", " ", "x", "#", "é", "€", "😀", "١", "\t", "\\", "%"};
// clang-format on

class Session {
public:
    explicit Session(unsigned long long seed) : rng_(seed) {
        window_ = &MainForm().show();
        for (int i = 0; i < kFieldCount; ++i) {
            const std::string_view name = FieldName(kInputs[i]);
            boxes_[i] = find<QLineEdit>(QString::fromUtf8(name.data(), qsizetype(name.size())));
        }
        boxes_[kResult] = find<QLineEdit>(QStringLiteral("dmg"));
        list_ = find<QListWidget>(QStringLiteral("listSpells"));
        button_ = find<QPushButton>(QStringLiteral("cmdCalculate"));
        for (QLineEdit* box : boxes_) {
            expected_ << box->text();
        }
    }
    ~Session() {
        trace_.reset();
        AboutForm().unload();
        MainForm().unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs one random action as action number `index` and checks the window afterwards.
    void step(int index) {
        index_ = index;
        expectedBoxes_ = 0;
        catcher_.boxes = catcher_.others = 0;
        switch (mix_(rng_)) {
        case 0:
            typeInput(randomText());
            break;
        case 1:
            typeInput(hugeText());
            break;
        case 2:
            typeIntoResult();
            break;
        case 3:
            selectSpell();
            break;
        case 4:
            clearSelection();
            break;
        case 5:
            listKeys();
            break;
        case 6:
            press();
            break;
        case 7:
            reset();
            break;
        case 8:
            helpMe();
            break;
        case 9:
            about();
            break;
        default:
            strayKey();
            break;
        }
        check();
    }

    // Prints what the session did; a whole run must have both calculated and refused often.
    void report(bool whole) {
        trace_.reset();
        std::printf("[  SESSION ] %d presses: %d results, %d refused with a message; "
                    "%d huge texts\n",
                    presses_, results_, refusals_, hugeTexts_);
        if (!whole) {
            return;
        }
        EXPECT_GT(results_, presses_ / 10) << "too few presses calculated anything";
        EXPECT_GT(refusals_, presses_ / 10) << "too few presses failed";
    }

private:
    template <class W> W* find(const QString& name) {
        W* widget = window_->findChild<W*>(name);
        if (!widget) {
            throw std::runtime_error("no widget named " + name.toStdString());
        }
        return widget;
    }
    void trigger(const char* item) { find<QAction>(QLatin1String(item))->trigger(); }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    template <class T, std::size_t N> const T& any(const T (&items)[N]) { return items[pick(N)]; }

    // Names the action before it runs, for failures, crashes and hangs.
    void announce(const std::string& what) {
        std::snprintf(gRunning, sizeof gRunning, "action #%d: %s", index_, what.c_str());
        gProgress.fetch_add(1);
        trace_.reset();
        trace_.emplace(__FILE__, __LINE__, std::string(gRunning));
    }

    std::string digits(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += char('0' + pick(10));
        }
        return text;
    }

    QString randomText() {
        const int kind = pick(20);
        if (kind < 11) { // an ordinary number, now and then with a comma or spaces around it
            std::string text = chance(0.2) ? "-" : chance(0.05) ? "+" : "";
            text += std::to_string(chance(0.8) ? pick(1000) : pick(1000000));
            if (chance(0.4)) {
                text += (chance(0.85) ? "." : ",") + digits(1 + pick(8));
            }
            if (chance(0.1)) {
                text += (chance(0.5) ? "e" : "E") + std::to_string(pick(61) - 30);
            }
            if (chance(0.15)) {
                text = std::string(pick(3), ' ') + text + std::string(1 + pick(2), ' ');
            }
            return QString::fromStdString(text);
        }
        if (kind < 14) {
            return QString::fromUtf8(any(kEdgeNumbers));
        }
        if (kind < 18) {
            return QString::fromUtf8(any(kOddTexts));
        }
        QString garbage;
        for (int n = 1 + pick(12); n > 0; --n) {
            garbage += QString::fromUtf8(any(kGarbage));
        }
        return garbage;
    }

    // A megabyte of text, too long for any box: mostly no number at all, sometimes a valid one
    // hidden in the mass.
    QString hugeText() {
        constexpr qsizetype kSize = 1 << 20;
        ++hugeTexts_;
        switch (pick(5)) {
        case 0:
            return QString(kSize, u'7');
        case 1:
            return QStringLiteral("0.") + QString(kSize, u'0') + u'1';
        case 2:
            return QString(kSize / 2, u' ') + u'5' + QString(kSize / 2, u' ');
        case 3:
            return u'1' + QString(kSize, u'0') + QStringLiteral("e-1048570");
        default:
            return QString(kSize, u'é');
        }
    }

    // Types with the keyboard: ASCII texts through QTest::keyClicks, anything else one
    // character (a whole surrogate pair) per key event.
    static void typeKeys(QWidget* widget, const QString& text) {
        if (std::all_of(text.begin(), text.end(),
                        [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; })) {
            QTest::keyClicks(widget, text);
            return;
        }
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, n),
                                Qt::NoModifier);
            i += n;
        }
    }

    // Types with the keyboard, or pastes over the whole text; a paste past the box's limit is
    // refused with a message and leaves the box as it was.
    void typeInput(const QString& text) {
        const int target = pick(kFieldCount);
        QLineEdit* box = boxes_[target];
        const bool byKeys = text.size() <= 24 && !text.contains(u'\t') && chance(0.7);
        announce((byKeys ? "type " : "paste ") + Brief(text) + " into " +
                 box->objectName().toStdString());
        box->setFocus();
        if (byKeys) {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_Delete);
            typeKeys(box, text);
        } else {
            box->selectAll();
            QApplication::clipboard()->setText(text);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        }
        if (text.size() > kInputLimit) {
            expectedBoxes_ = 1;
        } else {
            expected_[target] = text;
        }
    }

    void typeIntoResult() {
        const QString text = randomText().left(24).remove(u'\t');
        announce("type " + Brief(text) + " into dmg, with Backspace, Delete and Ctrl+V/X");
        QLineEdit* result = boxes_[kResult];
        result->setFocus();
        QTest::keyClick(result, Qt::Key_End);
        QTest::keyClick(result, Qt::Key_Backspace);
        QTest::keyClick(result, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(result, Qt::Key_Delete);
        QTest::keyClick(result, chance(0.5) ? Qt::Key_V : Qt::Key_X, Qt::ControlModifier);
        typeKeys(result, text);
    }

    void selectSpell() {
        const int row = pick(kSpellCount);
        const bool byMouse = chance(0.3);
        announce("select row " + std::to_string(row) + (byMouse ? " by mouse" : ""));
        if (byMouse) {
            QListWidgetItem* item = list_->item(row);
            list_->scrollToItem(item);
            QTest::mouseClick(list_->viewport(), Qt::LeftButton, {},
                              list_->visualItemRect(item).center());
        } else {
            list_->setCurrentRow(row);
        }
        expectedRow_ = row;
    }

    void clearSelection() {
        announce("clear the spell selection");
        list_->clearSelection();
        expectedRow_ = -1;
    }

    // The list moves its selection with the keys; what it selects is taken as it stands.
    void listKeys() {
        static const std::pair<Qt::Key, Qt::KeyboardModifiers> kKeys[] = {
            {Qt::Key_Up, Qt::NoModifier},        {Qt::Key_Down, Qt::NoModifier},
            {Qt::Key_Home, Qt::NoModifier},      {Qt::Key_End, Qt::NoModifier},
            {Qt::Key_PageUp, Qt::NoModifier},    {Qt::Key_PageDown, Qt::NoModifier},
            {Qt::Key_Space, Qt::NoModifier},     {Qt::Key_Space, Qt::ControlModifier},
            {Qt::Key_Down, Qt::ControlModifier}, {Qt::Key_Up, Qt::ShiftModifier},
        };
        const auto [key, modifiers] = any(kKeys);
        announce("key " + QKeySequence(key | modifiers).toString().toStdString() +
                 " in the spell list");
        list_->setFocus();
        QTest::keyClick(list_, key, modifiers);
        expectedRow_ = selectedRow();
        EXPECT_GE(expectedRow_, -1) << "the list selected several spells";
    }

    // Whether a press calculates or is refused is not predicted; what it may change is. A refused
    // press shows one message box and changes nothing; any other changes dmg alone, to a number
    // as results are written, and the same spell and texts always give the same outcome.
    void press() {
        const int way = pick(10);
        announce(std::string("press cmdCalculate ") + (way < 6   ? "(click)"
                                                       : way < 9 ? "(mouse)"
                                                                 : "(Space)"));
        ++presses_;
        if (way < 6) {
            button_->click();
        } else if (way < 9) {
            QTest::mouseClick(button_, Qt::LeftButton);
        } else {
            button_->setFocus();
            QTest::keyClick(button_, Qt::Key_Space);
        }
        QCoreApplication::processEvents();
        const bool refused = catcher_.boxes > 0;
        const QString shown = boxes_[kResult]->text();
        if (refused) {
            expectedBoxes_ = 1;
            ++refusals_;
        } else {
            ++results_;
            if (expectedRow_ < 0) {
                EXPECT_EQ(shown, QStringLiteral("No Spell Selected"));
            } else {
                EXPECT_TRUE(IsResultNumber(shown)) << "dmg shows " << Brief(shown);
            }
            expected_[kResult] = shown;
        }
        QStringList key = expected_.mid(0, kFieldCount);
        key << QString::number(expectedRow_);
        const QString outcome = refused ? QStringLiteral("refused") : shown;
        const auto [before, first] = outcomes_.try_emplace(key, outcome);
        EXPECT_TRUE(first || before->second == outcome)
            << "the same spell and texts gave " << Brief(before->second) << " before, "
            << Brief(outcome) << " now";
    }

    void reset() {
        announce("File > Reset");
        trigger("mnuReset");
        expected_.fill(QStringLiteral("0"));
    }

    void helpMe() {
        announce("Help > Help Me");
        trigger("mnuHelpme");
        expectedBoxes_ = 1;
    }

    // Opens the About dialog, or brings it forward, or closes it one of three ways.
    void about() {
        FormWindow* const open = AboutForm().loaded();
        if (open && chance(0.6)) {
            const int way = pick(3);
            announce(std::string("close About ") + (way == 0   ? "with OK"
                                                    : way == 1 ? "with its close box"
                                                               : "with Esc"));
            if (way == 0) {
                open->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            } else if (way == 1) {
                open->close();
            } else {
                QTest::keyClick(open, Qt::Key_Escape);
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(AboutForm().loaded(), nullptr) << "About stayed open";
            return;
        }
        announce(open ? "Help > About while it is open" : "Help > About");
        trigger("mnuAbout");
        FormWindow* const shown = AboutForm().loaded();
        ASSERT_NE(shown, nullptr) << "About did not open";
        EXPECT_FALSE(shown->isModal());
        if (open) {
            EXPECT_EQ(shown, open) << "a second About dialog";
        }
    }

    // Enter, Esc or Tab in one of the window's widgets, Enter not on the button: none of them
    // calculates or changes text.
    void strayKey() {
        static const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab,
                                        Qt::Key_Backtab};
        Qt::Key key = any(kKeys);
        const int target = pick(kFieldCount + 3);
        QWidget* widget = target <= kResult       ? boxes_[target]
                          : target == kResult + 1 ? static_cast<QWidget*>(list_)
                                                  : button_;
        if (widget == button_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            key = Qt::Key_Escape; // Enter presses the focused button: no stray key there
        }
        announce("key " + QKeySequence(key).toString().toStdString() + " in " +
                 widget->objectName().toStdString());
        widget->setFocus();
        QTest::keyClick(widget, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    }

    // -1 for no selection, -2 for several.
    int selectedRow() const {
        const QList<QListWidgetItem*> selected = list_->selectedItems();
        return selected.isEmpty() ? -1 : selected.size() > 1 ? -2 : list_->row(selected.front());
    }

    void check() {
        QCoreApplication::processEvents();
        ASSERT_EQ(MainForm().loaded(), window_) << "the main window closed";
        EXPECT_EQ(catcher_.boxes, expectedBoxes_) << "message boxes with OK";
        EXPECT_EQ(catcher_.others, 0) << "other modal windows";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a modal window stayed open";
        for (int i = 0; i <= kResult; ++i) {
            const QString shown = boxes_[i]->text();
            if (shown != expected_[i]) {
                ADD_FAILURE() << boxes_[i]->objectName().toStdString() << " shows " << Brief(shown)
                              << ", expected " << Brief(expected_[i]);
            }
        }
        const QString result = boxes_[kResult]->text();
        EXPECT_FALSE(result.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
                     result.contains(QLatin1String("nan"), Qt::CaseInsensitive))
            << "dmg shows " << Brief(result);
        EXPECT_EQ(selectedRow(), expectedRow_) << "selected row";
    }

    std::mt19937_64 rng_;
    // How often each action of step() comes: a megabyte of text a handful of times per run.
    std::discrete_distribution<int> mix_{34, 0.025, 4, 13, 3, 5, 27, 2, 2, 3, 7};
    FormWindow* window_ = nullptr;
    std::array<QLineEdit*, kFieldCount + 1> boxes_{};
    QListWidget* list_ = nullptr;
    QPushButton* button_ = nullptr;
    BoxCatcher catcher_;
    std::optional<testing::ScopedTrace> trace_;

    int index_ = 0;
    QStringList expected_; // the eleven texts, in the order of boxes_
    int expectedRow_ = -1;
    int expectedBoxes_ = 0;
    std::map<QStringList, QString> outcomes_; // by the ten texts and the selected row
    int presses_ = 0, results_ = 0, refusals_ = 0, hugeTexts_ = 0;
};

TEST(MainWindowSession, RandomActionsKeepEveryTextAsTypedAndEveryResultRepeatable) {
    bool seedOk = false;
    const unsigned long long seed = SessionSeed(seedOk);
    ASSERT_TRUE(seedOk) << "RUNETALLY_SESSION_SEED is no number";
    const std::string replay = "RUNETALLY_SESSION_SEED=" + std::to_string(seed) + " replays this";
    SCOPED_TRACE(replay);
    std::printf("[  SESSION ] %s\n", replay.c_str());
    for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGILL}) {
        std::signal(signal, ReportCrash);
    }
    gQtHandler = qInstallMessageHandler(QuietPlatform);
    std::setlocale(LC_NUMERIC, "C"); // the full stop is the separator

    {
        HangWatchdog watchdog;
        Session session(seed);
        EXPECT_TRUE(QTest::qWaitForWindowActive(MainForm().loaded()));
        int done = 0;
        for (; done < kActions && !testing::Test::HasFailure(); ++done) {
            session.step(done);
        }
        session.report(done == kActions);
    }
    qInstallMessageHandler(gQtHandler);
    for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGILL}) {
        std::signal(signal, SIG_DFL);
    }
}

} // namespace
