// The fair floor for runetally.exe's start-up under Wine: the same main window, made by hand with
// no description, no commands and no logic: the same control classes, styles, places, fonts,
// texts, menus and spell list, with runetally.exe's manifest and common controls.
#include "spelltable.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace {

struct Control {
    const wchar_t* className;
    const wchar_t* text;
    int left, top, width, height; // twips, 15 to a pixel at 96 dpi
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kBox = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr Control kControls[] = {
    {L"STATIC", L"Wisdom", 120, 360, 615, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 360, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Inteligence", 120, 840, 1095, 375, kLabel, 0},
    {L"EDIT", L"100", 1560, 960, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Target Elemental Resist", 120, 1440, 855, 615, kLabel, 0},
    {L"EDIT", L"100", 1560, 1560, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Light Power", 120, 2520, 975, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 2520, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Earth Power", 120, 3000, 975, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 3000, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Fire Power", 120, 3480, 975, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 3480, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Air Power", 120, 3960, 975, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 3960, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Water Power", 120, 4440, 975, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 4440, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Dark Power", 120, 4920, 975, 255, kLabel, 0},
    {L"EDIT", L"100", 1560, 4920, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"STATIC", L"Level", 120, 5520, 1095, 255, kLabel, 0},
    {L"EDIT", L"99", 1560, 5520, 1695, 285, kBox, WS_EX_CLIENTEDGE},
    {L"BUTTON", L"Calculate The Damage", 5160, 360, 2895, 855, WS_TABSTOP, 0},
    {L"LISTBOX", L"", 3600, 1800, 3135, 2595,
     WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE},
    {L"STATIC", L"DAMAGE", 4800, 5280, 2535, 615, kLabel, 0},
    {L"EDIT", L"0", 4440, 5880, 3495, 735, kBox | ES_READONLY, WS_EX_CLIENTEDGE},
};
constexpr int kList = 21;
constexpr int kDamage = 22;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HMENU Menus() {
    const HMENU bar = CreateMenu();
    const HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1, L"&Open Character...\tCtrl+O");
    AppendMenuW(file, MF_STRING, 2, L"&Save Character\tCtrl+S");
    AppendMenuW(file, MF_STRING, 3, L"Save Character &As...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, 4, L"&Reset");
    AppendMenuW(file, MF_STRING, 5, L"&Exit");
    const HMENU tools = CreatePopupMenu();
    AppendMenuW(tools, MF_STRING, 6, L"Spell &Planner...\tCtrl+P");
    const HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, 7, L"&About");
    AppendMenuW(help, MF_STRING, 8, L"Help &Me");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"&Tools");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"FloorControls";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, 9330 / 15, 7140 / 15};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
    const HWND window = CreateWindowExW(
        WS_EX_APPWINDOW, L"FloorControls", L"Velmoranth's Zelkor Runetally",
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, Menus(), instance, nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT message = CreateFontIndirectW(&metrics.lfMessageFont);
    LOGFONTW big = metrics.lfMessageFont;
    big.lfHeight = -MulDiv(24, 96, 72);
    wcscpy(big.lfFaceName, L"Zelkor Beaulieux");
    const HFONT damage = CreateFontIndirectW(&big);
    int index = 0;
    for (const Control& c : kControls) {
        const HWND control = CreateWindowExW(
            c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | WS_GROUP | c.style, c.left / 15,
            c.top / 15, c.width / 15, c.height / 15, window, nullptr, instance, nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(index == kDamage ? damage : message), FALSE);
        if (index == kList) {
            for (const runetally::SpellFormula& spell : runetally::SpellTable) {
                const std::wstring name(spell.name.begin(), spell.name.end());
                SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            }
        }
        ++index;
    }
    ShowWindow(window, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
