#include "console.h"

#include <csignal>
#include <cstdlib>

namespace runetally {

std::vector<std::string> CommandArguments(int argc, char* argv[]) {
    return {argv, argv + argc};
}

void ReportBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN); // the write then fails with EPIPE
}

void EndForGoneReader() {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    std::_Exit(128 + SIGPIPE); // only if the signal is blocked
}

} // namespace runetally
