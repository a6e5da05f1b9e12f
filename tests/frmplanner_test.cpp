#include "chartcanvas.h"
#include "guitest.h"
#include "mainwindow.h"
#include "plannerwindow.h"
#include "programwindows.h"
#include "reporttable.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <iostream>
#include <stdexcept>

using namespace runetally;
using runetally::test::AnswerFileDialog;

namespace {

class PlannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = &MainForm().show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    }
    void TearDown() override {
        PlannerForm().unload();
        MainForm().unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FormWindow& open() {
        main->findChild<QAction*>("mnuPlanner")->trigger();
        FormWindow* planner = PlannerForm().loaded();
        if (planner == nullptr || !QTest::qWaitForWindowActive(planner)) {
            throw std::runtime_error("the planner did not open");
        }
        return *planner;
    }
    template <class W = QWidget> W& get(QWidget& window, const char* name) const {
        if (W* w = window.findChild<W*>(QLatin1String(name))) {
            return *w;
        }
        throw std::runtime_error(std::string("no widget named ") + name);
    }
    static QString cell(ReportTable& table, int row, int column) {
        return table.item(row, column) ? table.item(row, column)->text() : QString();
    }

    FormWindow* main = nullptr;
};

// What runetally-table prints for these arguments.
QString TablePrints(const QStringList& arguments) {
    QProcess table;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C"); // the separator the window reads in the tests
    table.setProcessEnvironment(environment);
    table.start(RUNETALLY_TABLE_EXE, arguments);
    table.waitForFinished();
    return QString::fromUtf8(table.readAllStandardOutput());
}

// Tools > Spell Planner... and Ctrl+P show the one planner, a window of its own.
TEST_F(PlannerTest, ToolsMenuAndCtrlPShowTheOnePlanner) {
    const QList<QAction*> menus = main->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[1]->text(), "&Tools");
    QAction& item = get<QAction>(*main, "mnuPlanner");
    EXPECT_EQ(item.text(), "Spell &Planner...");
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

    EXPECT_EQ(PlannerForm().loaded(), nullptr) << "built only when first opened";
    FormWindow& planner = open();
    EXPECT_EQ(planner.parentWidget(), nullptr);
    EXPECT_TRUE(planner.isWindow());
    EXPECT_FALSE(planner.isModal());
    EXPECT_EQ(planner.windowTitle(), "Spell Planner");
    planner.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(PlannerForm().loaded(), nullptr);

    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    QTest::keyClick(main, Qt::Key_P, Qt::ControlModifier);
    ASSERT_NE(PlannerForm().loaded(), nullptr);
    FormWindow* again = PlannerForm().loaded();
    QTest::keyClick(main, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(PlannerForm().loaded(), again) << "a second Ctrl+P only brings it forward";
}

TEST_F(PlannerTest, FollowsEveryEditAndSelectionInTheMainWindow) {
    FormWindow& planner = open();
    auto& spells = get<ReportTable>(planner, "lvwSpells");
    ASSERT_EQ(spells.rowCount(), 41);
    const QString best = cell(spells, 0, 0);
    EXPECT_EQ(best, "Meteor"); // 100/7 + 204 at the start texts

    get<QLineEdit>(*main, "varInt").setText("abc");
    EXPECT_EQ(get<QLabel>(planner, "lblStatus").text(),
              R"(The text in "Inteligence" is not a number.)");
    EXPECT_EQ(spells.rowCount(), 41) << "the spells that need no intelligence keep their figures";

    get<QLineEdit>(*main, "varInt").setText("280");
    EXPECT_EQ(get<QLabel>(planner, "lblStatus").text(), "");
    EXPECT_EQ(cell(spells, 0, 2), "244"); // 280/7 + 204

    auto& list = get<QListWidget>(*main, "listSpells");
    list.setCurrentItem(list.findItems("Firestorm", Qt::MatchExactly).front());
    EXPECT_TRUE(spells.item(1, 0)->font().bold());
    EXPECT_EQ(spells.item(1, 0)->data(Qt::AccessibleTextRole).toString(),
              "Firestorm, selected in the main window");
    EXPECT_EQ(get<QLineEdit>(*main, "dmg").text(), "0") << "the planner changes nothing there";
}

