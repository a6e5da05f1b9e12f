#include "tablecommand.h"

#include "characterfile.h"
#include "inputnames.h"
#include "localeseparator.h"
#include "plancommand.h"
#include "plantable.h"
#include "spellnames.h"
#include "spellorder.h"
#include "spellreport.h"
#include "spelltable.h"
#include "terminaltext.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace runetally {
namespace {

constexpr char kProgram[] = "runetally-table";

// Every text of a usage message goes through TerminalText, CLI11's own messages too: what was
// typed may hold anything, but the message stays one line that cannot upset the terminal.
CommandResult UsageError(std::string_view message) {
    return {TableCommand::kUsageError, {}, kProgram + (": " + TerminalText(message)) + '\n'};
}

// The name of an option that is not known, as the player will recognise it: "--name=value" is
// option "name"; "-xyz" is "x", which was not known, followed by more letters.
std::string_view UnknownName(std::string_view argument) {
    if (argument.starts_with("--")) {
        argument.remove_prefix(2);
        return argument.substr(0, argument.find('='));
    }
    if (argument.size() < 2 || argument.front() != '-') {
        return argument;
    }
    argument.remove_prefix(1);
    const auto lead = static_cast<unsigned char>(argument.front());
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return argument.substr(0, length);
}

// Help starts with the usage line, as a command's help does.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        std::string help =
            "Usage: " + name + " [options]\n" + make_description(app) + make_groups(app, mode);
        while (help.ends_with("\n\n")) {
            help.pop_back(); // CLI11 closes each group with an empty line
        }
        return help;
    }
};

bool TakesValue(const CLI::Option& option) {
    return option.get_items_expected_max() > 0;
}

// The arguments in the form in which CLI11 reads them as they are meant here, or why they cannot
// be. CLI11 reads "--int=" as "--int" followed by the next argument, but the empty value after
// '=' is what was given, so it becomes an argument of its own. A flag given a value is refused
// while the argument is still whole (CLI11 would take "--sort=true" for "--sort"), and so is an
// option without its value, in words the player knows. A value is never looked into:
// "--spell --sort=x" asks for the spell "--sort=x".
struct Cli11Arguments {
    std::vector<std::string> arguments; // in CLI11's order: the last one first
    std::string error;
    std::vector<std::string> sortColumns; // --sort's values, which CLI11 sees as a flag
};

Cli11Arguments ForCli11(const std::vector<std::string>& arguments, const CLI::App& app) {
    Cli11Arguments out;
    out.arguments.reserve(arguments.size());
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            out.arguments.insert(out.arguments.end(), arguments.begin() + std::ptrdiff_t(i),
                                 arguments.end());
            break;
        }
        const std::size_t equals = argument.find('=');
        const CLI::Option* option = argument.starts_with("--")
                                        ? app.get_option_no_throw(argument.substr(0, equals))
                                        : nullptr;
        if (option != nullptr && argument.substr(0, equals) == "--sort") {
            // --sort alone, --sort=COLUMN, or --sort and a column's name: today's flag, or more.
            out.arguments.emplace_back("--sort");
            if (equals != std::string::npos) {
                out.sortColumns.push_back(argument.substr(equals + 1));
            } else if (i + 1 < arguments.size() && FindOrderColumn(arguments[i + 1])) {
                out.sortColumns.push_back(arguments[++i]);
            }
        } else if (option == nullptr) {
            out.arguments.push_back(argument);
        } else if (!TakesValue(*option)) {
            if (equals != std::string::npos) {
                out.error = "Unexpected value after '" + argument.substr(0, equals) + "'.";
                return out;
            }
            out.arguments.push_back(argument);
        } else if (equals == argument.size() - 1) {
            out.arguments.push_back(argument.substr(0, equals));
            out.arguments.emplace_back();
        } else if (equals != std::string::npos) {
            out.arguments.push_back(argument);
        } else if (i + 1 < arguments.size()) {
            out.arguments.push_back(argument);
            out.arguments.push_back(arguments[++i]); // whatever it looks like
        } else {
            out.error = "Missing value after '" + argument + "'.";
            return out;
        }
    }
    std::reverse(out.arguments.begin(), out.arguments.end());
    return out;
}

