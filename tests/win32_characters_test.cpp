#include "mainwindow.h"
#include "plannerwindow.h"
#include "program.h"
#include "reportlist.h"
#include "spelltable.h"
#include "systemplatform.h"
#include "win32testing.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>

using namespace runetally;
using namespace runetally::win32;
using namespace runetally::win32::testing;

namespace {

using enum MainControl;

constexpr wchar_t kSettings[] = L"Software\\Runetally";

std::wstring Recent1() {
    wchar_t path[MAX_PATH] = {};
    DWORD bytes = sizeof path;
    RegGetValueW(HKEY_CURRENT_USER, kSettings, L"Recent1", RRF_RT_REG_SZ, nullptr, path, &bytes);
    return path;
}

// A drop of one file, as the shell hands it to a window.
HDROP Drop(const std::wstring& file) {
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (file.size() + 2) * 2);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    file.copy(reinterpret_cast<wchar_t*>(drop + 1), file.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// The files are chosen in place of the dialogs, with a Windows path; the recent list starts empty.
class Win32Characters : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        chosen = folder + std::wstring(L"thalía.rtchar");
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
        StandInForCharacterDialogs([this](bool save, std::string_view suggested) {
            asked.push_back((save ? "save " : "open ") + std::string(suggested));
            return std::optional(Narrow(chosen));
        });
        frame = &MainForm().show();
        Pump();
    }
    void TearDown() override {
        PlannerForm().unload();
        MainForm().unload(); // Exit has asked already: closing asks nothing more
        Pump();
        EXPECT_TRUE(boxes.take().empty());
        StandInForCharacterDialogs(nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
        DeleteFileW(chosen.c_str());
    }

    HWND get(MainControl id) const { return frame->control(id); }
    std::vector<std::string> fileMenu() const {
        const HMENU file = GetSubMenu(GetMenu(frame->handle()), 0);
        std::vector<std::string> items;
        for (int i = 0; i < GetMenuItemCount(file); ++i) {
            wchar_t item[MAX_PATH] = {};
            GetMenuStringW(file, UINT(i), item, MAX_PATH, MF_BYPOSITION);
            const bool line = GetMenuState(file, UINT(i), MF_BYPOSITION) & MF_SEPARATOR;
            items.push_back(line ? "----" : Narrow(item));
        }
        return items;
    }

    Application app; // the planner's list views
    MessageBoxes boxes;
    FormWindow* frame = nullptr;
    std::wstring chosen;
    std::vector<std::string> asked;
};

TEST_F(Win32Characters, SavedToAWindowsPathKeptInTheRegistryAndOpenedByADrop) {
    EXPECT_EQ(fileMenu(), (std::vector<std::string>{
                              "&Open Character...\tCtrl+O", "&Save Character\tCtrl+S",
                              "Save Character &As...\tCtrl+Shift+S", "----", "&Reset", "&Exit"}));
    SetWindowTextW(get(varInt), L"130");
    SendMessageW(get(listSpells), LB_SETCURSEL, 1, 0);
    SetFocus(get(varInt));
    Press('S', VK_CONTROL);
    EXPECT_EQ(asked, std::vector<std::string>{"save Untitled.rtchar"});
    EXPECT_NE(GetFileAttributesW(chosen.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Text(frame->handle()), "thalía - Velmoranth's Zelkor Runetally");
    EXPECT_EQ(Recent1(), chosen);
    Press('S', VK_CONTROL, VK_SHIFT);
    EXPECT_EQ(asked.back(), "save " + Narrow(chosen)) << "Save As asks again, offering the file";

    // A new window reads the list back; a drop of anything but one character does nothing.
    MainForm().unload();
    frame = &MainForm().show();
    Pump();
    EXPECT_EQ(fileMenu().at(3), "&1 thalía.rtchar") << "above the line";
    EXPECT_EQ(Text(frame->handle()), "Velmoranth's Zelkor Runetally");
    SendMessageW(frame->handle(), WM_DROPFILES, WPARAM(Drop(chosen + L".txt")), 0);
    EXPECT_EQ(Text(get(varInt)), "100");
    Press('P', VK_CONTROL);
    SendMessageW(frame->handle(), WM_DROPFILES, WPARAM(Drop(chosen)), 0);
    EXPECT_EQ(Text(get(varInt)), "130");
    EXPECT_EQ(SendMessageW(get(listSpells), LB_GETCURSEL, 0, 0), 1);
    const HWND planned = PlannerForm().loaded()->control(PlannerControl::lvwSpells);
    const std::wstring spell = Widen(SpellTable[1].name);
    LVFINDINFOW find{LVFI_STRING, spell.c_str(), 0, {}, 0};
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = int(SendMessageW(planned, LVM_FINDITEMW, WPARAM(-1), LPARAM(&find)));
    SendMessageW(planned, LVM_GETITEMW, 0, LPARAM(&row));
    EXPECT_NE(row.lParam, 0) << "the planner marks the spell opened with a note";
    EXPECT_EQ(Text(frame->handle()), "thalía - Velmoranth's Zelkor Runetally");

    // The close box asks about an edit; the box's OK stands for Cancel, and the window stays.
    SetWindowTextW(get(varWis), L"7");
    EXPECT_EQ(Text(frame->handle()), "*thalía - Velmoranth's Zelkor Runetally");
    PostMessageW(frame->handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(boxes.take(), std::vector<std::string>{"Runetally: Save changes to thalía? (3)"});
    EXPECT_EQ(MainForm().loaded(), frame);
}

TEST_F(Win32Characters, AGoneFileLeavesTheRegistryToo) {
    MainForm().unload();
    Pump(); // the quit it posts would close the box at once
    const std::wstring gone = chosen + L".gone.rtchar";
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, L"Recent1", REG_SZ, gone.c_str(),
                    DWORD(gone.size() + 1) * 2);
    frame = &MainForm().show();
    PostMessageW(frame->handle(), WM_COMMAND, FormWindow::CommandId(mnuRecent1), 0);
    Pump();
    EXPECT_EQ(boxes.take().size(), 1u) << "the file is gone";
    EXPECT_EQ(Recent1(), L"");
    EXPECT_EQ(fileMenu().size(), 6u) << "its item is gone";
}

// A file changed on disk since it was saved: Save asks, Yes or No; any other answer is No.
TEST_F(Win32Characters, SavingOverAFileChangedOnDiskAsksYesOrNo) {
    Press('S', VK_CONTROL);
    HANDLE file = CreateFileW(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "edited elsewhere", 16, &written, nullptr);
    CloseHandle(file);
    SetWindowTextW(get(varInt), L"131");
    Press('S', VK_CONTROL);
    EXPECT_EQ(boxes.take(),
              std::vector<std::string>{"Runetally: thalía.rtchar has changed on disk since it was "
                                       "opened. Replace it? (2)"});
    EXPECT_EQ(std::filesystem::file_size(chosen), 16u) << "No writes nothing";
}

TEST(Win32CommandLine, OneFileNamedAfterTheProgramIsOpened) {
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    const std::optional<std::string> none;
    for (const auto& [line, file] : {
             std::pair{L"runetally.exe", none},
             {LR"("C:\Program Files\Runetally\runetally.exe"   )", none},
             {LR"(runetally.exe C:\chars\thalia.rtchar)",
              std::optional(R"(C:\chars\thalia.rtchar)")},
             {LR"("C:\a b\runetally.exe" "C:\my chars\thalía.rtchar")",
              std::optional(R"(C:\my chars\thalía.rtchar)")},
             {L"runetally.exe thalia.rtchar", std::optional(Narrow(folder) + "\\thalia.rtchar")},
             {L"runetally.exe a.rtchar b.rtchar", none},
         }) {
        EXPECT_EQ(CommandLineFile(line), file) << Narrow(line);
    }
}

} // namespace
