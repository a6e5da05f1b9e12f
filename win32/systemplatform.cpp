#include "systemplatform.h"

#include "formwindow.h"
#include "program.h"
#include "systemdll.h"
#include "widetext.h"
#include "windowservices.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

namespace runetally::win32 {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Runetally";

CharacterDialogStandIn standIn;

// An application-modal message box with no icon and the application's title as caption; the
// focus goes back to where it was when it closes. Gives the button pressed (IDCANCEL when closed
// with Esc or its close box, where it has one).
int ShowMessage(std::string_view text, UINT buttons) {
    // No owner, yet modal to every window of the program (MB_TASKMODAL). When it closes, Windows
    // gives the keyboard to no control in particular: it goes back where it was.
    const HWND focus = GetFocus();
    const int pressed = MessageBoxW(nullptr, Widen(text).c_str(),
                                    Widen(BuildIdentity().title).c_str(), buttons | MB_TASKMODAL);
    if (focus != nullptr && IsWindow(focus)) {
        SetForegroundWindow(GetAncestor(focus, GA_ROOT));
        SetFocus(focus);
    }
    return pressed;
}

// The system's dialog that chooses a character file, modal to `owner`, offering only characters;
// a save asks before it replaces a file, and a name typed without an extension takes the
// characters' one. Nothing when the player cancels.
std::optional<std::string> Choose(HWND owner, bool save, std::string_view suggestedName) {
    if (standIn) {
        return standIn(save, suggestedName);
    }
    // comdlg32 is loaded when a dialog is first asked for, not with the program.
    using Dialog = decltype(GetOpenFileNameW);
    static Dialog* const open = SystemFunction<Dialog>(L"comdlg32.dll", "GetOpenFileNameW");
    static Dialog* const saveAs = SystemFunction<Dialog>(L"comdlg32.dll", "GetSaveFileNameW");
    Dialog* const dialog = save ? saveAs : open;
    if (dialog == nullptr) {
        return std::nullopt;
    }
    std::wstring file = Widen(suggestedName);
    file.resize(32768); // the longest path Windows takes
    OPENFILENAMEW chosen{};
    chosen.lStructSize = sizeof chosen;
    chosen.hwndOwner = owner;
    chosen.lpstrFilter = L"Runetally characters (*.rtchar)\0*.rtchar\0";
    chosen.lpstrFile = file.data();
    chosen.nMaxFile = static_cast<DWORD>(file.size());
    chosen.lpstrDefExt = L"rtchar";
    chosen.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN : OFN_FILEMUSTEXIST);
    if (!dialog(&chosen)) {
        return std::nullopt;
    }
    file.resize(file.find(L'\0'));
    return Narrow(file);
}

std::wstring RecentValue(std::size_t place) {
    return L"Recent" + std::to_wstring(place + 1);
}

// Whether anything follows the program's name, which comes first: in quotes, or up to a blank.
bool HasArguments(const wchar_t* line) {
    if (*line == L'"') {
        line = std::wcschr(line + 1, L'"');
        if (line == nullptr) {
            return false;
        }
        ++line;
    }
    line += std::wcscspn(line, L" \t");
    line += std::wcsspn(line, L" \t");
    return *line != L'\0';
}

std::wstring FullPath(const wchar_t* path) {
    std::wstring full(GetFullPathNameW(path, 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full.empty() ? path : full;
}

} // namespace

void SystemPlatform::showMessage(std::string_view text) {
    ShowMessage(text, MB_OK);
}

// Yes and No, with Cancel if it is offered; any other way of closing the box gives the last.
Answer SystemPlatform::ask(std::string_view question, std::span<const Answer> answers,
                           Answer byDefault) {
    const bool cancel = std::find(answers.begin(), answers.end(), Answer::Cancel) != answers.end();
    const auto place = std::find(answers.begin(), answers.end(), byDefault) - answers.begin();
    const UINT defaults[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};
    switch (ShowMessage(question, (cancel ? MB_YESNOCANCEL : MB_YESNO) |
                                      defaults[std::min<std::ptrdiff_t>(place, 2)])) {
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    default:
        return answers.back();
    }
}

std::optional<std::string> SystemPlatform::chooseFileToOpen() {
    return Choose(window_.handle(), false, {});
}

std::optional<std::string> SystemPlatform::chooseFileToSave(std::string_view suggested) {
    return Choose(window_.handle(), true, suggested);
}

// The list ends at the first value that is not there or holds no path.
std::vector<std::string> SystemPlatform::recentFiles() const {
    std::vector<std::string> paths;
    for (std::wstring path(32768, L'\0');; path.assign(32768, L'\0')) {
        auto bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
        if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, RecentValue(paths.size()).c_str(),
                         RRF_RT_REG_SZ, nullptr, path.data(), &bytes) != ERROR_SUCCESS ||
            path.front() == L'\0') {
            return paths;
        }
        paths.push_back(Narrow(path.c_str()));
    }
}

void SystemPlatform::keepRecentFiles(std::span<const std::string> paths) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (std::size_t place = 0; place < paths.size(); ++place) {
        const std::wstring path = Widen(paths[place]);
        RegSetValueExW(key, RecentValue(place).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }
    for (std::size_t place = paths.size();
         RegDeleteValueW(key, RecentValue(place).c_str()) == ERROR_SUCCESS; ++place) {
    }
    RegCloseKey(key);
}

void SystemPlatform::copyText(std::string_view text) {
    const std::wstring wide = Widen(text);
    if (!OpenClipboard(window_.handle())) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(data), wide.c_str(), bytes);
        GlobalUnlock(data);
        if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) {
            GlobalFree(data); // the clipboard owns it only once taken
        }
    }
    CloseClipboard();
}

void SystemPlatform::show(Window window) {
    Instance(window).show();
}

MainFollower* SystemPlatform::follower() {
    return Follower();
}

void StandInForCharacterDialogs(CharacterDialogStandIn replacement) {
    standIn = std::move(replacement);
}

// shell32 is loaded only when there is something to ask of it: most runs name no file.
std::optional<std::string> CommandLineFile(const wchar_t* commandLine) {
    if (!HasArguments(commandLine)) {
        return std::nullopt;
    }
    using Split = decltype(CommandLineToArgvW);
    static Split* const split = SystemFunction<Split>(L"shell32.dll", "CommandLineToArgvW");
    int count = 0;
    wchar_t** const arguments = split != nullptr ? split(commandLine, &count) : nullptr;
    std::optional<std::string> file;
    if (arguments != nullptr && count == 2 && *arguments[1] != L'\0') {
        file = Narrow(FullPath(arguments[1]));
    }
    LocalFree(arguments);
    return file;
}

std::optional<std::string> DroppedFile(HDROP drop) {
    using Query = decltype(DragQueryFileW);
    using Finish = decltype(DragFinish);
    static Query* const query = SystemFunction<Query>(L"shell32.dll", "DragQueryFileW");
    static Finish* const finish = SystemFunction<Finish>(L"shell32.dll", "DragFinish");
    if (query == nullptr || finish == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> file;
    if (query(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        std::wstring name(query(drop, 0, nullptr, 0) + 1, L'\0');
        name.resize(query(drop, 0, name.data(), static_cast<UINT>(name.size())));
        file = Narrow(name);
    }
    finish(drop);
    return file;
}

} // namespace runetally::win32
