#include "plannerwindow.h"
#include "program.h"
#include "reportlist.h"
#include "spelltable.h"
#include "systemplatform.h"
#include "tablecommand.h"
#include "win32testing.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <cctype>
#include <cstdio>
#include <fstream>

using namespace runetally;
using namespace runetally::win32;
using namespace runetally::win32::testing;

namespace {

using enum PlannerControl;

class Win32frmPlanner : public ::testing::Test {
protected:
    void SetUp() override {
        quitPosted = false;
        main = &MainForm().show();
        Pump();
    }
    void TearDown() override {
        PlannerForm().unload();
        MainForm().unload();
        Pump();
        EXPECT_TRUE(boxes.take().empty());
    }

    FormWindow& open() {
        SendMessageW(main->handle(), WM_COMMAND, FormWindow::CommandId(MainControl::mnuPlanner), 0);
        Pump();
        return *PlannerForm().loaded();
    }
    HWND get(PlannerControl id) const { return PlannerForm().loaded()->control(id); }

    Application app; // the list view's class
    MessageBoxes boxes;
    FormWindow* main = nullptr;
};

// What runetally-table prints for these arguments.
std::string TablePrints(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "runetally-table");
    return TableCommand::Run(arguments, UserDecimalSeparator()).out;
}

// B's character, which the stand-in dialogs choose: level 99, 280 Inteligence, 100 elsewhere.
std::string WriteB() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = folder + std::string("b.rtchar");
    std::ofstream(path) << R"({"format": "runetally-character", "version": 1, "spell": "",
        "inputs": {"level": "99", "int": "280", "wis": "100", "resist": "100", "light": "100",
        "earth": "100", "fire": "100", "air": "100", "water": "100", "dark": "100"}})";
    StandInForCharacterDialogs([path](bool, std::string_view) { return path; });
    return path;
}

std::string ClipboardText() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = Narrow(static_cast<const wchar_t*>(GlobalLock(data)));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