// Ctrl+C on the spell table and on the chart copies exactly what runetally-table prints.
TEST_F(PlannerTest, CtrlCCopiesWhatTheTableToolPrints) {
    get<QLineEdit>(*main, "varInt").setText("280");
    FormWindow& planner = open();
    get<QComboBox>(planner, "cboInput").setCurrentText("Wisdom");
    get<QLineEdit>(planner, "txtStep").setText("7");
    auto& spells = get<ReportTable>(planner, "lvwSpells");
    QHeaderView* captions = spells.horizontalHeader();
    QTest::mouseClick(captions->viewport(), Qt::LeftButton, {},
                      {captions->sectionViewportPosition(0) + 5, captions->height() / 2});
    ASSERT_EQ(cell(spells, 0, 0), "Avalanche") << "by name: the copy is too";

    spells.setFocus();
    QTest::keyClick(&spells, Qt::Key_C, Qt::ControlModifier);
    const QString gains = TablePrints({"--int", "280", "--gain", "wis", "--step", "7", "--sort",
                                       "spell", "--ascending", "--format", "csv"});
    ASSERT_FALSE(gains.isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), gains);

    // Meteor, the best, against the best other, Firestorm: wisdom from 0 to 200 in steps of 1.
    auto& chart = get<ChartCanvas>(planner, "picChart");
    chart.setFocus();
    QTest::keyClick(&chart, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              TablePrints({"--int", "280", "--sweep", "wis=0:200:1", "--spell", "Meteor", "--spell",
                           "Firestorm", "--format", "csv"}));
}

// A dashed line is drawn in dashes, a solid one whole: the chart's second line shows where the two
// are equal.
TEST_F(PlannerTest, ChartDrawsDashedLinesInDashes) {
    FormWindow& planner = open();
    auto& chart = get<ChartCanvas>(planner, "picChart");
    const Rgb red{255, 0, 0};
    ChartPicture picture;
    // 15 twips to a pixel: rows 40 and 80, from 20 to 200 pixels across.
    picture.polylines = {
        {.points = {{300, 600}, {3000, 600}}, .colour = red, .width = 2},
        {.points = {{300, 1200}, {3000, 1200}}, .colour = red, .width = 2, .dashed = true}};
    chart.setPicture(picture);
    ASSERT_GE(chart.width(), 210);
    ASSERT_GE(chart.height(), 90);
    const QImage image = chart.grab().toImage();
    const auto inked = [&](int y) {
        int count = 0;
        for (int x = 30; x < 190; ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 100 ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(inked(40), 160);
    EXPECT_GT(inked(80), 40);
    EXPECT_LT(inked(80), 150); // gaps between the dashes, whatever the pen's pattern
}

// Tab visits every control, the spell table's captions included, and each has a name.
TEST_F(PlannerTest, TabReachesEveryControlAndEachHasAName) {
    FormWindow& planner = open();
    auto& spells = get<ReportTable>(planner, "lvwSpells");
    const std::pair<QWidget*, QString> stops[] = {
        {&get(planner, "cboInput"), "Input"},
        {&get(planner, "txtStep"), "Step"},
        {&get(planner, "cmdCompare"), "Compare with..."}, // Stop comparing is hidden
        {spells.horizontalHeader(), ""},
        {&spells, "Spells"},
        {&get(planner, "lvwInputs"), "Inputs of the selected spell"},
        {&get(planner, "picChart"), "Damage chart"},
    };
    ASSERT_EQ(QApplication::focusWidget(), stops[0].first);
    for (std::size_t i = 1; i <= std::size(stops); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), stops[i % std::size(stops)].first) << i;
    }
    for (const auto& [widget, name] : stops) {
        QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(widget);
        if (name.isEmpty()) {
            continue;
        }
        // On Linux a drop-down's name is its choice; its label comes by the label relation.
        const auto labels = heard->relations(QAccessible::Label);
        EXPECT_EQ(labels.isEmpty() ? heard->text(QAccessible::Name)
                                   : labels.front().first->text(QAccessible::Name),
                  name);
    }
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(&get(planner, "picChart"));
    EXPECT_EQ(chart->role(), QAccessible::Chart);
    EXPECT_TRUE(chart->text(QAccessible::Description).startsWith("Damage against Inteligence"));

    // On the captions, Right moves to the next one and Enter sorts by it: Element, A to Z.
    spells.horizontalHeader()->setFocus();
    QTest::keyClick(spells.horizontalHeader(), Qt::Key_Right);
    QTest::keyClick(spells.horizontalHeader(), Qt::Key_Return);
    EXPECT_EQ(cell(spells, 0, 1), "Air");
    EXPECT_EQ(spells.horizontalHeader()->sortIndicatorSection(), 1);
}

