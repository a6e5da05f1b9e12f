#include "console.h"

#include <csignal>

namespace runetally {

std::vector<std::string> CommandArguments(int argc, char* argv[]) {
    return {argv, argv + argc};
}

void ReportBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN); // the write then fails with EPIPE
}

} // namespace runetally
