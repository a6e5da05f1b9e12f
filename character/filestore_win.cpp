#include "filestore.h"
#include "widetext.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

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

// The path of the open file itself, at the end of any links to it.
std::optional<std::wstring> FinalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), DWORD(path.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

// Puts the open file in the place of `target`, replacing what is there.
bool RenameTo(HANDLE file, const std::wstring& target) {
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = DWORD(target.size() * sizeof(wchar_t));
    target.copy(rename->FileName, target.size());
    return ::SetFileInformationByHandle(file, FileRenameInfo, rename, DWORD(buffer.size()));
}

// The file's owner, group and permissions (its DACL, inherited entries marked as such), or
// nothing when they cannot be read.
std::vector<unsigned char> SecurityOf(HANDLE file) {
    constexpr SECURITY_INFORMATION kWhat =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    ::GetKernelObjectSecurity(file, kWhat, nullptr, 0, &size);
    std::vector<unsigned char> security(size);
    if (size == 0 || !::GetKernelObjectSecurity(file, kWhat, security.data(), size, &size)) {
        security.clear();
    }
    return security;
}

// Gives the new file the old one's permissions as they stand, and its owner and group where
// this user may: a DACL set as it is keeps every name the old file granted access to.
void KeepSecurity(HANDLE file, PSECURITY_DESCRIPTOR security) {
    for (const SECURITY_INFORMATION what :
         {OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
          GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, DACL_SECURITY_INFORMATION}) {
        if (::SetKernelObjectSecurity(file, what, security)) {
            return;
        }
    }
}

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
    // The file the path names, through links; a new file when there is none.
    std::wstring target = Widen(path);
    BY_HANDLE_FILE_INFORMATION info{};
    std::vector<unsigned char> security;
    {
        Handle old{::CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES | READ_CONTROL,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
        if (old.handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(old.handle, &info)) {
            // Replacing a read-only file would take its attribute away; a folder is no file.
            if (info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
                return Reason(ERROR_ACCESS_DENIED);
            }
            if (info.nNumberOfLinks > 1) {
                return HardLinksReason(info.nNumberOfLinks);
            }
            target = FinalPath(old.handle).value_or(target);
            security = SecurityOf(old.handle);
        }
    }
    const std::size_t slash = target.find_last_of(L"/\\");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    std::wstring temporary;
    Handle file;
    // A short name of its own: the process and a counter keep two saves apart.
    static LONG counter = 0;
    for (int tries = 0; file.handle == INVALID_HANDLE_VALUE; ++tries) {
        temporary = folder + L".rt" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(::InterlockedIncrement(&counter));
        file.handle =
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE | WRITE_DAC | WRITE_OWNER, 0,
                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.handle == INVALID_HANDLE_VALUE &&
            (::GetLastError() != ERROR_FILE_EXISTS || tries == 100)) {
            return Reason(::GetLastError());
        }
    }
    // Deleted and renamed through its handle, which may do both whatever permissions it takes.
    const auto fail = [&](DWORD error) {
        FILE_DISPOSITION_INFO drop{TRUE};
        ::SetFileInformationByHandle(file.handle, FileDispositionInfo, &drop, sizeof drop);
        return Reason(error);
    };
    if (!security.empty()) {
        KeepSecurity(file.handle, security.data());
    }
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
    // Hidden and the like stay as they were.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (basic.FileAttributes != 0) {
        ::SetFileInformationByHandle(file.handle, FileBasicInfo, &basic, sizeof basic);
    }
    if (!RenameTo(file.handle, target)) {
        return fail(::GetLastError());
    }
    // The rename reaches the disk with the file's record; if it cannot, the file is saved all
    // the same.
    ::FlushFileBuffers(file.handle);
    return {};
}

std::optional<FileStamp> FileStampOf(const std::string& path) {
    Handle file{::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    BY_HANDLE_FILE_INFORMATION info{};
    if (file.handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(file.handle, &info)) {
        return std::nullopt;
    }
    const auto join = [](DWORD high, DWORD low) { return std::uint64_t{high} << 32 | low; };
    return FileStamp{.device = info.dwVolumeSerialNumber,
                     .file = join(info.nFileIndexHigh, info.nFileIndexLow),
                     .size = join(info.nFileSizeHigh, info.nFileSizeLow),
                     .modified =
                         static_cast<std::int64_t>(join(info.ftLastWriteTime.dwHighDateTime,
                                                        info.ftLastWriteTime.dwLowDateTime)) *
                         100};
}

} // namespace runetally