// Compare with... adds B's columns and shows Stop comparing, which takes them away again; a
// character opened in the main window has the planner follow its spell.
TEST_F(PlannerTest, ComparingShowsBsColumnsUntilStopped) {
    QTemporaryDir folder;
    const QString path = folder.filePath("ashen.rtchar");
    test::WriteCharacter(path, "Firestorm", "280");
    FormWindow& planner = open();
    auto& spells = get<ReportTable>(planner, "lvwSpells");
    QWidget& stop = get(planner, "cmdStopCompare");
    EXPECT_TRUE(stop.isHidden());
    AnswerFileDialog([&] { get<QPushButton>(planner, "cmdCompare").click(); },
                     [&](QFileDialog& dialog) {
                         EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
                         EXPECT_EQ(dialog.nameFilters(),
                                   QStringList{"Runetally characters (*.rtchar)"});
                         dialog.selectFile(path);
                         static_cast<QDialog&>(dialog).accept(); // as its Open or Save button does
                     });
    EXPECT_FALSE(stop.isHidden());
    ASSERT_EQ(spells.columnCount(), 9);
    EXPECT_EQ(spells.horizontalHeaderItem(6)->text(), "Damage (B)");
    EXPECT_EQ(cell(spells, 0, 0), "Meteor");
    EXPECT_EQ(cell(spells, 0, 6), "244"); // 280/7 + 204

    get<QPushButton>(planner, "cmdStopCompare").click();
    EXPECT_TRUE(stop.isHidden());
    EXPECT_EQ(spells.columnCount(), 6);
    EXPECT_EQ(cell(spells, 0, 2), "218.285714285714"); // 100/7 + 204

    main->commands<MainCommands>().openCharacter(path.toStdString());
    EXPECT_EQ(cell(spells, 1, 0), "Firestorm"); // 280/8 + 157 = 192, behind Meteor's 244
    EXPECT_TRUE(spells.item(1, 0)->font().bold());
}

// A window takes a dropped file only when its commands do: the planner refuses a character file
// that the main window would open.
TEST_F(PlannerTest, RefusesADraggedCharacterFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("ashen.rtchar");
    test::WriteCharacter(path, "Firestorm", "280");
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(path)});
    FormWindow& planner = open();
    for (QWidget* target : {static_cast<QWidget*>(&planner), &get(planner, "lvwSpells"),
                            static_cast<QWidget*>(main)}) {
        QDragEnterEvent enter({2, 2}, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        EXPECT_EQ(enter.isAccepted(), target == main) << target->objectName().toStdString();
    }
}

