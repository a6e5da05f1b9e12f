#include "console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace runetally {

bool Stdout::write(std::string_view text) {
    if (error_ != 0) {
        return false;
    }
    written_ = true;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        error_ = errno != 0 ? errno : EIO;
    }
    return error_ == 0;
}

bool Stdout::finish() {
    if (!written_ || error_ != 0) {
        return error_ == 0;
    }
    // A full disk, a closed stdout or a gone reader must not pass for a printed table.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::fclose(stdout) != 0) {
        error_ = errno != 0 ? errno : EIO;
    }
    return error_ == 0;
}

int Print(const CommandResult& result, Stdout& out) {
    if (!result.out.empty()) {
        out.write(result.out);
    }
    if (!out.finish()) {
        if (out.error() == EPIPE) {
            EndForGoneReader(); // it wanted no more
        }
        std::fprintf(stderr, "runetally-table: cannot write the table: %s\n",
                     std::strerror(out.error()));
        return 1;
    }
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    return result.exitCode;
}

} // namespace runetally
