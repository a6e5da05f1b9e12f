#include "console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace runetally {

int Print(const CommandResult& result) {
    if (!result.out.empty()) {
        errno = 0;
        // A full disk, a closed stdout or a gone reader must not pass for a printed table.
        const bool written =
            std::fwrite(result.out.data(), 1, result.out.size(), stdout) == result.out.size() &&
            std::fflush(stdout) == 0 && std::fclose(stdout) == 0;
        if (!written) {
            const int error = errno != 0 ? errno : EIO;
            std::fprintf(stderr, "runetally-table: cannot write the table: %s\n",
                         std::strerror(error));
            return 1;
        }
    }
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    return result.exitCode;
}

} // namespace runetally
