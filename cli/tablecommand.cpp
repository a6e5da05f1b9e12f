#include "tablecommand.h"

#include "localeseparator.h"
#include "spellreport.h"
#include "spelltable.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QLocale>

#include <array>

namespace runetally {
namespace {

constexpr char kProgram[] = "runetally-table";

// The command-line option of each input box, with the value used when it is not given.
struct InputOption {
    const char* name;
    Field field;
    const char* description;
};

constexpr std::array<InputOption, kFieldCount> kInputOptions{{
    {"level", Field::varLevel, "Character level"},
    {"int", Field::varInt, "Intelligence"},
    {"wis", Field::varWis, "Wisdom"},
    {"resist", Field::varResist, "Target's elemental resist"},
    {"light", Field::powerLight, "Power in Light"},
    {"earth", Field::powerEarth, "Power in Earth"},
    {"fire", Field::powerFire, "Power in Fire"},
    {"air", Field::powerAir, "Power in Air"},
    {"water", Field::powerWater, "Power in Water"},
    {"dark", Field::powerDark, "Power in Dark"},
}};

// Texts from the command line keep what was typed, but a usage message stays on one line.
CommandResult UsageError(const QString& message) {
    std::string line = std::string(kProgram) + ": " + message.toStdString();
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return {TableCommand::kUsageError, {}, line + '\n'};
}

// A name quoted in a usage message, cut short so that the message stays readable.
QString Quoted(const QString& text) {
    constexpr qsizetype kLongest = 40;
    return u'\'' + (text.size() > kLongest ? text.left(kLongest) + QStringLiteral("...") : text) +
           u'\'';
}

} // namespace

CommandResult TableCommand::Run(const QStringList& arguments, char decimalSeparator) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the damage of every spell for one character and target.\n"
                       "A spell without damage shows why: BadInput names the input that is not\n"
                       "a number, ArithmeticFault the fault. Numbers are read and written with\n"
                       "the decimal separator of the locale in LC_ALL, LC_NUMERIC or LANG."));
    const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
    const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
    const QCommandLineOption spell(
        "spell", "Only this spell; repeat for more. Rows keep the spell table's order.", "name");
    const QCommandLineOption format("format", "Output: text (default), csv or json.", "format",
                                    "text");
    const QCommandLineOption sort("sort",
                                  "Highest damage first; spells without damage last, otherwise "
                                  "in their order.");
    parser.addOptions({help, version, spell, format, sort});
    for (const InputOption& input : kInputOptions) {
        const QString start = QLatin1String(StartText(input.field).data());
        parser.addOption(QCommandLineOption(
            input.name, QStringLiteral("%1 (default %2).").arg(input.description, start), "n",
            start));
    }

    if (!parser.parse(arguments)) {
        return UsageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        return {0, parser.helpText().toStdString(), {}};
    }
    if (parser.isSet(version)) {
        return {0, std::string(kProgram) + " " RUNETALLY_VERSION_TEXT "\n", {}};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError(QStringLiteral("unexpected argument %1")
                              .arg(Quoted(parser.positionalArguments().first())));
    }

    // Two values for one input would leave the player guessing which one was used.
    for (const QString& name : parser.optionNames()) {
        if (name != QLatin1String("spell") && parser.values(name).size() > 1) {
            return UsageError(QStringLiteral("--%1 is given more than once").arg(name));
        }
    }

    ReportOptions options;
    options.decimalSeparator = decimalSeparator;
    options.sortByDamage = parser.isSet(sort);
    for (const InputOption& input : kInputOptions) {
        // Passed on exactly as given: the calculation decides what is a number.
        options.inputs.text(input.field) = parser.value(input.name).toUtf8().toStdString();
    }
    for (const QString& name : parser.values(spell)) {
        options.spells.push_back(name.toUtf8().toStdString());
        if (!FindSpell(options.spells.back())) {
            return UsageError(QStringLiteral("unknown spell %1").arg(Quoted(name)));
        }
    }

    const QString formatName = parser.value(format);
    ReportFormat reportFormat = ReportFormat::Text;
    if (formatName == "csv") {
        reportFormat = ReportFormat::Csv;
    } else if (formatName == "json") {
        reportFormat = ReportFormat::Json;
    } else if (formatName != "text") {
        return UsageError(
            QStringLiteral("unknown format %1 (use text, csv or json)").arg(Quoted(formatName)));
    }

    return {0, SpellReport(options).render(reportFormat), {}};
}

char TableCommand::DecimalSeparator(const QProcessEnvironment& environment) {
    QString name;
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        name = environment.value(QString::fromLatin1(variable));
        if (!name.isEmpty()) {
            break;
        }
    }
    // "de_DE.UTF-8@euro": neither the codeset nor the modifier changes how numbers look. An
    // empty or unknown name gives Qt's C locale, whose separator is '.'.
    return LocaleSeparator(QLocale(name.section('.', 0, 0).section('@', 0, 0)));
}

} // namespace runetally
