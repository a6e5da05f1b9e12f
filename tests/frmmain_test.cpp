#include "formwidgets.h"
#include "guitest.h"
#include "mainwindow.h"
#include "programwindows.h"
#include "spelltable.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <tuple>

using namespace runetally;
using runetally::test::AnswerFileDialog;
using runetally::test::ExpectOneMessageBox;
using runetally::test::SeenBox;
using runetally::test::WriteCharacter;

namespace {

using Typed = std::vector<std::pair<const char*, const char*>>;

// The eleven text boxes.
const char* const kBoxes[] = {"varWis",     "varInt",    "varResist", "powerLight",
                              "powerEarth", "powerFire", "powerAir",  "powerWater",
                              "powerDark",  "varLevel",  "dmg"};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }
    void TearDown() override {
        MainForm().unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void open() {
        window = &MainForm().show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void reopen() {
        TearDown();
        open();
    }

    template <class W = QWidget> W& get(const char* name) const {
        if (W* w = window->findChild<W*>(QLatin1String(name))) {
            return *w;
        }
        throw std::runtime_error(std::string("no widget named ") + name);
    }
    QLineEdit& box(const char* name) const { return get<QLineEdit>(name); }
    QListWidget& list() const { return get<QListWidget>("listSpells"); }
    QString dmg() const { return box("dmg").text(); }
    QStringList texts() const {
        QStringList all;
        for (const char* name : kBoxes) {
            all << box(name).text();
        }
        return all;
    }
    QStringList selection() const {
        QStringList names;
        for (const QListWidgetItem* item : list().selectedItems()) {
            names << item->text();
        }
        return names;
    }

    void select(const char* spell) {
        const auto found = list().findItems(QLatin1String(spell), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << spell;
        list().setCurrentItem(found.front());
    }
    void type(const Typed& typed) {
        for (const auto& [name, text] : typed) {
            box(name).setText(QLatin1String(text));
        }
    }
    void press() { get<QPushButton>("cmdCalculate").click(); }
    void trigger(const char* item) { get<QAction>(item).trigger(); }

    FormWindow* window = nullptr;
};

// Every message of the program looks the same apart from its text.
void ExpectNotice(const std::optional<SeenBox>& seen, const QString& text) {
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->title, "Runetally");
    EXPECT_EQ(seen->text, text);
    EXPECT_EQ(seen->icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen->buttons, QMessageBox::Ok);
    EXPECT_EQ(seen->buttonCount, 1);
    EXPECT_EQ(seen->modality, Qt::ApplicationModal);
}

TEST_F(MainWindowTest, StartsWithTheInitialTextsAndNoSpellSelected) {
    EXPECT_EQ(window->windowTitle(), "Velmoranth's Zelkor Runetally");
    EXPECT_EQ(window->centralWidget()->size(), QSize(622, 476));
    EXPECT_EQ(texts(), QStringList({"100", "100", "100", "100", "100", "100", "100", "100", "100",
                                    "99", "0"}));
    QStringList spells;
    for (const SpellFormula& spell : SpellTable) {
        spells << QString::fromUtf8(spell.name.data(), qsizetype(spell.name.size()));
    }
    QStringList shown;
    for (int i = 0; i < list().count(); ++i) {
        shown << list().item(i)->text();
    }
    EXPECT_EQ(shown, spells);
    EXPECT_TRUE(selection().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), &box("varResist"));

    list().setFocus(Qt::TabFocusReason); // gives the list a current item, but selects none
    press();
    EXPECT_EQ(dmg(), "No Spell Selected");
}

// Every widget of the description, at its twips in 96-dpi pixels, whatever the window's size.
TEST_F(MainWindowTest, EveryWidgetKeepsItsDescribedPlaceWhateverTheWindowSize) {
    for (const QSize size : {window->size(), QSize(1000, 800), QSize(300, 200)}) {
        window->showNormal();
        window->resize(size);
        QCoreApplication::processEvents();
        for (const WidgetDesc& desc : MainWindowDescription().widgets) {
            const char* name = MainWindowDescription().controlName(desc.id).data();
            SCOPED_TRACE(name);
            const TwipsRect& r = desc.rect;
            EXPECT_EQ(get(name).geometry(),
                      QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15))
                << "at width " << size.width();
            if (desc.kind != WidgetKind::ListBox) {
                EXPECT_EQ(get(name).property("text").toString(), ToQString(desc.text));
            }
        }
    }
    window->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_EQ(get("dmg").geometry(), QRect(296, 392, 233, 49));
}

