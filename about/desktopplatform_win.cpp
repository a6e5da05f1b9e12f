// The launcher's platform on Windows: the system's own registry, files and processes.
#include "desktopplatform.h"
#include "openkeys.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <system_error>
#include <utility>
#include <vector>

namespace runetally {

namespace {

// windows.h defines the predefined roots as their 32-bit values sign-extended to a handle.
HKEY PredefinedRoot(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
}

std::system_error SystemError(DWORD error, const std::string& what) {
    return std::system_error(static_cast<int>(error), std::system_category(), what);
}

} // namespace

struct DesktopPlatform::Impl {
    // The launcher's 32-bit handles stand for the system's pointer-sized ones.
    OpenKeys<HKEY> openKeys;

    HKEY Resolve(RegKey key) {
        if (IsPredefinedRoot(key)) {
            return PredefinedRoot(key);
        }
        const HKEY* opened = openKeys.find(key);
        return opened == nullptr ? nullptr : *opened;
    }
};

DesktopPlatform::DesktopPlatform(MessageSink showMessage)
    : impl_(std::make_unique<Impl>()), showMessage_(std::move(showMessage)) {}

DesktopPlatform::~DesktopPlatform() {
    for (const auto& [key, opened] : impl_->openKeys.entries()) {
        RegCloseKey(opened);
    }
}

std::int32_t DesktopPlatform::OpenKey(RegKey root, const std::string& keyName,
                                      std::uint32_t options, std::uint32_t access, RegKey& key) {
    key = 0;
    const HKEY parent = impl_->Resolve(root);
    if (parent == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(parent, keyName.c_str(), static_cast<DWORD>(options),
                                      static_cast<REGSAM>(access), &opened);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    key = impl_->openKeys.add(opened);
    return ERROR_SUCCESS;
}

std::int32_t DesktopPlatform::QueryValue(RegKey key, const std::string& valueName,
                                         std::uint32_t& type, unsigned char* data,
                                         std::uint32_t& dataSize) {
    const HKEY opened = impl_->Resolve(key);
    if (opened == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    DWORD valueType = 0;
    DWORD size = dataSize;
    const LONG result =
        RegQueryValueExA(opened, valueName.c_str(), nullptr, &valueType, data, &size);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        type = valueType;
        dataSize = size;
    }
    return result;
}

std::int32_t DesktopPlatform::CloseKey(RegKey key) {
    const HKEY* const found = impl_->openKeys.find(key);
    if (found == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const HKEY opened = *found;
    impl_->openKeys.erase(key);
    return RegCloseKey(opened);
}

std::string DesktopPlatform::FindFile(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_NO_MORE_FILES) {
            return {};
        }
        throw SystemError(error, "cannot search for " + path);
    }
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    std::string name;
    do {
        if ((found.dwFileAttributes & kNotOrdinary) == 0) {
            name = found.cFileName;
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return name;
}

void DesktopPlatform::StartProgram(const std::string& program, int windowStyle) {
    if (program.empty()) {
        throw SystemError(ERROR_FILE_NOT_FOUND, "no program to start");
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
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
