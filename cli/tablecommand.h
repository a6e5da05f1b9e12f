#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// What one run of the command writes and how it ends.
struct CommandResult {
    int exitCode = 0;
    std::string out; // for stdout
    std::string err; // for stderr
};

// The runetally-table command: reads its arguments, prints the damage report, help or version.
class TableCommand {
public:
    static constexpr int kUsageError = 2;

    // `arguments` as the program was started with them, the program first, as UTF-8. What is for
    // stdout goes to `out` as it is made, so that a long table is never held whole; the result's
    // own `out` stays empty. Nothing is printed here.
    static CommandResult Run(const std::vector<std::string>& arguments, char decimalSeparator,
                             const std::function<bool(std::string_view)>& out);
    // The same with what is for stdout kept in the result, so that the whole run can be checked
    // without a process.
    static CommandResult Run(const std::vector<std::string>& arguments, char decimalSeparator);
};

} // namespace runetally
