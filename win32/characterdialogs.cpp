#include "characterdialogs.h"

#include "systemdll.h"
#include "widetext.h"

#include <commdlg.h>

#include <utility>

namespace runetally::win32 {
namespace {

CharacterDialogStandIn standIn;

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

} // namespace

std::optional<std::string> ChooseCharacterToOpen(HWND owner) {
    return Choose(owner, false, {});
}

std::optional<std::string> ChooseCharacterToSave(HWND owner, std::string_view suggestedName) {
    return Choose(owner, true, suggestedName);
}

void StandInForCharacterDialogs(CharacterDialogStandIn replacement) {
    standIn = std::move(replacement);
}

} // namespace runetally::win32