// A screen reader hears each box by its caption, the result box as DAMAGE and the list as Spells.
TEST_F(MainWindowTest, ScreenReadersHearEachBoxByItsCaption) {
    const std::pair<const char*, const char*> heard[] = {{"varWis", "Wisdom"},
                                                         {"varInt", "Inteligence"},
                                                         {"varResist", "Target Elemental Resist"},
                                                         {"powerLight", "Light Power"},
                                                         {"powerEarth", "Earth Power"},
                                                         {"powerFire", "Fire Power"},
                                                         {"powerAir", "Air Power"},
                                                         {"powerWater", "Water Power"},
                                                         {"powerDark", "Dark Power"},
                                                         {"varLevel", "Level"},
                                                         {"dmg", "DAMAGE"},
                                                         {"listSpells", "Spells"}};
    for (const auto& [name, caption] : heard) {
        QAccessibleInterface* widget = QAccessible::queryAccessibleInterface(&get(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->text(QAccessible::Name), caption) << name;
    }
    EXPECT_EQ(get<QLabel>("Label2").buddy(), &box("varInt"));
    EXPECT_EQ(get<QLabel>("Label10").buddy(), &box("dmg"));
}

TEST_F(MainWindowTest, LongCaptionWrapsAndDamageCaptionIs24Point) {
    const QLabel& resist = get<QLabel>("Label3");
    EXPECT_GT(resist.heightForWidth(resist.width()), resist.fontMetrics().height());

    const QFontInfo damage(get<QLabel>("Label10").font());
    const QString face = QStringLiteral("Zelkor Beaulieux");
    QFont fallback = QApplication::font();
    fallback.setPointSize(24);
    EXPECT_EQ(damage.family(),
              QFontDatabase::hasFamily(face) ? face : QFontInfo(fallback).family());
    EXPECT_EQ(damage.pointSize(), 24);
    EXPECT_EQ(damage.weight(), QFont::Normal);
    EXPECT_FALSE(damage.italic());
}

// Whatever the desktop's default face, every caption shows whole inside its box, in that face.
TEST_F(MainWindowTest, EveryCaptionFitsItsBoxInTheDefaultFace) {
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7",
                             "Label8", "Label9", "Label11"}) {
        const QLabel& label = get<QLabel>(name);
        EXPECT_EQ(QFontInfo(label.font()).family(), QFontInfo(QApplication::font()).family());
        const QFontMetrics metrics = label.fontMetrics();
        for (const QString& word : label.text().split(u' ')) {
            EXPECT_LE(metrics.horizontalAdvance(word), label.width())
                << name << ' ' << word.toStdString();
        }
        EXPECT_LE(label.heightForWidth(label.width()), label.height()) << name;
    }
}

TEST_F(MainWindowTest, TabAndShiftTabFollowTheFocusOrderAndWrapAround) {
    QStringList order;
    for (ControlId stop : MainWindowDescription().focusOrder) {
        order << ToQString(MainWindowDescription().controlName(stop));
    }
    const auto walk = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QStringList visited;
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            QWidget* focus = QApplication::focusWidget();
            visited << (focus ? focus->objectName() : QStringLiteral("(none)"));
        }
        return visited;
    };
    ASSERT_EQ(QApplication::focusWidget(), &box("varResist"));
    EXPECT_EQ(walk(Qt::Key_Tab, Qt::NoModifier), order.mid(1) << order.front());
    QStringList backward(order.rbegin(), order.rend());
    EXPECT_EQ(walk(Qt::Key_Backtab, Qt::ShiftModifier), backward);
}

// The separator of the player's regional settings, as the C library has it.
TEST_F(MainWindowTest, ButtonShowsTheDamageWithTheLocalesSeparator) {
    for (const auto& [locale, shown] : {std::pair{"C", "157.5"}, {"de_DE.UTF-8", "157,5"}}) {
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr) << locale << " is not installed";
        select("Avalanche");
        QTest::mouseClick(&get<QPushButton>("cmdCalculate"), Qt::LeftButton);
        EXPECT_EQ(dmg(), shown);
    }
    std::setlocale(LC_NUMERIC, "C");
}

