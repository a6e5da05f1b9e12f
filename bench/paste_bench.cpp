// Measures how long the main window takes to answer the next key after the longest paste that
// one of its input boxes takes (a longer one is refused): the paste and the repaint it asks for,
// then one key press and its repaint.
//
//   QT_QPA_PLATFORM=offscreen paste_bench
//   xvfb-run -a paste_bench
//
// The box's every repaint measures its whole text, so what the paste holds matters as much as
// its length: a character that no installed font has is looked for in each of them in turn.

#include "mainwindow.h"
#include "programwindows.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kPasteChars = runetally::kInputLimit - 1; // and the key makes the box full
constexpr qint64 kPatienceMs = 30 * 60 * 1000; // a frozen window ends the run, not the machine

enum class Text { DigitsAndLetters, Ideographs };

QString MakeText(Text kind) {
    std::mt19937 random(1);
    const QString latin =
        QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString text(kPasteChars, Qt::Uninitialized);
    for (QChar& c : text) {
        c = kind == Text::DigitsAndLetters ? latin[int(random() % latin.size())]
                                           : QChar(char16_t(0x4E00 + random() % 0x5000));
    }
    return text;
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Runs the event loop until the box has been painted since `before` paints.
bool WaitForPaint(const PaintCounter& counter, int before) {
    QElapsedTimer waited;
    waited.start();
    while (counter.paints == before) {
        if (waited.elapsed() > kPatienceMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
    }
    return true;
}

void BM_PasteThenKey(benchmark::State& state, Text kind) {
    QWidget& window = runetally::MainForm().show();
    if (!QTest::qWaitForWindowActive(&window)) {
        state.SkipWithError("the main window did not become active");
        return;
    }
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("varWis"));
    if (box == nullptr) {
        state.SkipWithError("no input box named varWis");
        return;
    }
    PaintCounter counter;
    box->installEventFilter(&counter);
    box->setFocus();
    QApplication::clipboard()->setText(MakeText(kind));

    QElapsedTimer step;
    qint64 keyNs = 0;
    qsizetype held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        box->clear();
        WaitForPaint(counter, counter.paints);
        state.ResumeTiming();

        QTest::keySequence(box, QKeySequence::Paste);
        if (!WaitForPaint(counter, counter.paints)) {
            state.SkipWithError("the window did not repaint after the paste");
            break;
        }
        step.start();
        QTest::keyClick(box, Qt::Key_5);
        if (!WaitForPaint(counter, counter.paints)) {
            state.SkipWithError("the window did not repaint after the key");
            break;
        }
        keyNs += step.nsecsElapsed();
        held = box->text().size();
    }
    box->removeEventFilter(&counter);
    runetally::MainForm().unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // What the box kept of the paste, and how long the key alone took to show.
    state.counters["chars"] = double(held);
    state.counters["key_ms"] =
        benchmark::Counter(double(keyNs) / 1e6, benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(BM_PasteThenKey, digits_and_letters, Text::DigitsAndLetters)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_PasteThenKey, ideographs, Text::Ideographs)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
