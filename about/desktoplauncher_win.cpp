// The launcher on Windows: System Information where the registry names it.
#include "desktoplauncher.h"
#include "registryvalue.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <system_error>
#include <vector>

namespace runetally {

namespace {

std::system_error SystemError(DWORD error, const std::string& what) {
    return std::system_error(static_cast<int>(error), std::system_category(), what);
}

// A machine-wide value as text, or nothing when its key cannot be opened or the value cannot
// be read, one of more than 1024 bytes included. Throws for a value with no data.
std::optional<std::string> ReadValue(const char* keyName, const char* valueName) {
    HKEY key = nullptr;
    // Read rights only: most users may not write to machine-wide keys, and asking for more
    // would fail for them.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    constexpr DWORD kBufferSize = 1024;
    std::array<char, kBufferSize> buffer{};
    DWORD type = 0;
    DWORD size = kBufferSize;
    const LONG result = RegQueryValueExA(key, valueName, nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size > kBufferSize) {
        return std::nullopt;
    }
    return RegistryValueText(type, std::string_view(buffer.data(), size));
}

// True when path matches an ordinary file: not hidden, not a system file, not a directory.
// Throws when the path cannot be searched at all.
bool IsOrdinaryFile(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_NO_MORE_FILES) {
            return false;
        }
        throw SystemError(error, "cannot search for " + path);
    }
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    bool ordinary = false;
    do {
        ordinary = (found.dwFileAttributes & kNotOrdinary) == 0;
    } while (!ordinary && FindNextFileA(search, &found));
    FindClose(search);
    return ordinary;
}

} // namespace

std::optional<std::string> DesktopLauncher::findTool() {
    // The tool's own path wins, and is started as it stands: a wrong one shows when it fails
    // to start.
    if (std::optional<std::string> path =
            ReadValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH")) {
        return path;
    }
    const std::optional<std::string> folder =
        ReadValue("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
    if (!folder) {
        return std::nullopt;
    }
    // Joined as it stands: a folder that ends in a backslash gives a doubled one.
    std::string tool = *folder + "\\MSINFO32.EXE";
    if (!IsOrdinaryFile(tool)) {
        return std::nullopt;
    }
    return tool;
}

void DesktopLauncher::start(const std::string& program) {
    if (program.empty()) {
        throw SystemError(ERROR_FILE_NOT_FOUND, "no program to start");
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};

    // The path is the application name, so "C:\Program Files\..." is never cut at its space;
    // quoted, it is also the program's own first argument.
    const std::string quoted = "\"" + program + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        throw SystemError(GetLastError(), "cannot start " + program);
    }
    // The tool runs on its own: nothing here waits for it or keeps its handles.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace runetally