// The tables and the chart take the room of a larger window; the top row stays.
TEST_F(PlannerTest, TablesAndChartTakeTheRoomOfALargerWindow) {
    FormWindow& planner = open();
    const QRect step = get(planner, "txtStep").geometry();
    const QRect spells = get(planner, "lvwSpells").geometry();
    const QRect chart = get(planner, "picChart").geometry();
    planner.resize(planner.size() + QSize(300, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(get(planner, "txtStep").geometry(), step);
    EXPECT_EQ(get(planner, "lvwSpells").geometry(), spells.adjusted(0, 0, 180, 200));
    EXPECT_EQ(get(planner, "picChart").geometry(), chart.adjusted(180, 0, 300, 200));
}

// A cell too narrow for its number keeps the number's sign, leading digit and exponent, and its tip
// every digit; words and the bold name stay whole; the sorted column shows its mark.
TEST(ReportTableTest, ANarrowCellKeepsTheSizeOfItsNumber) {
    static constexpr ColumnDesc kColumns[] = {{"Spell", 1650}, {"Damage", 2070, true}};
    const WidgetDesc desc{.id = PlannerControl::lvwSpells,
                          .kind = WidgetKind::Table,
                          .rect = {},
                          .columns = kColumns,
                          .sortable = true};
    FormEvents events;
    ReportTable table(nullptr, desc, events);
    table.resize(190, 200);
    table.show(); // a hidden widget hears of its size once shown
    table.setSortMark(1, true);
    const TableRow rows[] = {
        {{"Vortex of Air", "4.64916666666667E+16"}, "Selected in the main window"},
        {{"Lightning Bolt", "-1.11022302462516E-16"}}};
    table.setRows(rows);
    const QString vortex = table.item(0, 1)->text();
    const QString bolt = table.item(1, 1)->text();
    EXPECT_TRUE(vortex.startsWith("4.") && vortex.endsWith(QString::fromUtf8("…E+16")))
        << vortex.toStdString();
    EXPECT_TRUE(bolt.startsWith("-1") && bolt.endsWith("E-16")) << bolt.toStdString();
    EXPECT_EQ(table.item(0, 1)->toolTip(), "4.64916666666667E+16\nSelected in the main window");
    EXPECT_EQ(table.item(1, 1)->toolTip(), "-1.11022302462516E-16");
    EXPECT_EQ(table.item(0, 0)->text(), "Vortex of Air");
    QFont bold = table.font();
    bold.setBold(true);
    EXPECT_GT(table.columnWidth(0), QFontMetrics(bold).horizontalAdvance("Vortex of Air"));
    EXPECT_TRUE(table.horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(table.horizontalHeader()->sortIndicatorSection(), 1);
    table.resize(600, 200); // room for every digit
    EXPECT_EQ(table.item(0, 1)->text(), "4.64916666666667E+16");
    EXPECT_EQ(table.item(1, 1)->toolTip(), "");
}

// Run on a 1920 x 1080 screen (tests/widescreen.json): at its default size, comparing, the
// planner widens to show every column whole, and it opens beside the main window.
TEST_F(PlannerTest, WideScreenShowsEveryColumnBesideTheMainWindow) {
    if (main->screen()->availableGeometry().width() < 1800) {
        GTEST_SKIP() << "run with QT_QPA_PLATFORM=offscreen:configfile=tests/widescreen.json";
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("ashen.rtchar");
    test::WriteCharacter(path, "Firestorm", "280");
    FormWindow& planner = open();
    EXPECT_FALSE(planner.frameGeometry().intersects(main->frameGeometry()));
    const int before = planner.width();
    AnswerFileDialog([&] { get<QPushButton>(planner, "cmdCompare").click(); },
                     [&](QFileDialog& dialog) {
                         dialog.selectFile(path);
                         static_cast<QDialog&>(dialog).accept();
                     });
    QCoreApplication::processEvents();
    auto& spells = get<ReportTable>(planner, "lvwSpells");
    ASSERT_EQ(spells.columnCount(), 9);
    std::cout << "planner width at its default size, comparing: " << before << " -> "
              << planner.width() << '\n';
    EXPECT_GT(planner.width(), before);
    EXPECT_EQ(spells.horizontalScrollBar()->maximum(), 0) << "every column in view";
    for (int r = 0; r < spells.rowCount(); ++r) {
        for (int c = 0; c < spells.columnCount(); ++c) {
            EXPECT_FALSE(cell(spells, r, c).endsWith(QString::fromUtf8("…")))
                << r << ',' << c << ' ' << cell(spells, r, c).toStdString();
        }
    }
}

// Exit leaves the planner open: the program ends with its last window.
TEST_F(PlannerTest, ExitOfTheMainWindowLeavesThePlannerOpen) {
    QPointer<FormWindow> planner = &open();
    bool stillOpen = false;
    QTimer::singleShot(0, main, [&] { main->findChild<QAction*>("mnuExit")->trigger(); });
    QTimer::singleShot(300, [&] {
        stillOpen = planner && planner->isVisible() && MainForm().loaded() == nullptr;
        if (planner) {
            planner->close();
        }
    });
    QTimer watchdog;
    watchdog.callOnTimeout([] { QApplication::exit(1); });
    watchdog.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(stillOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PlannerForm().loaded(), nullptr);
    SetUp();
}

} // namespace