TEST_F(Win32frmPlanner, ToolsMenuAndCtrlPShowTheOnePlannerAWindowOfItsOwn) {
    wchar_t caption[64];
    GetMenuStringW(GetMenu(main->handle()), UINT(FormWindow::CommandId(MainControl::mnuPlanner)),
                   caption, 64, MF_BYCOMMAND);
    EXPECT_EQ(Narrow(caption), "Spell &Planner...\tCtrl+P");
    EXPECT_EQ(PlannerForm().loaded(), nullptr) << "built only when first opened";
    FormWindow& planner = open();
    EXPECT_EQ(Text(planner.handle()), "Spell Planner");
    EXPECT_TRUE(GetWindowLongPtrW(planner.handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(planner.handle(), GW_OWNER), nullptr);
    PostMessageW(planner.handle(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(PlannerForm().loaded(), nullptr);

    SetFocus(main->control(MainControl::varWis));
    Press('P', VK_CONTROL);
    FormWindow* again = PlannerForm().loaded();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Text(main->control(MainControl::varWis)), "100") << "no P typed";
    SetForegroundWindow(main->handle());
    SetFocus(main->control(MainControl::varWis));
    Press('P', VK_CONTROL);
    EXPECT_EQ(PlannerForm().loaded(), again) << "a second Ctrl+P only brings it forward";

    // Exit leaves the planner open; the program ends with its last window.
    PostMessageW(main->handle(), WM_COMMAND, FormWindow::CommandId(MainControl::mnuExit), 0);
    Pump();
    EXPECT_FALSE(quitPosted);
    PostMessageW(again->handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(quitPosted);
    main = &MainForm().show();
}

TEST_F(Win32frmPlanner, FollowsEveryEditAndSelectionInTheMainWindow) {
    open();
    const HWND spells = get(lvwSpells);
    ASSERT_EQ(SendMessageW(spells, LVM_GETITEMCOUNT, 0, 0), 41);
    EXPECT_EQ(ReportCell(spells, 0, 0), "Meteor"); // 100/7 + 204 at the start texts
    SetWindowTextW(main->control(MainControl::varInt), L"abc");
    EXPECT_EQ(Text(get(lblStatus)), R"(The text in "Inteligence" is not a number.)");
    EXPECT_EQ(SendMessageW(spells, LVM_GETITEMCOUNT, 0, 0), 41)
        << "the spells that need no intelligence keep their figures";
    SetWindowTextW(main->control(MainControl::varInt), L"280");
    EXPECT_EQ(Text(get(lblStatus)), "");
    EXPECT_EQ(ReportCell(spells, 0, 2), "244"); // 280/7 + 204

    // Down on the spell list selects its first spell, which the planner marks with a tip.
    SetFocus(main->control(MainControl::listSpells));
    Press(VK_DOWN);
    const std::wstring first = Widen(SpellTable[0].name);
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = first.c_str();
    wchar_t tip[64] = {};
    NMLVGETINFOTIPW asked{};
    asked.hdr = {spells, 0, UINT(LVN_GETINFOTIPW)};
    asked.pszText = tip;
    asked.cchTextMax = 64;
    asked.iItem = int(SendMessageW(spells, LVM_FINDITEMW, WPARAM(-1), LPARAM(&find)));
    SendMessageW(PlannerForm().loaded()->handle(), WM_NOTIFY, 0, LPARAM(&asked));
    EXPECT_EQ(Narrow(tip), "selected in the main window") << SpellTable[0].name;
}

// Ctrl+C on the spell table and on the chart copies exactly what runetally-table prints.
TEST_F(Win32frmPlanner, CtrlCCopiesWhatTheTableToolPrints) {
    SetWindowTextW(main->control(MainControl::varInt), L"280");
    open();
    SetFocus(get(cboInput));
    Press(VK_UP); // from Inteligence to Wisdom
    SetWindowTextW(get(txtStep), L"7");
    const HWND spells = get(lvwSpells);
    const auto header = HWND(SendMessageW(spells, LVM_GETHEADER, 0, 0));
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    ASSERT_EQ(ReportCell(spells, 0, 0), "Avalanche") << "by name: the copy is too";

    const struct {
        PlannerControl control;
        std::vector<std::string> arguments;
    } cases[] = {
        {lvwSpells,
         {"--int", "280", "--gain", "wis", "--step", "7", "--sort", "spell", "--ascending",
          "--format", "csv"}},
        // Meteor, the best, against the best other, Firestorm: wisdom from 0 to 200 in steps of 1.
        {picChart,
         {"--int", "280", "--sweep", "wis=0:200:1", "--spell", "Meteor", "--spell", "Firestorm",
          "--format", "csv"}},
    };
    for (const auto& c : cases) {
        const std::string expected = TablePrints(c.arguments);
        ASSERT_FALSE(expected.empty());
        SetFocus(get(c.control));
        Press('C', VK_CONTROL);
        EXPECT_EQ(ClipboardText(), expected) << ControlName(c.control);
    }
}

// MinGW-w64 10's libuuid holds a wrong IID_IAccessible.
constexpr GUID kIAccessible{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

TEST_F(Win32frmPlanner, TabReachesEveryControlAndScreenReadersHearEachByItsName) {
    open();
    const HWND captions = HWND(SendMessageW(get(lvwSpells), LVM_GETHEADER, 0, 0));
    // Stop comparing starts hidden, and Tab passes it by.
    EXPECT_FALSE(IsWindowVisible(get(cmdStopCompare)));
    const HWND stops[] = {get(cboInput),  get(txtStep),   get(cmdCompare), captions,
                          get(lvwSpells), get(lvwInputs), get(picChart)};
    EXPECT_EQ(GetFocus(), stops[0]);
    for (std::size_t i = 1; i <= std::size(stops); ++i) {
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(), stops[i % std::size(stops)]) << i;
    }
    for (std::size_t i = std::size(stops); i-- > 0;) {
        Press(VK_TAB, VK_SHIFT);
        EXPECT_EQ(GetFocus(), stops[i]) << i;
    }
    // On the captions, Right moves to the next one and Enter sorts by it: Element, A to Z.
    SetFocus(captions);
    Press(VK_RIGHT);
    Press(VK_RETURN);
    EXPECT_EQ(ReportCell(get(lvwSpells), 0, 1), "Air");
    HDITEMW element{};
    element.mask = HDI_FORMAT;
    SendMessageW(captions, HDM_GETITEMW, 1, LPARAM(&element));
    EXPECT_TRUE(element.fmt & HDF_SORTUP);

    // Windows names a drop-down after the static text right before it, as a box; Wine's oleacc
    // gives its choice instead.
    EXPECT_EQ(Text(GetWindow(get(cboInput), GW_HWNDPREV)), "Input");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const auto& [stop, name] : {std::pair{txtStep, "Step"},
                                     {lvwSpells, "Spells"},
                                     {lvwInputs, "Inputs of the selected spell"},
                                     {picChart, "Damage chart"}}) {
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(get(stop), DWORD(OBJID_CLIENT), kIAccessible,
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR heard = nullptr;
        accessible->get_accName(self, &heard);
        EXPECT_EQ(Narrow(heard != nullptr ? heard : L""), name);
        SysFreeString(heard);
        if (stop == picChart) {
            // The chart is heard as one, and what it shows in words.
            VARIANT role{};
            accessible->get_accRole(self, &role);
            EXPECT_EQ(role.lVal, ROLE_SYSTEM_CHART);
            BSTR description = nullptr;
            accessible->get_accDescription(self, &description);
            EXPECT_EQ(Narrow(description != nullptr ? description : L"")
                          .rfind("Damage against Inteligence", 0),
                      0u);
            SysFreeString(description);
        }
        accessible->Release();
    }
    CoUninitialize();
}

TEST_F(Win32frmPlanner, ComparingAddsThreeColumnsUntilStopped) {
    const std::string path = WriteB();
    open();
    const HWND spells = get(lvwSpells);
    const auto columns = [&] {
        return SendMessageW(HWND(SendMessageW(spells, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0,
                            0);
    };
    SendMessageW(get(cmdCompare), BM_CLICK, 0, 0);
    EXPECT_EQ(columns(), 9);
    EXPECT_EQ(ReportCell(spells, 0, 6), "244") << "Meteor for B: 280/7 + 204";
    EXPECT_TRUE(IsWindowVisible(get(cmdStopCompare)));
    // Space on Stop comparing hides it, and the focus moves on to the table.
    SetFocus(get(cmdStopCompare));
    Press(VK_SPACE);
    EXPECT_EQ(columns(), 6);
    EXPECT_FALSE(IsWindowVisible(get(cmdStopCompare)));
    EXPECT_EQ(GetFocus(), spells);
    StandInForCharacterDialogs(nullptr);
    DeleteFileA(path.c_str());
}

// Text widths in a control's font.
int WidthIn(HWND control, HFONT font, const std::string& text) {
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, font != nullptr ? font : HFONT(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring wide = Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

// The planner opens beside the main window, not over it; comparing, it widens where the work
// area has room, and every caption and cell shows whole.
TEST_F(Win32frmPlanner, OpensBesideTheMainWindowAndShowsEveryColumnWhole) {
    const std::string path = WriteB();
    FormWindow& planner = open();
    RECT mainFrame;
    RECT before;
    RECT overlap;
    GetWindowRect(main->handle(), &mainFrame);
    GetWindowRect(planner.handle(), &before);
    IntersectRect(&overlap, &mainFrame, &before);
    EXPECT_LT(overlap.right - overlap.left, mainFrame.right - mainFrame.left) << "not over it";

    SendMessageW(get(cmdCompare), BM_CLICK, 0, 0);
    Pump();
    RECT after;
    GetWindowRect(planner.handle(), &after);
    std::printf("planner width at its default size, comparing: %ld -> %ld\n",
                before.right - before.left, after.right - after.left);
    const HWND spells = get(lvwSpells);
    const HWND header = HWND(SendMessageW(spells, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 9);
    int total = 0;
    for (int c = 0; c < 9; ++c) {
        wchar_t caption[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, c, LPARAM(&item));
        const int width = int(SendMessageW(spells, LVM_GETCOLUMNWIDTH, c, 0));
        EXPECT_GT(width, WidthIn(header, nullptr, Narrow(caption))) << Narrow(caption);
        total += width;
    }
    RECT list;
    GetClientRect(spells, &list);
    EXPECT_LE(total, list.right) << "every column in view";
    // Where the work area had room for every digit, every cell shows whole; else the numbers
    // give way, keeping their first digit.
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(planner.handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const bool roomy = after.right - after.left < monitor.rcWork.right - monitor.rcWork.left;
    for (int r = 0; r < int(SendMessageW(spells, LVM_GETITEMCOUNT, 0, 0)); ++r) {
        for (int c = 0; c < 9; ++c) {
            const std::string shown = ReportCell(spells, r, c);
            if (shown.find("\xE2\x80\xA6") != std::string::npos) {
                EXPECT_FALSE(roomy) << r << ',' << c << ' ' << shown;
                EXPECT_TRUE(std::isdigit(shown[0]) || shown[0] == '-') << shown;
            }
        }
    }
    StandInForCharacterDialogs(nullptr);
    DeleteFileA(path.c_str());
}

// A cell too narrow for its number keeps its sign, leading digit and exponent; its row's tip
// holds every digit and the note; the bold name shows whole.
TEST_F(Win32frmPlanner, ANarrowCellKeepsTheSizeOfItsNumber) {
    static constexpr ColumnDesc kColumns[] = {{"Spell", 1650}, {"Damage", 2070, true}};
    const WidgetDesc desc{
        .id = lvwSpells, .kind = WidgetKind::Table, .rect = {}, .columns = kColumns};
    const HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 190, 200,
                                      nullptr, nullptr, nullptr, nullptr);
    SetUpReportList(list, desc, 96);
    LOGFONTW face{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    SendMessageW(list, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    face.lfWeight = FW_BOLD;
    const HFONT bold = CreateFontIndirectW(&face);
    const TableRow rows[] = {{{"Vortex of Air", "4.64916666666667E+16"}, "Selected"},
                             {{"Lightning Bolt", "-1.11022302462516E-16"}}};
    SetReportRows(list, rows);
    EXPECT_GT(FitReport(list, rows, bold, 96), 0) << "it lacks room";
    const std::string vortex = ReportCell(list, 0, 1);
    const std::string bolt = ReportCell(list, 1, 1);
    EXPECT_TRUE(vortex.starts_with("4.") && vortex.ends_with("\xE2\x80\xA6"
                                                             "E+16"))
        << vortex;
    EXPECT_TRUE(bolt.starts_with("-1") && bolt.ends_with("E-16")) << bolt;
    EXPECT_EQ(ReportCell(list, 0, 0), "Vortex of Air");
    EXPECT_GT(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), WidthIn(list, bold, "Vortex of Air"));
    wchar_t text[256] = {};
    NMLVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = list;
    tip.pszText = text;
    tip.cchTextMax = 256;
    GiveRowTip(tip);
    EXPECT_EQ(Narrow(text), "Selected\n4.64916666666667E+16");
    tip.iItem = 1;
    GiveRowTip(tip);
    EXPECT_EQ(Narrow(text), "-1.11022302462516E-16");
    DestroyWindow(list);
    DeleteObject(bold);
}

// The tables and the chart take the room of a larger window; the top row stays.
TEST_F(Win32frmPlanner, TablesAndChartTakeTheRoomOfALargerWindow) {
    FormWindow& planner = open();
    const auto place = [&](PlannerControl id) {
        RECT r;
        GetWindowRect(get(id), &r);
        MapWindowPoints(nullptr, planner.handle(), reinterpret_cast<POINT*>(&r), 2);
        return std::vector<long>{r.left, r.top, r.right, r.bottom};
    };
    const auto step = place(txtStep);
    const auto spells = place(lvwSpells);
    const auto chart = place(picChart);
    RECT frame;
    GetWindowRect(planner.handle(), &frame);
    // At the screen's left, and no wider than a 1280-pixel screen's frame, which Wine keeps a
    // window within.
    SetWindowPos(planner.handle(), nullptr, 0, 0, frame.right - frame.left + 270,
                 frame.bottom - frame.top + 200, SWP_NOZORDER);
    Pump();
    const long wider = 162; // three fifths of the added width
    EXPECT_EQ(place(txtStep), step);
    EXPECT_EQ(place(lvwSpells),
              (std::vector{spells[0], spells[1], spells[2] + wider, spells[3] + 200}));
    EXPECT_EQ(place(picChart),
              (std::vector{chart[0] + wider, chart[1], chart[2] + 270, chart[3] + 200}));

    // It is never made smaller than described.
    SetWindowPos(planner.handle(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT client;
    GetClientRect(planner.handle(), &client);
    const int dpi = planner.dpi();
    EXPECT_EQ(client.right, TwipsToPixels(PlannerDescription().clientWidth, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(PlannerDescription().clientHeight, dpi));
}

// Any window's rule: what its commands do to a list, combo box or table is not told back to them;
// the player's selection and any text box's change are.
TEST(Win32Surface, TellsTheCommandsWhatThePlayerChangesButNotTheirOwnSelections) {
    struct Heard : FormEvents {
        void changed(ControlId id) override { ids.push_back(id.as<PlannerControl>()); }
        std::vector<PlannerControl> ids;
    };
    Application app;
    Heard* heard = nullptr;
    FormInstance<FormWindow> instance([&] {
        return new FormWindow(
            PlannerDescription(), instance,
            [&](FormSurface&, Platform&) {
                auto events = std::make_unique<Heard>();
                heard = events.get();
                return events;
            },
            false);
    });
    FormWindow& form = instance.show();
    const TableRow rows[] = {{{"Meteor"}}, {{"Inferno"}}, {{"Avalanche"}}};
    form.setRows(lvwSpells, rows);
    form.select(lvwSpells, 1);
    form.select(cboInput, 3);
    form.setColumns(lvwInputs, CompareColumns());
    EXPECT_EQ(heard->ids, std::vector<PlannerControl>{});
    EXPECT_EQ(form.selected(lvwSpells), 1);
    EXPECT_EQ(form.selected(cboInput), 3);

    form.setText(txtStep, "2");
    LVITEMW chosen{};
    chosen.state = chosen.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(form.control(lvwSpells), LVM_SETITEMSTATE, 2, LPARAM(&chosen));
    EXPECT_EQ(heard->ids, (std::vector{txtStep, lvwSpells}));
    EXPECT_EQ(form.text(txtStep), "2");
    instance.unload();
    Pump();
}

} // namespace
