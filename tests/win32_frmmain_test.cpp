#include "mainwindow.h"
#include "program.h"
#include "spelltable.h"
#include "win32testing.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <map>

using namespace runetally;
using namespace runetally::win32;
using namespace runetally::win32::testing;

namespace {

using enum MainControl;

class Win32frmMain : public ::testing::Test {
protected:
    void SetUp() override {
        quitPosted = false;
        frame = &MainForm().show();
        Pump();
    }
    void TearDown() override {
        MainForm().unload();
        Pump();
        EXPECT_TRUE(boxes.take().empty());
    }

    HWND get(MainControl id) const { return frame->control(id); }
    void select(const char* spell) {
        const LRESULT index = SendMessageW(get(listSpells), LB_FINDSTRINGEXACT, WPARAM(-1),
                                           LPARAM(Widen(spell).c_str()));
        ASSERT_NE(index, LB_ERR) << spell;
        SendMessageW(get(listSpells), LB_SETCURSEL, WPARAM(index), 0);
    }
    std::map<std::string, std::string> boxTexts() const {
        std::map<std::string, std::string> texts;
        for (const WidgetDesc& desc : MainWindowDescription().widgets) {
            if (desc.kind == WidgetKind::TextBox) {
                texts[std::string(MainWindowDescription().controlName(desc.id))] =
                    Text(get(desc.id.as<MainControl>()));
            }
        }
        return texts;
    }

    MessageBoxes boxes;
    FormWindow* frame = nullptr;
};

TEST_F(Win32frmMain, OpensWithItsTextsTheSpellsInTableOrderAndTheFocusOnTheResist) {
    EXPECT_EQ(Text(frame->handle()), "Velmoranth's Zelkor Runetally");
    EXPECT_EQ(GetFocus(), get(varResist));
    EXPECT_EQ(boxTexts().at("varLevel"), "99");
    EXPECT_EQ(boxTexts().at("dmg"), "0");
    const HWND list = get(listSpells);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), LRESULT(std::size(SpellTable)));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    wchar_t item[64];
    for (std::size_t i = 0; i < std::size(SpellTable); ++i) {
        SendMessageW(list, LB_GETTEXT, i, LPARAM(item));
        EXPECT_EQ(Narrow(item), SpellTable[i].name);
    }
    const HMENU menu = GetMenu(frame->handle());
    std::string captions;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        GetMenuStringW(menu, UINT(i), item, 64, MF_BYPOSITION);
        captions += Narrow(item) + " ";
    }
    EXPECT_EQ(captions, "&File &Tools &Help ");
}

TEST_F(Win32frmMain, TabAndShiftTabFollowTheFocusOrderAndWrap) {
    const FormDesc& form = MainWindowDescription();
    const auto& order = form.focusOrder;
    for (std::size_t i = 1; i <= order.size(); ++i) {
        Press(VK_TAB);
        const ControlId stop = order[i % order.size()];
        EXPECT_EQ(GetFocus(), frame->control(stop)) << form.controlName(stop);
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        Press(VK_TAB, VK_SHIFT);
        EXPECT_EQ(GetFocus(), frame->control(order[i])) << form.controlName(order[i]);
    }
}

TEST_F(Win32frmMain, OnlyTheFocusedButtonAnswersEnterAndNothingAnswersEsc) {
    select("Avalanche");
    struct Case {
        MainControl focus;
        UINT key;
        const char* dmg;
    };
    for (const Case& c :
         {Case{varInt, VK_RETURN, "0"}, Case{listSpells, VK_RETURN, "0"}, Case{dmg, VK_ESCAPE, "0"},
          Case{cmdCalculate, VK_ESCAPE, "0"}, Case{cmdCalculate, VK_RETURN, "157.5"},
          Case{cmdCalculate, VK_SPACE, "157.5"}}) {
        SetWindowTextW(get(dmg), L"0");
        SetFocus(get(c.focus));
        Press(c.key);
        EXPECT_EQ(Text(get(dmg)), c.dmg) << ControlName(c.focus) << " " << c.key;
        EXPECT_EQ(MainForm().loaded(), frame);
    }
}

