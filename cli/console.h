#pragma once

#include "tablecommand.h"

#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// The arguments the program was started with, the program first, as UTF-8.
std::vector<std::string> CommandArguments(int argc, char* argv[]);

// Makes a write to a pipe whose reader has gone fail like any other write, so that the program
// finishes what it does before it ends.
void ReportBrokenPipes();

// Ends the program as other tools end when the reader of their output has gone
// (runetally-table | head): without a word, by SIGPIPE, which a shell tells as status 141; where
// there are no signals, with status 141.
[[noreturn]] void EndForGoneReader();

// Stdout as the command writes to it while the table is made. A write that fails is remembered
// with its reason, and no more is asked for.
class Stdout {
public:
    // False once a write has failed: the command stops writing.
    bool write(std::string_view text);
    // Flushes and closes stdout if anything was written; false when a write failed.
    bool finish();
    int error() const { return error_; }

private:
    bool written_ = false;
    int error_ = 0;
};

// Finishes what the command printed and gives the program's exit status. A table that could not
// be written all the way is reported on stderr and ends with status 1, whatever the command said;
// unless its reader has gone, which ends the program quietly (EndForGoneReader).
int Print(const CommandResult& result, Stdout& out);

} // namespace runetally
