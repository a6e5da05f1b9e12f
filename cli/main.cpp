#include "console.h"
#include "localeseparator.h"
#include "tablecommand.h"

#include <clocale>

// Prints the damage table; everything but the printing happens in TableCommand.
int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, ""); // the user's decimal separator, named by LC_ALL, LC_NUMERIC, LANG
    runetally::ReportBrokenPipes();
    const auto arguments = runetally::CommandArguments(argc, argv);
    runetally::Stdout out;
    const runetally::CommandResult result =
        runetally::TableCommand::Run(arguments, runetally::UserDecimalSeparator(),
                                     [&out](std::string_view text) { return out.write(text); });
    return runetally::Print(result, out);
}
