#include "filestore.h"
#include "widetext.h"

#include <windows.h>

#include <string>

namespace runetally {
namespace {

// The system's own words for the error, on one line.
std::string Reason(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(error) : Narrow(text);
}

struct Handle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
};

std::size_t LastSlash(const std::string& path) {
    return path.find_last_of("/\\");
}

} // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = LastSlash(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsGone(const std::string& path) {
    if (::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

ReadBytes ReadAtMost(const std::string& path, std::size_t limit) {
    ReadBytes out;
    Handle file{::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        out.reason = Reason(::GetLastError());
        return out;
    }
    // A pipe (\\.\pipe\...) or a device (CON, COM1) may never end a read. A folder fails to open
    // above, with the system's words; one opened all the same is no file either.
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(file.handle) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file.handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        out.reason = kNotARegularFile;
        return out;
    }
    out.bytes.resize(limit);
    std::size_t have = 0;
    while (have < limit) {
        DWORD got = 0;
        if (!::ReadFile(file.handle, out.bytes.data() + have, DWORD(limit - have), &got, nullptr)) {
            out.reason = Reason(::GetLastError());
            out.bytes.clear();
            return out;
        }
        if (got == 0) {
            break;
        }
        have += got;
    }
    out.bytes.resize(have);
    out.ok = true;
    return out;
}

std::string ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::wstring target = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Reason(ERROR_ACCESS_DENIED);
    }
    // A name of its own beside the file: the process and a counter keep two saves apart.
    static LONG counter = 0;
    const std::wstring temporary = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(::InterlockedIncrement(&counter)) + L".tmp";
    Handle file{::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        return Reason(::GetLastError());
    }
    const auto fail = [&](DWORD error) {
        ::CloseHandle(file.handle);
        file.handle = INVALID_HANDLE_VALUE;
        ::DeleteFileW(temporary.c_str());
        return Reason(error);
    };
    DWORD written = 0;
    if (!::WriteFile(file.handle, bytes.data(), DWORD(bytes.size()), &written, nullptr)) {
        return fail(::GetLastError());
    }
    if (written != bytes.size()) {
        return fail(ERROR_DISK_FULL);
    }
    if (!::FlushFileBuffers(file.handle)) {
        return fail(::GetLastError());
    }
    ::CloseHandle(file.handle);
    file.handle = INVALID_HANDLE_VALUE;
    if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        return Reason(error);
    }
    return {};
}

} // namespace runetally
