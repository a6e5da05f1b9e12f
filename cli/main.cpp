#include "tablecommand.h"

#include <QCoreApplication>

#include <cstdio>

// Prints the damage table; everything but the printing happens in TableCommand.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("runetally-table"));
    const runetally::CommandResult result = runetally::TableCommand::Run(
        QCoreApplication::arguments(),
        runetally::TableCommand::DecimalSeparator(QProcessEnvironment::systemEnvironment()));
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    // A full disk or a closed pipe must not pass for a printed table.
    if (std::fflush(stdout) != 0) {
        return 1;
    }
    return result.exitCode;
}