struct Failure {
    const char* spell;
    Typed typed;
    const char* message;
};
const Failure kFailures[] = {
    {"Avalanche", {{"varInt", "abc"}}, R"(The text in "Inteligence" is not a number.)"},
    {"Avalanche", {{"varResist", "0"}}, "A value was divided by zero."},
};

TEST_F(MainWindowTest, FailedCalculationChangesNothingAndSaysWhy) {
    for (const Failure& f : kFailures) {
        SCOPED_TRACE(f.message);
        reopen();
        select(f.spell);
        press(); // a result from the start texts, which the failure must keep
        type(f.typed);
        box(f.typed.front().first).setFocus();
        const QStringList textsBefore = texts();
        const QStringList selectionBefore = selection();
        QWidget* const focusBefore = QApplication::focusWidget();

        ExpectNotice(ExpectOneMessageBox([&] { press(); }), f.message);
        EXPECT_EQ(texts(), textsBefore);
        EXPECT_EQ(selection(), selectionBefore);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        EXPECT_EQ(QApplication::focusWidget(), focusBefore);
    }
}

TEST_F(MainWindowTest, OnlyTheButtonCalculates) {
    select("Avalanche");
    QSignalSpy activated(&list(), &QListWidget::activated);
    const std::pair<const char*, Qt::Key> keys[] = {
        {"varResist", Qt::Key_Return},  {"varLevel", Qt::Key_Enter},   {"dmg", Qt::Key_Return},
        {"listSpells", Qt::Key_Return}, {"listSpells", Qt::Key_Enter}, {"varWis", Qt::Key_Escape},
    };
    for (const auto& [name, key] : keys) {
        get(name).setFocus();
        QTest::keyClick(&get(name), key);
        EXPECT_EQ(dmg(), "0") << name << " key " << key;
    }
    EXPECT_EQ(activated.count(), 2) << "the list received its Enter keys";
    get("cmdCalculate").setFocus();
    QTest::keyClick(&get("cmdCalculate"), Qt::Key_Escape);
    EXPECT_EQ(dmg(), "0") << "Esc never presses the button";

    QListWidgetItem* drainLife = list().item(5);
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {},
                       list().viewport()->mapTo(window, list().visualItemRect(drainLife).center()));
    EXPECT_EQ(activated.count(), 3) << "the list received the double-click";
    EXPECT_EQ(dmg(), "0");

    // The button pressed from the keyboard does calculate, and the result outlives a new choice.
    const std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers, const char*> presses[] = {
        {"Drain Life", Qt::Key_Space, Qt::NoModifier, "30.3333333333333"},
        {"Avalanche", Qt::Key_Return, Qt::NoModifier, "157.5"},
        {"Inferno", Qt::Key_Enter, Qt::KeypadModifier, "139.5"}};
    for (const auto& [spell, key, modifiers, shown] : presses) {
        select(spell);
        get("cmdCalculate").setFocus();
        QTest::keyClick(&get("cmdCalculate"), key, modifiers);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dmg() == shown; })) << spell;
    }
    select("Blizzard");
    EXPECT_EQ(dmg(), "139.5");
}

