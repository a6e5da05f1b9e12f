#pragma once

#include <QProcessEnvironment>
#include <QStringList>

#include <string>

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

    // `arguments` as QCoreApplication gives them, the program first. Nothing is printed here,
    // so that the whole run can be checked without a process.
    static CommandResult Run(const QStringList& arguments, char decimalSeparator);

    // The decimal separator of the locale named by LC_ALL, else LC_NUMERIC, else LANG. The name
    // is looked up in Qt's own locale data, so it does not matter whether the C library has that
    // locale generated. A separator that is not a single ASCII character becomes '.'.
    static char DecimalSeparator(const QProcessEnvironment& environment);
};

} // namespace runetally
