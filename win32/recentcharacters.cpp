#include "recentcharacters.h"

#include "widetext.h"

#include <windows.h>

namespace runetally::win32 {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Runetally";

std::wstring RecentValue(std::size_t place) {
    return L"Recent" + std::to_wstring(place + 1);
}

} // namespace

std::vector<std::string> ReadRecentCharacters() {
    std::vector<std::string> paths;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return paths;
    }
    // The list ends at the first value that is not there or holds no path.
    for (std::size_t place = 0;; ++place) {
        const std::wstring name = RecentValue(place);
        DWORD bytes = 0;
        if (RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring path(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
        if (RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, path.data(), &bytes) !=
            ERROR_SUCCESS) {
            break;
        }
        path.resize(path.find(L'\0'));
        if (path.empty()) {
            break;
        }
        paths.push_back(Narrow(path));
    }
    RegCloseKey(key);
    return paths;
}

void KeepRecentCharacters(std::span<const std::string> paths) {
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

} // namespace runetally::win32
