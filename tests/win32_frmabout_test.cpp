#include "aboutdialog.h"
#include "mainwindow.h"
#include "program.h"
#include "sysinfo.h"
#include "win32testing.h"

#include <gtest/gtest.h>

using namespace runetally;
using namespace runetally::win32;
using namespace runetally::win32::testing;

namespace {

using enum AboutControl;

class Win32frmAbout : public ::testing::Test {
protected:
    void SetUp() override {
        quitPosted = false;
        MainForm().show();
        about = &AboutForm().show();
        Pump();
    }
    void TearDown() override {
        AboutForm().unload();
        MainForm().unload();
        Pump();
        EXPECT_TRUE(boxes.take().empty());
    }

    HWND get(AboutControl id) const { return about->control(id); }

    MessageBoxes boxes;
    FormWindow* about = nullptr;
};

COLORREF Pixel(HWND window, int x, int y) {
    const HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

TEST_F(Win32frmAbout, OpensFixedAndOwnerlessWithItsTextsPictureAndRule) {
    EXPECT_EQ(Text(about->handle()), "About Runetally");
    EXPECT_EQ(Text(get(lblTitle)), "Runetally");
    EXPECT_EQ(Text(get(lblVersion)), "Version 1.0.0");
    const LONG_PTR style = GetWindowLongPtrW(about->handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(GetWindowLongPtrW(about->handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(about->handle(), GW_OWNER), nullptr);

    // A purple doorway pixel, a transparent corner inside the sunken frame, and the etched rule:
    // grey, then white.
    EXPECT_EQ(Pixel(get(picIcon), 2 + 13, 2 + 20), RGB(128, 0, 128));
    EXPECT_EQ(Pixel(get(picIcon), 2, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(about->handle(), 20, 163), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(about->handle(), 20, 165), RGB(255, 255, 255));
}

TEST_F(Win32frmAbout, FocusOpensOnOkAndTabWrapsThroughTheIconAndSystemInfo) {
    const auto& order = AboutDescription().focusOrder;
    EXPECT_EQ(GetFocus(), about->control(order.front()));
    for (std::size_t i = 1; i <= order.size(); ++i) {
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(), about->control(order[i % order.size()])) << i;
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        Press(VK_TAB, VK_SHIFT);
        EXPECT_EQ(GetFocus(), about->control(order[i])) << i;
    }
}

// OK is both the default and the cancel button; System Info has the access key S. Here System
// Info reaches Wine's registry, which names no tool.
TEST_F(Win32frmAbout, KeysPressOkOrSystemInfo) {
    const std::string unavailable = "Runetally: " + std::string(kSysInfoUnavailable) + " (1)";
    struct Case {
        AboutControl focus;
        UINT key; // 0: Alt+S
        bool closes;
    };
    for (const Case& c : {Case{picIcon, VK_RETURN, true}, Case{cmdSysInfo, VK_ESCAPE, true},
                          Case{cmdOK, VK_SPACE, true}, Case{cmdSysInfo, VK_RETURN, false},
                          Case{picIcon, 0, false}}) {
        about = &AboutForm().show();
        SetFocus(get(c.focus));
        if (c.key == 0) {
            PostMessageW(GetFocus(), WM_SYSCHAR, 's', LPARAM(1) << 29);
            Pump();
        } else {
            Press(c.key);
        }
        EXPECT_EQ(AboutForm().loaded() == nullptr, c.closes)
            << ControlName(c.focus) << " " << c.key;
        EXPECT_EQ(boxes.take(),
                  c.closes ? std::vector<std::string>{} : std::vector<std::string>{unavailable})
            << ControlName(c.focus) << " " << c.key;
    }
}

TEST_F(Win32frmAbout, ShownOnceAndKeepsTheProgramAliveUntilItCloses) {
    EXPECT_EQ(&AboutForm().show(), about);
    int dialogs = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM count) {
            *reinterpret_cast<int*>(count) += Text(window) == "About Runetally";
            return TRUE;
        },
        LPARAM(&dialogs));
    EXPECT_EQ(dialogs, 1);

    FormWindow* frame = MainForm().loaded();
    PostMessageW(frame->handle(), WM_COMMAND, FormWindow::CommandId(MainControl::mnuExit), 0);
    Pump();
    EXPECT_EQ(MainForm().loaded(), nullptr);
    EXPECT_EQ(AboutForm().loaded(), about);
    EXPECT_FALSE(quitPosted) << "the dialog keeps the program running";
    PostMessageW(about->handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(AboutForm().loaded(), nullptr);
    EXPECT_TRUE(quitPosted);
}

} // namespace
