#include "aboutdialog.h"
#include "fakesysinfolauncher.h"
#include "formwidgets.h"
#include "guitest.h"
#include "programwindows.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <set>
#include <tuple>

using namespace runetally;

namespace {

const std::string kTool = "C:\\Tools\\MSINFO32.EXE";

template <class W = QWidget> W* Child(QWidget* dialog, const char* name) {
    W* widget = dialog->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A dialog of its own, loaded, beside the program's shared one.
FormWindow* NewAbout(const AppIdentity& identity = BuildIdentity(),
                     SysInfoLauncher* launcher = nullptr) {
    return new FormWindow(AboutDescription(), [&](FormSurface& form, Platform& platform) {
        return std::make_unique<AboutCommands>(form, platform, identity, launcher);
    });
}

// A loaded dialog, shown and active, whose System Info button reaches a fake launcher that
// finds the tool and starts it.
struct Shown {
    explicit Shown(const AppIdentity& identity = BuildIdentity()) {
        launcher.tool = kTool;
        dialog = NewAbout(identity, &launcher);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    ~Shown() { delete dialog; }

    fakes::FakeSysInfoLauncher launcher;
    QPointer<FormWindow> dialog;
};

// Presses a key on the focus widget. An access key clicks its button animated, after a moment:
// wait until the button is up again.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
    std::vector<QPointer<QAbstractButton>> buttons;
    for (QAbstractButton* button : focus->window()->findChildren<QAbstractButton*>()) {
        buttons.emplace_back(button);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return std::none_of(buttons.begin(), buttons.end(),
                            [](auto& b) { return b && b->isDown(); });
    }));
}

QString FocusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

TEST(frmAbout, IsAFixedOwnerlessDialogWithItsControlsInPlace) {
    Shown shown;
    FormWindow* dialog = shown.dialog;
    EXPECT_EQ(dialog->geometry(), QRect(156, 129, 382, 237)) << "client area, not frame";
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    // A plain window: window managers keep a transient dialog above the main window.
    EXPECT_EQ(dialog->windowType(), Qt::Window);
    EXPECT_EQ(dialog->windowHandle()->transientParent(), nullptr);
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    for (const auto& [name, place] :
         std::vector<std::pair<const char*, QRect>>{{"picIcon", {16, 16, 36, 36}},
                                                    {"cmdOK", {283, 175, 84, 23}},
                                                    {"cmdSysInfo", {284, 205, 83, 23}},
                                                    {"lblDescription", {70, 75, 259, 78}},
                                                    {"lblTitle", {70, 16, 259, 32}},
                                                    {"lblVersion", {70, 52, 259, 15}},
                                                    {"lblDisclaimer", {17, 175, 258, 55}},
                                                    {"Line1_1", {6, 163, 371, 1}},
                                                    {"Line1_0", {7, 164, 370, 2}}}) {
        EXPECT_EQ(Child(dialog, name)->geometry(), place) << name;
    }
}

TEST(frmAbout, ShowsItsFixedTextsInPlainWrappedLabels) {
    const std::unique_ptr<FormWindow> dialog(NewAbout());
    EXPECT_EQ(Child<QLabel>(dialog.get(), "lblDescription")->text(),
              "add *(20-range/20) to get your area spell dmg for the mini area spells like "
              "tornado/fireball.  The Drain spells do not work correctly i think, so you will "
              "have to wait for version 2 for that one :)");
    EXPECT_TRUE(QRegularExpression("^Warning: This program does not contain viruses if "
                                   "downloaded from [a-z.-]+\\.example or [a-z.-]+\\.example$")
                    .match(Child<QLabel>(dialog.get(), "lblDisclaimer")->text())
                    .hasMatch());
    EXPECT_EQ(Child<QPushButton>(dialog.get(), "cmdOK")->text(), "OK");
    EXPECT_EQ(Child<QPushButton>(dialog.get(), "cmdSysInfo")->text(), "&System Info...");

    for (const auto& [name, black] : {std::pair{"lblDescription", true},
                                      {"lblTitle", true},
                                      {"lblDisclaimer", true},
                                      {"lblVersion", false}}) {
        auto* label = Child<QLabel>(dialog.get(), name);
        EXPECT_TRUE(label->wordWrap()) << name;
        EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_EQ(label->testAttribute(Qt::WA_SetPalette), black) << name;
        if (black) {
            EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black)) << name;
        }
    }
}

