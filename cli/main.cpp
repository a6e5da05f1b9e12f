#include "console.h"
#include "localeseparator.h"
#include "tablecommand.h"

#include <clocale>

// Prints the damage table; everything but the printing happens in TableCommand.
int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, ""); // the user's decimal separator, named by LC_ALL, LC_NUMERIC, LANG
    runetally::ReportBrokenPipes();
    const auto arguments = runetally::CommandArguments(argc, argv);
    return runetally::Print(
        runetally::TableCommand::Run(arguments, runetally::UserDecimalSeparator()));
}