// As in a Windows list box: Home selects the first spell even when it is the current one, and
// once a spell is selected, neither Ctrl+click nor Ctrl+Space leaves none selected.
TEST_F(MainWindowTest, SpellListKeepsASelectionOnceMade) {
    list().setFocus(Qt::TabFocusReason);
    ASSERT_EQ(list().currentRow(), 0);
    EXPECT_TRUE(selection().isEmpty());
    QTest::keyClick(&list(), Qt::Key_Home);
    EXPECT_EQ(selection(), QStringList{"Avalanche"});

    QTest::keyClick(&list(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(selection(), QStringList{"Avalanche"});
    const QRect blizzard = list().visualItemRect(list().item(1));
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, blizzard.center());
    EXPECT_EQ(selection(), QStringList{"Blizzard"});
    QTest::mouseClick(list().viewport(), Qt::LeftButton, Qt::ControlModifier, blizzard.center());
    EXPECT_EQ(selection(), QStringList{"Blizzard"});
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_EQ(selection(), QStringList{"Boulders"});
}

TEST_F(MainWindowTest, ResultBoxRefusesTypingButCopies) {
    QLineEdit& result = box("dmg");
    result.setFocus();
    QApplication::clipboard()->setText(QStringLiteral("42"));
    QTest::keyClicks(&result, "123");
    QTest::keyClick(&result, Qt::Key_Backspace);
    QTest::keyClick(&result, Qt::Key_Delete);
    QTest::keyClick(&result, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&result, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&result, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(result.text(), "0");
    EXPECT_EQ(QApplication::clipboard()->text(), "42") << "cut was refused";
    QTest::keyClick(&result, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "0");
}

void PasteFromContextMenu(QLineEdit& box) {
    QContextMenuEvent open(QContextMenuEvent::Keyboard, {2, 2}, box.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&box, &open);
    auto* menu = box.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    const auto paste = std::find_if(items.begin(), items.end(), [](QAction* item) {
        return item->text().startsWith("&Paste");
    });
    menu->close(); // as choosing an item does, before the item runs
    ASSERT_NE(paste, items.end());
    (*paste)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void DropClipboard(QLineEdit& box) {
    QMimeData text;
    text.setText(QApplication::clipboard()->text());
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject&>(box).event(&drop); // QApplication passes on drops only while dragging
    QCoreApplication::processEvents();       // the box tells once the drop is over
}

// Any text goes into a box as typed, up to 32,767 characters. A paste that would take it past
// them, whichever way it comes, is refused whole and the player told why; typing past is refused.
TEST_F(MainWindowTest, APasteIntoABoxIsRefusedWholeWhenItWouldPassTheLimit) {
    QLineEdit& intelligence = box("varInt");
    intelligence.setFocus();
    intelligence.selectAll();
    QTest::keyClicks(&intelligence, " -1,2e3x ");
    EXPECT_EQ(intelligence.text(), " -1,2e3x ");

    const QString told = R"(The text pasted into "Inteligence" would make it longer than 32767 )"
                         "characters, so it was not pasted.";
    const std::tuple<const char*, std::function<void(QLineEdit&)>, bool> ways[] = {
        {"Ctrl+V", [](QLineEdit& b) { QTest::keyClick(&b, Qt::Key_V, Qt::ControlModifier); }, true},
        {"Shift+Insert",
         [](QLineEdit& b) { QTest::keyClick(&b, Qt::Key_Insert, Qt::ShiftModifier); }, true},
        {"context menu", PasteFromContextMenu, true},
        {"drop", DropClipboard, false}, // a drop keeps the selection
    };
    for (const auto& [way, paste, replacesSelection] : ways) {
        SCOPED_TRACE(way);
        const int room = replacesSelection ? 32767 : 32765;
        for (const int pasted : {room + 1, room}) {
            intelligence.setText("12");
            intelligence.selectAll();
            QApplication::clipboard()->setText(QString(pasted, u'7'));
            if (pasted > room) {
                ExpectNotice(ExpectOneMessageBox([&] { paste(intelligence); }), told);
                EXPECT_TRUE(intelligence.text() == "12");
            } else {
                paste(intelligence);
                EXPECT_EQ(intelligence.text().size(), 32767);
            }
        }
    }
    intelligence.setText(QString(32767, u'7'));
    intelligence.end(false);
    QTest::keyClicks(&intelligence, "8");
    EXPECT_EQ(intelligence.text(), QString(32767, u'7'));
}

TEST_F(MainWindowTest, ResetZeroesTheElevenBoxesAndKeepsSelectionAndFocus) {
    select("Avalanche");
    press();
    box("powerDark").setFocus();
    QStringList changed;
    for (const char* name : kBoxes) {
        QObject::connect(&box(name), &QLineEdit::textChanged,
                         [&changed, name] { changed << name; });
    }
    const QStringList zeros(std::size(kBoxes), QStringLiteral("0"));

    trigger("mnuReset");
    EXPECT_EQ(texts(), zeros);
    EXPECT_EQ(changed,
              QStringList({"dmg", "powerLight", "powerEarth", "powerWater", "powerAir", "powerFire",
                           "powerDark", "varResist", "varWis", "varInt", "varLevel"}));
    EXPECT_EQ(selection(), QStringList{"Avalanche"});
    EXPECT_EQ(QApplication::focusWidget(), &box("powerDark"));

    changed.clear();
    trigger("mnuReset");
    EXPECT_EQ(texts(), zeros);
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_EQ(selection(), QStringList{"Avalanche"});
}

TEST_F(MainWindowTest, HelpMeShowsAnApplicationModalNotice) {
    QWidget& button = get("cmdCalculate");
    const QPoint centre = button.mapTo(window, button.rect().center());
    const auto clickButton = [&] {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, centre);
    };
    const auto seen = ExpectOneMessageBox([&] { trigger("mnuHelpme"); },
                                          [&] {
                                              clickButton();
                                              EXPECT_EQ(dmg(), "0") << "the window is blocked";
                                          });
    ExpectNotice(seen, "Sorry, but this feature is not implemented yet");
    clickButton(); // the same click counts once the notice is gone
    EXPECT_EQ(dmg(), "No Spell Selected");
}

TEST_F(MainWindowTest, ExitAndTheCloseBoxUnloadTheWindowAndEndTheProgram) {
    const std::pair<const char*, void (*)(FormWindow&)> ways[] = {
        {"Exit", [](FormWindow& w) { w.findChild<QAction*>("mnuExit")->trigger(); }},
        {"close box", [](FormWindow& w) { w.windowHandle()->close(); }},
    };
    for (const auto& [what, closeIt] : ways) {
        SCOPED_TRACE(what);
        open();
        press();
        QPointer<FormWindow> shown = window;
        QTimer::singleShot(0, shown, [&, closeIt = closeIt] { closeIt(*shown); });
        QTimer watchdog;
        watchdog.callOnTimeout([] { QApplication::exit(1); });
        watchdog.start(5000);

        EXPECT_EQ(QApplication::exec(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(shown.isNull()) << "the window's widgets are discarded";
        EXPECT_EQ(MainForm().loaded(), nullptr);
    }
    open(); // shown again, it starts afresh
    EXPECT_EQ(dmg(), "0");
}

// Help > About: one dialog for the whole program, loaded afresh after each close.
TEST_F(MainWindowTest, AboutShowsTheOneDialogAndLoadsItAfreshAfterAClose) {
    QAction& about = *window->findChild<QAction*>("mnuAbout");
    about.trigger();
    FormWindow* first = AboutForm().loaded();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), "About Runetally");
    EXPECT_EQ(first->parentWidget(), nullptr) << "the dialog has no owner";
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // While it is open, About only brings it forward, with the texts it has.
    first->findChild<QLabel*>("lblVersion")->setText("changed here");
    about.trigger();
    EXPECT_EQ(AboutForm().loaded(), first);
    EXPECT_EQ(QApplication::topLevelWidgets().count(qobject_cast<QWidget*>(first)), 1);
    int dialogs = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        dialogs += w->objectName() == "frmAbout" && w->isVisible();
    }
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(first->findChild<QLabel*>("lblVersion")->text(), "changed here");

    // The main window stays usable meanwhile.
    list().setCurrentRow(0);
    press();
    EXPECT_EQ(dmg(), "157.5");

    QPointer<FormWindow> closed = first;
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull()) << "closing the dialog discards it";
    about.trigger();
    FormWindow* second = AboutForm().loaded();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->findChild<QLabel*>("lblVersion")->text(), "Version 1.0.0");
    second->close();
}