TEST(frmAbout, DrawsTheEtchedRuleAndTheFramedIcon) {
    const std::unique_ptr<FormWindow> dialog(NewAbout());
    const QImage image = dialog->grab().toImage();
    const QRgb background = dialog->palette().color(QPalette::Window).rgb();
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb white = qRgb(255, 255, 255);
    // clang-format off
    for (const auto& [x, y, colour] : {
             std::tuple{5, 163, background}, {6, 163, grey}, {376, 163, grey}, {377, 163, background},
             {6, 164, background}, {7, 164, white}, {376, 165, white}, {377, 165, background},
             {200, 162, background}, {200, 166, background}}) {
        // clang-format on
        EXPECT_EQ(image.pixel(x, y), colour) << x << "," << y;
    }

    auto* picIcon = Child<QLabel>(dialog.get(), "picIcon");
    EXPECT_EQ(picIcon->frameWidth(), 2);
    EXPECT_EQ(picIcon->frameShadow(), QFrame::Sunken);
    EXPECT_TRUE(picIcon->focusPolicy() & Qt::TabFocus);
    const QImage icon = picIcon->pixmap().toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    const QImage shown = picIcon->grab().toImage();
    const std::set<QRgb> standard16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::set<QRgb> used;
    int transparent = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                ++transparent;
                continue;
            }
            used.insert(pixel & 0xFFFFFF);
            EXPECT_EQ(shown.pixel(x + 2, y + 2), pixel) << "drawn at the top-left in the frame";
        }
    }
    EXPECT_GT(transparent, 0);
    EXPECT_TRUE(std::includes(standard16.begin(), standard16.end(), used.begin(), used.end()));
    for (QRgb described : {0xFFFFFF, 0x800080, 0x808080, 0xFFFF00, 0x008000}) {
        EXPECT_EQ(used.count(described), 1u) << std::hex << described;
    }
}

TEST(frmAbout, FocusOpensOnTheFirstStopAndTabRunsThroughTheOrder) {
    Shown shown;
    const FormDesc& form = AboutDescription();
    const auto& order = form.focusOrder;
    for (std::size_t i = 0; i <= order.size(); ++i) {
        EXPECT_EQ(FocusName(), ToQString(form.controlName(order[i % order.size()])));
        Press(Qt::Key_Tab);
    }
}

TEST(frmAbout, EnterEscAndAltSPressTheirButtons) {
    struct Case {
        const char* focus;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        bool closes;
        std::size_t starts;
    };
    const std::pair<Qt::Key, Qt::KeyboardModifiers> enter = {Qt::Key_Return, {}},
                                                    padEnter = {Qt::Key_Enter, Qt::KeypadModifier},
                                                    esc = {Qt::Key_Escape, {}},
                                                    altS = {Qt::Key_S, Qt::AltModifier},
                                                    backTab = {Qt::Key_Backtab, Qt::ShiftModifier};
    // clang-format off
    const std::vector<Case> cases = {
        {"cmdOK", {enter}, true, 0},       {"picIcon", {padEnter}, true, 0},
        {"cmdSysInfo", {enter, padEnter}, false, 2},
        {"cmdSysInfo", {enter, backTab, enter}, true, 1}, // off System Info, Enter is OK's again
        {"cmdOK", {esc}, true, 0},         {"picIcon", {esc}, true, 0},
        {"cmdSysInfo", {esc}, true, 0},    {"cmdOK", {altS}, false, 1},
        {"picIcon", {altS}, false, 1}};
    // clang-format on
    for (const Case& c : cases) {
        Shown shown;
        Child(shown.dialog, c.focus)->setFocus();
        for (const auto& [key, modifiers] : c.keys) {
            Press(key, modifiers);
        }
        EXPECT_EQ(shown.dialog.isNull() || !shown.dialog->isVisible(), c.closes)
            << c.focus << " " << c.keys[0].first;
        EXPECT_EQ(shown.launcher.started, std::vector<std::string>(c.starts, kTool)) << c.focus;
    }
}

TEST(frmAbout, UnavailableToolGivesTheMessageAndLeavesTheDialogAsItWas) {
    const QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit()); // no tool to be found
    FormWindow* dialog = &AboutForm().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);

    const auto box = test::ExpectOneMessageBox([&] { Press(Qt::Key_S, Qt::AltModifier); });
    qputenv("PATH", path);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(box->title, "Runetally");
    EXPECT_EQ(AboutForm().loaded(), dialog);
    EXPECT_EQ(dialog->windowTitle(), "About Runetally");
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(FocusName(), "cmdSysInfo");
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "cmdOK");
    Press(Qt::Key_Return);
    EXPECT_EQ(AboutForm().loaded(), nullptr);
}

TEST(frmAbout, SharedInstanceLoadsAgainOnlyAfterAClose) {
    FormWindow* first = &AboutForm().show();
    auto* title = Child<QLabel>(first, "lblTitle");
    title->setText("changed");
    first->setWindowTitle("changed");

    EXPECT_EQ(&AboutForm().show(), first);
    EXPECT_EQ(title->text(), "changed") << "showing an open dialog does not load it again";
    EXPECT_EQ(first->windowTitle(), "changed");

    Child<QPushButton>(first, "cmdOK")->click();
    EXPECT_EQ(AboutForm().loaded(), nullptr);
    FormWindow* second = &AboutForm().show();
    EXPECT_EQ(Child<QLabel>(second, "lblTitle")->text(), "Runetally");
    EXPECT_EQ(Child<QLabel>(second, "lblVersion")->text(), "Version 1.0.0");
    EXPECT_EQ(second->windowTitle(), "About Runetally");
    second->close(); // the close box unloads it as OK does
    EXPECT_EQ(AboutForm().loaded(), nullptr);
}

} // namespace
