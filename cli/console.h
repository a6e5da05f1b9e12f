#pragma once

#include "tablecommand.h"

#include <string>
#include <vector>

namespace runetally {

// The arguments the program was started with, the program first, as UTF-8.
std::vector<std::string> CommandArguments(int argc, char* argv[]);

// Makes a write to a pipe whose reader has gone fail like any other write, so that it is
// reported, instead of ending the program without a word.
void ReportBrokenPipes();

// Writes what the command printed and gives the program's exit status. A table that could not be
// written all the way is reported on stderr and ends with status 1, whatever the command said.
int Print(const CommandResult& result);

} // namespace runetally