// The dialog has no owner: closing the main window leaves the program running until the
// dialog is closed too.
TEST_F(MainWindowTest, ProgramEndsOnlyWhenTheAboutDialogClosesToo) {
    window->findChild<QAction*>("mnuAbout")->trigger();
    QPointer<FormWindow> about = AboutForm().loaded();
    ASSERT_FALSE(about.isNull());
    QPointer<FormWindow> main = window;
    bool aboutStillOpen = false;

    QTimer::singleShot(0, main, [&] { main->findChild<QAction*>("mnuExit")->trigger(); });
    QTimer::singleShot(300, [&] {
        aboutStillOpen = !about.isNull() && about->isVisible() && MainForm().loaded() == nullptr;
        if (about) {
            about->findChild<QPushButton*>("cmdOK")->click();
        }
    });
    QTimer watchdog;
    watchdog.callOnTimeout([] { QApplication::exit(1); });
    watchdog.start(5000);

    EXPECT_EQ(QApplication::exec(), 0) << "the program did not end with its last window";
    EXPECT_TRUE(aboutStillOpen) << "Exit closed the About dialog or ended the program early";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.isNull());
    EXPECT_EQ(AboutForm().loaded(), nullptr);
    open();
}

// Character files, in a folder of the test's own, with the recent list empty at the start.
class CharacterTest : public MainWindowTest {
protected:
    void SetUp() override {
        QSettings("Runetally", "Runetally").clear();
        MainWindowTest::SetUp();
    }
    QString write(const char* name, const char* spell) {
        WriteCharacter(folder.filePath(name), spell, "280");
        return folder.filePath(name);
    }
    QTemporaryDir folder;
};

