// Stands in for the system-information tool in the Windows launcher tests. Started, it reports
// how in "<its own path>.ran": its module path, its arguments one a line and the window style
// it was asked for. While "<its own path>.hold" exists it waits (10 s at
// most) before writing, so that a test can see its starter return without waiting for it.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    char module[4 * MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module) {
        return 1;
    }
    const std::string self(module, length);

    for (int i = 0;
         i < 200 && GetFileAttributesA((self + ".hold").c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(50);
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    std::string report = "module " + self + "\n";
    for (int i = 0; i < argc; ++i) {
        report += "argument " + std::string(argv[i]) + "\n";
    }
    report += "window style " +
              ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? std::to_string(startup.wShowWindow)
                                                             : std::string("none")) +
              "\n";

    // Written aside and renamed, so that the report appears whole or not at all.
    const std::string partial = self + ".part";
    const HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != report.size() ||
        !MoveFileExA(partial.c_str(), (self + ".ran").c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return 1;
    }
    return 0;
}
