#include "shellfiles.h"

#include "systemdll.h"
#include "widetext.h"

#include <cwchar>

namespace runetally::win32 {
namespace {

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