TEST_F(CharacterTest, FileMenuIsDrawnFromItsDescription) {
    QStringList drawn;
    for (const QAction* item : get<QMenu>("mnuFile").actions()) {
        drawn << (item->isSeparator() ? "----"
                                      : item->text() + (item->isVisible() ? "" : "(hidden)") +
                                            item->shortcut().toString());
    }
    EXPECT_EQ(drawn, QStringList({"&Open Character...Ctrl+O", "&Save CharacterCtrl+S",
                                  "Save Character &As...Ctrl+Shift+S", "(hidden)", "(hidden)",
                                  "(hidden)", "(hidden)", "----", "&Reset", "&Exit"}));
}

// A file named on the command line, relative to where the program started, and the recent list
// that the next window reads back.
TEST_F(CharacterTest, TheCommandLinesFileFillsTheWindowAndStaysRecent) {
    write("thalia.rtchar", "Avalanche");
    const QString started = QDir::currentPath();
    QDir::setCurrent(folder.path());
    OpenArguments(*window, {"runetally", "--unknown", "thalia.rtchar", "extra"});
    QDir::setCurrent(started);
    EXPECT_EQ(box("varInt").text(), "280");
    EXPECT_EQ(selection(), QStringList{"Avalanche"});
    EXPECT_EQ(window->windowTitle(), "thalia - Velmoranth's Zelkor Runetally");
    EXPECT_EQ(QSettings("Runetally", "Runetally").value("RecentCharacters").toStringList(),
              QStringList{folder.filePath("thalia.rtchar")});
    reopen();
    EXPECT_EQ(window->windowTitle(), "Velmoranth's Zelkor Runetally");
    EXPECT_TRUE(get<QAction>("mnuRecent1").isVisible());
    EXPECT_EQ(get<QAction>("mnuRecent1").text(), "&1 thalia.rtchar");
}

// One character file dropped anywhere opens, a text box included; two are left to the widgets.
TEST_F(CharacterTest, ADroppedCharacterFileOpens) {
    QMimeData two, one;
    two.setUrls({QUrl::fromLocalFile(write("thalia.rtchar", "Avalanche")),
                 QUrl::fromLocalFile(write("ashen.rtchar", ""))});
    one.setUrls({QUrl::fromLocalFile(folder.filePath("ashen.rtchar"))});
    one.setText(folder.filePath("ashen.rtchar")); // as file managers offer it to text boxes
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent refused({2, 2}, offered, &two, Qt::LeftButton, {});
    QApplication::sendEvent(window, &refused);
    EXPECT_FALSE(refused.isAccepted());

    select("Avalanche");
    QDragEnterEvent enter({2, 2}, offered, &one, Qt::LeftButton, {});
    QApplication::sendEvent(&box("varWis"), &enter);
    ASSERT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction) << "a move would have the file taken away";
    QDropEvent drop(QPointF(2, 2), offered, &one, Qt::LeftButton, {});
    QApplication::sendEvent(&box("varWis"), &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(box("varWis").text(), "100") << "the path was not typed into the box";
    EXPECT_EQ(box("varInt").text(), "280");
    EXPECT_TRUE(selection().isEmpty()) << "the file selects no spell";
    EXPECT_EQ(window->windowTitle(), "ashen - Velmoranth's Zelkor Runetally");
}

