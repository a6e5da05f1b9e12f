#include "aboutdialog.h"
#include "dpiscaling.h"
#include "mainwindow.h"
#include "program.h"
#include "win32testing.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace runetally;
using namespace runetally::win32;
using namespace runetally::win32::testing;

namespace {

// The desktop's resolution this run expects; the 144-dpi run has a Wine prefix of its own.
int DesktopDpi() {
    const char* dpi = std::getenv("RUNETALLY_TEST_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

RECT PlaceInParent(HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight;
}

// The face a font draws with once the font mapper has chosen.
std::wstring Face(HFONT font) {
    wchar_t face[LF_FACESIZE] = {};
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return face;
}

// Every control at its twips rectangle at the resolution, whatever the window's size.
void ExpectLaidOutAt(const FormWindow& form, const FormDesc& desc, int dpi) {
    for (const WidgetDesc& widget : desc.widgets) {
        if (widget.kind == WidgetKind::Line) {
            continue;
        }
        const TwipsRect& t = widget.rect;
        const RECT expected{t.left * dpi / 1440, t.top * dpi / 1440,
                            t.left * dpi / 1440 + t.width * dpi / 1440,
                            t.top * dpi / 1440 + t.height * dpi / 1440};
        EXPECT_EQ(Describe(PlaceInParent(form.control(widget.id))), Describe(expected))
            << desc.controlName(widget.id) << " at " << dpi << " dpi";
    }
}

struct Expected {
    int dpi;
    const char* main;
    const char* about;
    const char* calculate;
    const char* damage;
};

TEST(Win32Layout, WindowsAndControlsStandAtTheirPlacesAtTheDesktopsResolution) {
    const Expected table[] = {
        {96, "0,0 622x476", "156,129 382x237", "344,24 193x57", "296,392 233x49"},
        {144, "0,0 933x714", "234,193 573x355", "516,36 289x85", "444,588 349x73"},
    };
    const int dpi = DesktopDpi();
    const auto* expected = std::find_if(std::begin(table), std::end(table),
                                        [dpi](const Expected& e) { return e.dpi == dpi; });
    ASSERT_NE(expected, std::end(table)) << dpi;
    FormWindow& main = MainForm().show();
    FormWindow& about = AboutForm().show();
    Pump();
    ASSERT_EQ(WindowDpi(main.handle()), dpi) << "the desktop's LogPixels";

    RECT client;
    GetClientRect(main.handle(), &client);
    EXPECT_EQ(Describe(client), expected->main);
    GetClientRect(about.handle(), &client);
    MapWindowPoints(about.handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(Describe(client), expected->about);
    EXPECT_EQ(Describe(PlaceInParent(main.control(MainControl::cmdCalculate))),
              expected->calculate);
    EXPECT_EQ(Describe(PlaceInParent(main.control(MainControl::dmg))), expected->damage);

    // "Zelkor Beaulieux" is not installed: the label keeps the message font's face.
    const LOGFONTW message = MessageFont(dpi);
    const HFONT messageFont = CreateFontIndirectW(&message);
    EXPECT_EQ(Face(HFONT(SendMessageW(main.control(MainControl::Label10), WM_GETFONT, 0, 0))),
              Face(messageFont));
    DeleteObject(messageFont);
    EXPECT_EQ(FontHeight(main.control(MainControl::varInt)), MessageFont(dpi).lfHeight);

    SetWindowPos(main.handle(), nullptr, 0, 0, 1000, 900, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ExpectLaidOutAt(main, MainWindowDescription(), dpi);
    EXPECT_EQ(FontHeight(main.control(MainControl::Label10)), -MulDiv(24, dpi, 72));
    ExpectLaidOutAt(about, AboutDescription(), dpi);
    AboutForm().unload();
    MainForm().unload();
    Pump();
}

TEST(Win32Layout, AMoveToAnotherResolutionLaysTheWindowOutAnew) {
    const int other = DesktopDpi() == 96 ? 144 : 96;
    FormWindow& main = MainForm().show();
    RECT suggested{40, 30, 40 + 700, 30 + 600};
    SendMessageW(main.handle(), WM_DPICHANGED, MAKEWPARAM(other, other), LPARAM(&suggested));
    Pump();
    RECT now;
    GetWindowRect(main.handle(), &now);
    EXPECT_EQ(Describe(now), Describe(suggested));
    ExpectLaidOutAt(main, MainWindowDescription(), other);
    EXPECT_EQ(FontHeight(main.control(MainControl::Label10)), -MulDiv(24, other, 72));
    EXPECT_EQ(FontHeight(main.control(MainControl::dmg)), MessageFont(other).lfHeight);
    MainForm().unload();
    Pump();
}

} // namespace
