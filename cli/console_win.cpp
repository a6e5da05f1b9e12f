#include "console.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

namespace runetally {

// main() receives the arguments in the ANSI code page; the command line itself is UTF-16.
std::vector<std::string> CommandArguments(int /*argc*/, char* /*argv*/[]) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(bytes > 0 ? bytes - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), bytes, nullptr, nullptr);
        arguments.push_back(std::move(argument));
    }
    LocalFree(wide);
    return arguments;
}

// Windows has no SIGPIPE: a write to a pipe without a reader already fails.
void ReportBrokenPipes() {}

// The status a POSIX shell gives a program ended by SIGPIPE.
void EndForGoneReader() {
    std::_Exit(141);
}

} // namespace runetally