// What the command writes and how it ends, what is for stdout going to `out`.
CommandResult Answer(const std::vector<std::string>& arguments, char decimalSeparator,
                     const TableSink& out) {
    CLI::App app(std::string("Prints the damage of every spell for one character and target.\n"
                             "A spell without damage shows why: BadInput names the input that is "
                             "not\na number, ArithmeticFault the fault. Numbers are read and "
                             "written with\nthe decimal separator of ") +
                     DecimalSeparatorSource() +
                     ".\nEvery gain and difference is the exact difference of the two damages "
                     "as\nwritten (15 significant digits each), rounded to 15 significant "
                     "digits;\npercent and difference_percent are that over the first damage "
                     "as\nwritten, x 100, to 15 significant digits.",
                 kProgram);
    app.formatter(std::make_shared<HelpFormatter>());
    app.get_formatter()->column_width(21);
    // Help, version and errors are told apart here, in the order a player needs them.
    app.set_help_flag();
    app.allow_extras();
    // Descriptions are set apart: CLI11 would take a text in their place for a variable to fill.
    const auto flag = [&](const char* names, const std::string& description) {
        return app.add_flag(names)->description(description);
    };
    const auto option = [&](const std::string& name, const std::string& description,
                            const char* placeholder) {
        return app.add_option("--" + name)
            ->description(description)
            ->option_text(placeholder)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    };
    const CLI::Option* help = flag("-h,--help", "Show this help and exit.");
    const CLI::Option* version = flag("-v,--version", "Show the version and exit.");
    const CLI::Option* spell =
        option("spell",
               "Only this spell, its name in any case; repeat for more. Rows keep the\n"
               "spell table's order.",
               "<name>");
    const CLI::Option* format =
        option("format", "Output: text (default), csv or json.", "<format>");
    const CLI::Option* sort =
        flag("--sort", "Highest damage first; spells without damage last, otherwise in their\n"
                       "order. With a column (spell, element, damage, percent_of_best,\n"
                       "gain, percent, to_best, damage_b, difference or difference_percent):\n"
                       "by that column, highest or Z first, rows without it last; as the\n"
                       "planner's table sorted by that column.")
            ->option_text("[<column>]");
    const CLI::Option* ascending =
        flag("--ascending", "With --sort: lowest or A first; rows without the column still last.");
    // CLI11 does not wrap descriptions: long ones are broken by hand.
    const CLI::Option* gain =
        option("gain",
               "What one point more of this input (level, int, wis, resist, light,\n"
               "earth, fire, air, water or dark) adds to each spell's damage, and in\n"
               "percent; and to_best: how many points more make the spell the\n"
               "strongest of all 41 (0 if it is already, never if not within a million).",
               "<input>");
    const CLI::Option* step = option(
        "step", "With --gain or --values: raise the input by this much instead of 1.", "<n>");
    const CLI::Option* values =
        flag("--values", "For the one --spell: what one point more of each input adds to it;\n"
                         "with --sort, the largest gain first.");
    const CLI::Option* sweep =
        option("sweep",
               "Each spell's damage as one input goes from FROM to TO by STEP,\n"
               "e.g. --sweep int=100:200:10: at FROM + k x STEP for k = 0, 1, ... up\n"
               "to the last not past TO, allowing for a rounded decimal STEP; one\n"
               "that close to TO is TO itself (0:0.3:0.1 ends at 0.3). At most 10001\n"
               "values.",
               "<input=from:to:step>");
    const CLI::Option* character =
        option("character",
               "Take the inputs and the spell from this character file (.rtchar);\n"
               "inputs given as options are used instead of the file's.",
               "<file>");
    const CLI::Option* compare =
        option("compare",
               "Add B's damage for each spell from this character file, the\n"
               "difference B - A and the difference in percent of A; with --gain,\n"
               "beside the gains, as the planner's table while it compares.",
               "<file>");
    std::array<const CLI::Option*, kFieldCount> inputs{};
    for (std::size_t i = 0; i < InputNames.size(); ++i) {
        const InputName& input = InputNames[i];
        inputs[i] = option(std::string(input.name),
                           std::string(input.description) + " (default " +
                               std::string(StartText(input.field)) + ").",
                           "<n>");
    }
    // Whatever is no option: after "--", or where no option takes it as its value.
    const CLI::Option* positional =
        app.add_option("arguments")->expected(-1)->allow_extra_args()->group("");

    Cli11Arguments prepared = ForCli11(arguments, app);
    if (!prepared.error.empty()) {
        return UsageError(prepared.error);
    }
    try {
        app.parse(prepared.arguments);
    } catch (const CLI::ParseError& error) {
        return UsageError(error.what());
    }
    for (const std::string& extra : app.remaining()) {
        if (extra != "--") { // the end of the options, left over by CLI11
            return UsageError("Unknown option " + Quoted(UnknownName(extra)) + ".");
        }
    }
    if (help->count() > 0) {
        return {0, app.help(), {}};
    }
    if (version->count() > 0) {
        return {0, std::string(kProgram) + " " RUNETALLY_VERSION_TEXT "\n", {}};
    }
    if (positional->count() > 0) {
        return UsageError("unexpected argument " + Quoted(positional->results().front()));
    }

    // Two values for one input would leave the player guessing which one was used.
    for (const CLI::Option* given : app.parse_order()) {
        if (given != spell && TakesValue(*given) && given->count() > 1) {
            return UsageError(given->get_name() + " is given more than once");
        }
    }

    // A file that cannot be read is told as the window tells it.
    auto open = [&](const CLI::Option* file) {
        return OpenCharacter(file->results().front(), decimalSeparator);
    };
    std::optional<Character> fromFile;
    if (character->count() > 0) {
        auto opened = open(character);
        if (const auto* message = std::get_if<std::string>(&opened)) {
            return UsageError(*message);
        }
        fromFile = std::get<Character>(std::move(opened));
    }

    ReportOptions options;
    options.decimalSeparator = decimalSeparator;
    for (std::size_t i = 0; i < InputNames.size(); ++i) {
        // Passed on exactly as given: the calculation decides what is a number.
        const Field field = InputNames[i].field;
        options.inputs.text(field) = inputs[i]->count() > 0 ? inputs[i]->results().front()
                                     : fromFile             ? fromFile->text(field)
                                                            : std::string(StartText(field));
    }
    std::vector<std::string> spellNames = spell->results();
    if (fromFile && !fromFile->spellName.empty()) {
        spellNames.push_back(fromFile->spellName);
    }
    for (const std::string& name : spellNames) {
        const SpellFormula* found = FindSpellAnyCase(name);
        if (!found) {
            return UsageError(UnknownSpellMessage(name, Quoted));
        }
        options.spells.emplace_back(found->name); // as the table writes it
    }

    const std::string formatName = format->count() > 0 ? format->results().front() : "text";
    ReportFormat reportFormat = ReportFormat::Text;
    if (formatName == "csv") {
        reportFormat = ReportFormat::Csv;
    } else if (formatName == "json") {
        reportFormat = ReportFormat::Json;
    } else if (formatName != "text") {
        return UsageError("unknown format " + Quoted(formatName) + " (use text, csv or json)");
    }

    PlanRequest plan;
    plan.inputs = options.inputs;
    plan.spells = options.spells;
    plan.decimalSeparator = decimalSeparator;
    plan.sortByDamage = options.sortByDamage;
    plan.format = reportFormat;
    auto given = [](const CLI::Option* option) {
        return option->count() > 0 ? std::optional(option->results().front()) : std::nullopt;
    };
    plan.gain = given(gain);
    plan.step = given(step);
    plan.values = values->count() > 0;
    plan.sweep = given(sweep);

    // --sort COLUMN: a column that the table asked for has.
    std::optional<OrderColumn> column;
    for (const std::string& name : prepared.sortColumns) {
        const std::optional<OrderColumn> named = FindOrderColumn(name);
        if (!named) {
            std::string names;
            for (std::string_view known : kOrderColumnNames) {
                names += (names.empty()                   ? ""
                          : known == "difference_percent" ? " or "
                                                          : ", ") +
                         std::string(known);
            }
            return UsageError("unknown column " + Quoted(name) + " for --sort (use " + names + ")");
        }
        if (column && *column != *named) {
            return UsageError("--sort is given more than once");
        }
        column = named;
    }
    if (ascending->count() > 0 && sort->count() == 0) {
        return UsageError("--ascending needs --sort");
    }
    if (column && !plan.values && !plan.sweep) {
        const bool gainColumn = *column == OrderColumn::Gain || *column == OrderColumn::Percent ||
                                *column == OrderColumn::ToBest;
        if (gainColumn && !plan.gain) {
            return UsageError("--sort " + std::string(kOrderColumnNames[std::size_t(*column)]) +
                              " needs --gain");
        }
        if (*column >= OrderColumn::DamageB && compare->count() == 0) {
            return UsageError("--sort " + std::string(kOrderColumnNames[std::size_t(*column)]) +
                              " needs --compare");
        }
    }
    plan.sortColumn = column;
    plan.ascending = ascending->count() > 0;
    plan.sortByDamage = sort->count() > 0 && !column;

    std::optional<ParsedInputs> b;
    if (compare->count() > 0) {
        if (plan.values || plan.sweep) {
            return UsageError("--compare does not apply to --values or --sweep");
        }
        auto opened = open(compare);
        if (const auto* message = std::get_if<std::string>(&opened)) {
            return UsageError(*message);
        }
        b = ParseInputs(std::get<Character>(opened), decimalSeparator);
    }
    if (AsksToPlan(plan)) {
        plan.compared = b;
        if (const auto problem = RunPlan(plan, out)) {
            return UsageError(problem->message);
        }
        return {0, {}, {}};
    }

    // The damage table, and B's beside it: the spells in the order asked for.
    const ParsedInputs a = ParseInputs(options.inputs, decimalSeparator);
    if (sort->count() > 0) {
        std::vector<GainRow> rows;
        for (const SpellFormula& formula : SpellTable) {
            if (options.spells.empty() || std::find(options.spells.begin(), options.spells.end(),
                                                    formula.name) != options.spells.end()) {
                rows.emplace_back();
                rows.back().gain.spell = &formula;
                rows.back().gain.damage = EvaluateSpell(formula, a);
                if (b) {
                    rows.back().damageB = EvaluateSpell(formula, *b);
                    rows.back().change =
                        ChangeBetween(rows.back().gain.damage, *rows.back().damageB);
                }
            }
        }
        SetPercentOfBest(rows, a);
        options.spells.clear();
        for (std::size_t place :
             SortedOrder(rows, column.value_or(OrderColumn::Damage), !plan.ascending)) {
            options.spells.emplace_back(rows[place].gain.spell->name);
        }
        options.keepOrder = true;
        options.sortByDamage = false;
    }
    if (b) {
        std::vector<CompareRow> rows;
        const SpellReport report(options); // A's rows, in the order asked for
        for (const SpellRow& row : report.rows()) {
            const SpellFormula& formula = *FindSpell(row.spell);
            rows.push_back({&formula, EvaluateSpell(formula, a), EvaluateSpell(formula, *b)});
        }
        return {0, WriteCompareTable(rows, reportFormat, decimalSeparator), {}};
    }
    return {0, SpellReport(options).render(reportFormat), {}};
}

} // namespace

CommandResult TableCommand::Run(const std::vector<std::string>& arguments, char decimalSeparator) {
    std::string printed;
    CommandResult result = Run(arguments, decimalSeparator, [&](std::string_view piece) {
        printed += piece;
        return true;
    });
    result.out = std::move(printed);
    return result;
}

CommandResult TableCommand::Run(const std::vector<std::string>& arguments, char decimalSeparator,
                                const std::function<bool(std::string_view)>& out) {
    CommandResult result = Answer(arguments, decimalSeparator, out);
    if (!result.out.empty()) {
        out(result.out);
        result.out.clear();
    }
    return result;
}

} // namespace runetally