TEST_F(Win32frmMain, CtrlASelectsAllAndEachBoxHoldsWhatItsDescriptionAllows) {
    // Ctrl+A, then a box takes what its description allows; an edit box's own limit is 32,767.
    for (const MainControl id : {varWis, dmg}) {
        const std::string_view name = ControlName(id);
        const WidgetDesc& desc = MainWindowDescription().widget(id);
        const HWND box = get(id);
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 1, 1);
        Press('A', VK_CONTROL);
        DWORD from = 9, to = 0;
        SendMessageW(box, EM_GETSEL, WPARAM(&from), LPARAM(&to));
        EXPECT_EQ(from, 0u) << name;
        EXPECT_EQ(to, DWORD(desc.text.size())) << name << ": nothing typed";
        const int limit = desc.maxLength;
        const int length = limit > 0 ? limit : 32767;
        SetWindowTextW(box, std::wstring(std::size_t(length), L'7').c_str());
        SendMessageW(box, EM_SETSEL, WPARAM(length), LPARAM(length));
        SendMessageW(box, EM_REPLACESEL, FALSE, LPARAM(L"8"));
        EXPECT_EQ(GetWindowTextLengthW(box), limit > 0 ? limit : length + 1) << name;
    }
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

// Ctrl+V, Shift+Insert and the context menu all paste by WM_PASTE; the pasted text replaces the
// selection, and 32,767 characters in all fit.
TEST_F(Win32frmMain, APasteThatWouldPassTheLimitIsRefusedWhole) {
    const HWND box = get(varInt);
    for (const auto& [pasted, refused] : {std::pair{32767, true}, {32766, false}}) {
        SetWindowTextW(box, L"12");
        SendMessageW(box, EM_SETSEL, 1, 2);
        SetClipboardText(std::wstring(std::size_t(pasted), L'7'));
        SendMessageW(box, WM_PASTE, 0, 0);
        Pump();
        const std::string told = "Runetally: The text pasted into \"Inteligence\" would make it "
                                 "longer than 32767 characters, so it was not pasted. (1)";
        EXPECT_EQ(boxes.take(), refused ? std::vector{told} : std::vector<std::string>{});
        EXPECT_EQ(GetWindowTextLengthW(box), refused ? 2 : 32767) << pasted;
    }
}

TEST_F(Win32frmMain, CalculateShowsTheDamageOfTheSelectedSpell) {
    for (const auto& [spell, damage] : {std::pair{"Avalanche", "157.5"},
                                        {"Inferno", "139.5"},
                                        {"Electric Shield", "10"},
                                        {"Turn Undead", "16.6284403669725"}}) {
        select(spell);
        SendMessageW(get(cmdCalculate), BM_CLICK, 0, 0);
        EXPECT_EQ(Text(get(dmg)), damage) << spell;
    }
}

TEST_F(Win32frmMain, AFailureIsToldInAnApplicationModalBoxAndChangesNothing) {
    select("Avalanche");
    SetWindowTextW(get(varInt), L"abc");
    const auto before = boxTexts();
    SetFocus(get(cmdCalculate));
    Press(VK_RETURN);
    EXPECT_EQ(boxes.take(), std::vector<std::string>{
                                "Runetally: The text in \"Inteligence\" is not a number. (1)"});
    EXPECT_EQ(boxTexts(), before);
    EXPECT_EQ(SendMessageW(get(listSpells), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetFocus(), get(cmdCalculate));
    EXPECT_TRUE(IsWindowEnabled(frame->handle())) << "the box gives the window back";
}

TEST_F(Win32frmMain, MenuItemsResetHelpAndExit) {
    SendMessageW(frame->handle(), WM_COMMAND, FormWindow::CommandId(mnuReset), 0);
    for (const auto& [box, text] : boxTexts()) {
        EXPECT_EQ(text, "0") << box;
    }
    SetFocus(get(powerFire));
    PostMessageW(frame->handle(), WM_COMMAND, FormWindow::CommandId(mnuHelpme), 0);
    Pump();
    EXPECT_EQ(boxes.take(), std::vector<std::string>{
                                "Runetally: Sorry, but this feature is not implemented yet (1)"});
    EXPECT_EQ(GetFocus(), get(powerFire)) << "the focus goes back where it was";
    EXPECT_FALSE(quitPosted);
    PostMessageW(frame->handle(), WM_COMMAND, FormWindow::CommandId(mnuExit), 0);
    Pump();
    EXPECT_EQ(MainForm().loaded(), nullptr);
    EXPECT_TRUE(quitPosted) << "the last window ends the program";
}

// MinGW-w64 10's libuuid holds a wrong IID_IAccessible.
constexpr GUID kIAccessible{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A screen reader names a box after the static text right before it; Wine's oleacc does too.
TEST_F(Win32frmMain, ScreenReadersHearEachStopByItsCaption) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (ControlId stop : MainWindowDescription().focusOrder) {
        const std::string caption(
            AccessibleName(MainWindowDescription(), MainWindowDescription().widget(stop)));
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(frame->control(stop), DWORD(OBJID_CLIENT),
                                             kIAccessible, reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        EXPECT_EQ(Narrow(name != nullptr ? name : L""), caption) << caption;
        SysFreeString(name);
        accessible->Release();
    }
    CoUninitialize();
}

} // namespace