TEST_F(CharacterTest, SaveAsOffersCharactersAndAddsTheirExtension) {
    AnswerFileDialog([&] { trigger("mnuSaveAs"); },
                     [&](QFileDialog& dialog) {
                         EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
                         EXPECT_EQ(dialog.nameFilters(),
                                   QStringList{"Runetally characters (*.rtchar)"});
                         EXPECT_TRUE(dialog.selectedFiles().value(0).endsWith("/Untitled.rtchar"));
                         dialog.selectFile(folder.filePath("thalia"));
                         static_cast<QDialog&>(dialog).accept(); // as its Open or Save button does
                     });
    EXPECT_TRUE(QFile::exists(folder.filePath("thalia.rtchar")));
    EXPECT_EQ(window->windowTitle(), "thalia - Velmoranth's Zelkor Runetally");
}

// The close box asks about unsaved edits, and an answer other than Yes or No keeps the window;
// Exit asks once, and its own close does not ask again.
TEST_F(CharacterTest, UnsavedEditsAreAskedAboutOnceBeforeTheWindowCloses) {
    window->commands<MainCommands>().openCharacter(
        write("thalia.rtchar", "Avalanche").toStdString());
    box("varInt").setText("281");
    for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::NoButton}) {
        const auto seen = ExpectOneMessageBox([&] { window->windowHandle()->close(); }, {}, answer);
        ASSERT_TRUE(seen.has_value());
        EXPECT_EQ(seen->title, "Runetally");
        EXPECT_EQ(seen->text, "Save changes to thalia?");
        EXPECT_EQ(seen->buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(seen->modality, Qt::ApplicationModal);
        EXPECT_EQ(MainForm().loaded(), window);
        EXPECT_TRUE(window->isVisible());
    }
    ExpectOneMessageBox([&] { trigger("mnuExit"); }, {}, QMessageBox::No);
    EXPECT_EQ(MainForm().loaded(), nullptr);
}

// A name that is no UTF-8 reaches its file by its bytes: from the command line, the recent list
// and a drop alike.
TEST_F(CharacterTest, ANameThatIsNoUtf8OpensByItsBytes) {
    const std::string path = QFile::encodeName(folder.path()).toStdString() + "/\xe9t\xe9.rtchar";
    ASSERT_EQ(std::rename(QFile::encodeName(write("thalia.rtchar", "Avalanche")), path.c_str()), 0);
    QMimeData dragged;
    dragged.setUrls({QUrl::fromEncoded(
        "file://" + QByteArray::fromStdString(path).toPercentEncoding("/"), QUrl::StrictMode)});
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"command line",
         [&] {
             OpenArguments(*window, {"runetally", path});
         }},
        {"recent list", [&] { trigger("mnuRecent1"); }},
        {"drop",
         [&] {
             QDragEnterEvent enter({2, 2}, Qt::CopyAction, &dragged, Qt::LeftButton, {});
             QApplication::sendEvent(&box("varWis"), &enter);
             QDropEvent drop({2, 2}, Qt::CopyAction, &dragged, Qt::LeftButton, {});
             QApplication::sendEvent(&box("varWis"), &drop);
             QCoreApplication::processEvents();
         }},
    };
    for (const auto& [way, openIt] : ways) {
        reopen();
        openIt();
        EXPECT_EQ(box("varInt").text(), "280") << way;
        EXPECT_EQ(selection(), QStringList{"Avalanche"}) << way;
    }
    std::remove(path.c_str()); // QTemporaryDir cannot, by a name that is no UTF-8
}

// A file changed on disk since it was opened: Save asks, Yes or No, and No writes nothing.
TEST_F(CharacterTest, SavingOverAFileChangedOnDiskAsksYesOrNo) {
    OpenArguments(*window, {"runetally", write("thalia.rtchar", "Avalanche").toStdString()});
    WriteCharacter(folder.filePath("thalia.rtchar"), "Avalanche", "2800"); // another program
    box("varInt").setText("281");
    const auto seen = ExpectOneMessageBox([&] { trigger("mnuSave"); }, {}, QMessageBox::No);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, "thalia.rtchar has changed on disk since it was opened. Replace it?");
    EXPECT_EQ(seen->buttons, QMessageBox::Yes | QMessageBox::No);
    QFile file(folder.filePath("thalia.rtchar"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"2800\""));
    box("varInt").setText("280"); // as opened: closing asks nothing
}

} // namespace
