#include "damage.h"
#include "spelltable.h"
#include "tablecommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace runetally;

namespace {

CommandResult RunTable(QStringList args, char separator = '.') {
    args.prepend("runetally-table");
    return TableCommand::Run(args, separator);
}

QJsonArray Json(const CommandResult& result) {
    QJsonParseError error{};
    const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out;
    return doc.array();
}

QStringList Names(const QJsonArray& rows) {
    QStringList names;
    for (const auto& row : rows) {
        names << row.toObject()["spell"].toString();
    }
    return names;
}

int TableIndex(const QString& name) {
    return static_cast<int>(FindSpell(name.toStdString()) - SpellTable.data());
}

// The inputs the command uses when none are given.
SpellInputs Defaults(std::string_view spell) {
    return {
        std::string(spell), "99", "100", "100", "100", "100", "100", "100", "100", "100", "100"};
}

TEST(SpellReport, JsonAtDefaultsAgreesWithTheCalculation) {
    const QJsonArray rows = Json(RunTable({"--format", "json"}));
    ASSERT_EQ(rows.size(), kSpellCount);
    for (int i = 0; i < kSpellCount; ++i) {
        const std::string text = CalculateDamage(Defaults(SpellTable[i].name)).text;
        const QJsonObject expected{{"spell", QString::fromUtf8(SpellTable[i].name)},
                                   {"outcome", "ShowText"},
                                   {"text", QString::fromStdString(text)}};
        EXPECT_EQ(rows[i].toObject(), expected) << i;
    }
    for (const auto& [spell, text] :
         std::vector<std::pair<QString, QString>>{{"Avalanche", "157.5"},
                                                  {"Turn Undead", "16.6284403669725"},
                                                  {"Flame Wave", "72.25"}}) {
        EXPECT_EQ(rows[TableIndex(spell)].toObject()["text"], text) << spell.toStdString();
    }
    // Keys in reading order, which QJsonObject alone would not keep.
    EXPECT_EQ(
        RunTable({"--format", "json", "--spell", "Avalanche"}).out,
        "[\n  {\"spell\": \"Avalanche\", \"outcome\": \"ShowText\", \"text\": \"157.5\"}\n]\n");
}

TEST(SpellReport, JsonNamesEveryOutcome) {
    struct Case {
        QStringList args;
        QString spell;
        QJsonObject expected; // besides the spell
    };
    const std::vector<Case> cases = {
        {{"--resist", "0"},
         "Avalanche",
         {{"outcome", "ArithmeticFault"}, {"fault", "DivideByZero"}}},
        {{"--resist", "0", "--water", "0"},
         "Avalanche",
         {{"outcome", "ArithmeticFault"}, {"fault", "InvalidOperation"}}},
        {{"--int", "1e308", "--fire", "1e308"},
         "Meteor",
         {{"outcome", "ArithmeticFault"}, {"fault", "Overflow"}}},
        {{"--int", "abc"}, "Avalanche", {{"outcome", "BadInput"}, {"field", "varInt"}}},
        {{"--resist", "\t100"}, "Avalanche", {{"outcome", "BadInput"}, {"field", "varResist"}}},
        {{"--level", ""}, "Turn Undead", {{"outcome", "BadInput"}, {"field", "varLevel"}}},
    };
    for (const auto& c : cases) {
        const QJsonArray rows =
            Json(RunTable(c.args + QStringList{"--format", "json", "--spell", c.spell}));
        QJsonObject expected = c.expected;
        expected["spell"] = c.spell;
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].toObject(), expected) << c.args.join(' ').toStdString();
    }
}

TEST(SpellReport, CsvHasAHeaderAndQuotesTheSeparator) {
    EXPECT_EQ(RunTable({"--format", "csv", "--spell", "Avalanche", "--spell", "Electric Shield",
                        "--spell", "Turn Undead", "--air", "0", "--level", "x"},
                       ',')
                  .out,
              "spell,outcome,text,field,fault\n"
              "Avalanche,ShowText,\"157,5\",,\n"
              "Electric Shield,ArithmeticFault,,,DivideByZero\n"
              "Turn Undead,BadInput,,varLevel,\n");
}

TEST(SpellReport, TextTableLinesUpSeparatorsAndFailures) {
    const QStringList lines =
        QString::fromStdString(RunTable({"--int", "abc", "--resist", "0,5"}, ',').out)
            .split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kSpellCount + 1);
    const qsizetype column = lines[0].indexOf("Damage");
    std::set<qsizetype> separatorColumns;
    int numbers = 0;
    for (int i = 0; i < kSpellCount; ++i) {
        const QString& line = lines[i + 1];
        EXPECT_EQ(line.left(line.indexOf("  ")), QString::fromUtf8(SpellTable[i].name));
        SpellInputs in = Defaults(SpellTable[i].name);
        in.varInt = "abc";
        in.varResist = "0,5";
        try {
            EXPECT_TRUE(line.endsWith(" " + QString::fromStdString(CalculateDamage(in, ',').text)));
            ++numbers;
            separatorColumns.insert(line.contains(',') ? line.indexOf(',') : line.size());
        } catch (const CalcFailure&) {
            EXPECT_EQ(line.mid(column), "BadInput: varInt");
        }
    }
    EXPECT_EQ(numbers, 8);
    EXPECT_EQ(separatorColumns.size(), 1u);
}

TEST(SpellReport, SortPutsHighestDamageFirstAndFailuresLastInTableOrder) {
    // Compared as texts, "60,05..." would lead and "109,25..." would follow "13,85...". The two
    // shields tie at 10 and keep their table order, as do the spells without damage.
    QStringList expected = {"Boulders",    "Earthquake",  "Shatter",         "Ice Shield",
                            "Stone Shard", "Turn Undead", "Electric Shield", "Fire Shield"};
    for (const SpellFormula& row : SpellTable) {
        if (!expected.contains(QString::fromUtf8(row.name))) {
            expected << QString::fromUtf8(row.name);
        }
    }
    for (const char separator : {'.', ','}) {
        const QStringList args = {"--sort", "--format", "json", "--int", "abc", "--resist", "120"};
        EXPECT_EQ(Names(Json(RunTable(args, separator))), expected) << separator;
    }
}

TEST(SpellReport, SpellOptionFiltersInTableOrder) {
    const std::vector<std::pair<QStringList, QStringList>> cases = {
        {{"--spell", "Meteor", "--spell", "Avalanche"}, {"Avalanche", "Meteor"}},
        {{"--spell", "Poison", "--spell", "Poison"}, {"Poison"}},
        {{"--sort", "--spell", "Poison", "--spell", "Meteor"}, {"Meteor", "Poison"}},
    };
    for (const auto& [args, names] : cases) {
        EXPECT_EQ(Names(Json(RunTable(args + QStringList{"--format", "json"}))), names);
    }
}

TEST(SpellReport, UsageErrorsPrintOneLineAndNothingElse) {
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"--bogus"}, "bogus"},       {{"--spell", "avalanche"}, "avalanche"},
        {{"--format", "xml"}, "xml"}, {{"--spell", "Avalanche "}, "Avalanche "},
        {{"--int"}, "--int"},         {{"stray"}, "stray"},
        {{"--spell", "a\nb"}, "a?b"},
    };
    for (const auto& [args, named] : cases) {
        const CommandResult result = RunTable(args);
        EXPECT_TRUE(result.exitCode == 2 && result.out.empty()) << named;
        EXPECT_TRUE(result.err.starts_with("runetally-table: ") &&
                    result.err.find(named) != std::string::npos && result.err.ends_with('\n') &&
                    std::count(result.err.begin(), result.err.end(), '\n') == 1)
            << result.err;
    }
}

TEST(SpellReport, HostileArgumentsGiveAClearErrorOrADefinedResult) {
    const QString megabyte(1 << 20, u'9');
    struct Case {
        QStringList args;
        std::string error; // empty: a report, with `outcome` for Avalanche
        std::string outcome;
    };
    const std::vector<Case> cases = {
        {{"--int", megabyte}, "", "\"field\":\"varInt\""}, // beyond any double
        {{"--int", "0." + megabyte}, "", "\"text\":\"145.125\""}, // just below 1
        {{"--resist", ""}, "", "\"field\":\"varResist\""},
        {{"--int=", "--wis", ""}, "", "\"field\":\"varInt\""},
        {{"--int", QString::fromUtf8("\xef\xbf\xbd")}, "", "\"field\":\"varInt\""},
        {{"--spell", megabyte}, "unknown spell '99999", ""},
        {{"--int", "1", "--int", "2"}, "--int is given more than once", ""},
        {{"--format", "csv", "--format", "json"}, "--format is given more than once", ""},
        {{"--sort", "--sort"}, "", "\"text\":\"157.5\""},
    };
    for (const auto& c : cases) {
        const CommandResult result =
            RunTable(c.args + QStringList{"--spell", "Avalanche", "--format", "json"});
        const std::string what = c.args.join(' ').left(60).toStdString();
        if (c.error.empty()) {
            EXPECT_EQ(result.exitCode, 0) << what << result.err;
            const QJsonObject row = Json(result).at(0).toObject();
            const std::string compact =
                QJsonDocument(row).toJson(QJsonDocument::Compact).toStdString();
            EXPECT_NE(compact.find(c.outcome), std::string::npos) << what << ": " << compact;
        } else {
            EXPECT_EQ(result.exitCode, 2) << what;
            EXPECT_TRUE(result.out.empty()) << what;
            EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
            EXPECT_LT(result.err.size(), 200u) << what; // short enough to read
        }
    }
}

QProcessEnvironment Environment(const QStringList& variables, QProcessEnvironment env = {}) {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        env.remove(name);
    }
    for (const QString& v : variables) {
        env.insert(v.section('=', 0, 0), v.section('=', 1));
    }
    return env;
}

TEST(SpellReport, SeparatorComesFromTheLocaleEnvironment) {
    const std::vector<std::pair<QStringList, char>> cases = {
        {{}, '.'},
        {{"LC_ALL=de_DE.UTF-8"}, ','},
        {{"LC_NUMERIC=de_DE.UTF-8"}, ','},
        {{"LANG=fr_FR.UTF-8"}, ','},
        {{"LANG=de_DE@euro"}, ','},
        {{"LANG=C.UTF-8"}, '.'},
        {{"LANG=ar_EG.UTF-8"}, '.'}, // not one ASCII character
        {{"LC_ALL=C", "LC_NUMERIC=de_DE.UTF-8"}, '.'},
        {{"LC_ALL=", "LC_NUMERIC=de_DE.UTF-8"}, ','},
        {{"LC_NUMERIC=en_GB.UTF-8", "LANG=de_DE.UTF-8"}, '.'},
        {{"LC_MESSAGES=de_DE.UTF-8"}, '.'},
    };
    for (const auto& [variables, separator] : cases) {
        EXPECT_EQ(TableCommand::DecimalSeparator(Environment(variables)), separator)
            << variables.join(' ').toStdString();
    }
}

struct ProcessRun {
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QByteArray out, err;
};

ProcessRun Execute(const QString& program, const QStringList& args, const QStringList& env = {}) {
    QProcess process;
    process.setProcessEnvironment(Environment(env, QProcessEnvironment::systemEnvironment()));
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
    return {process.exitCode(), process.exitStatus(), process.readAllStandardOutput(),
            process.readAllStandardError()};
}

TEST(SpellReportProgram, ExitsAndPrintsAsACommandShould) {
    struct Case {
        QStringList env, args;
        int exitCode; // 2: nothing on stdout, one line on stderr; 0: stdout starts with `out`
        QByteArray out;
    };
    const std::vector<Case> cases = {
        {{}, {"--bogus"}, 2, ""},
        {{}, {"--spell", "Nowhere"}, 2, ""},
        {{}, {"--version"}, 0, "runetally-table " RUNETALLY_VERSION_TEXT "\n"},
        {{}, {"--help"}, 0, "Usage: "},
        {{}, {"--spell", "Avalanche"}, 0, "Spell      Damage\nAvalanche  157.5\n"},
        {{"LC_NUMERIC=de_DE.UTF-8"},
         {"--spell", "Avalanche", "--resist", "200,0"},
         0,
         "Spell      Damage\nAvalanche  78,75\n"},
    };
    for (const auto& c : cases) {
        const ProcessRun run = Execute(RUNETALLY_TABLE_EXE, c.args, c.env);
        ASSERT_EQ(run.exitStatus, QProcess::NormalExit);
        const std::string what = (c.env + c.args).join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_TRUE(c.exitCode == 0 ? run.out.startsWith(c.out) : run.out.isEmpty()) << what;
        EXPECT_EQ(run.err.count('\n'), c.exitCode == 0 ? 0 : 1) << what << ": " << run.err.data();
        EXPECT_TRUE(run.err.isEmpty() || run.err.endsWith('\n')) << what;
    }
}

// Bytes that are no UTF-8 and an argument as long as Linux allows reach the real program.
TEST(SpellReportProgram, SurvivesInvalidUtf8AndLongArguments) {
    const QString longest(100000, u'7');
    const std::vector<std::pair<QStringList, QByteArray>> cases = {
        {{"-c", "exec \"$0\" --spell Avalanche --int \"$(printf '\\377\\376')\" --format csv",
          RUNETALLY_TABLE_EXE},
         "Avalanche,BadInput,,varInt,"},
        {{"-c", "exec \"$0\" --spell \"$(printf 'Ava\\377')\"", RUNETALLY_TABLE_EXE}, ""},
        {{"-c", "exec \"$0\" --spell Avalanche --wis \"$1\" --format csv", RUNETALLY_TABLE_EXE,
          longest},
         "Avalanche,ShowText,157.5,,"},
    };
    for (const auto& [args, line] : cases) {
        const ProcessRun run = Execute("/bin/sh", args);
        ASSERT_EQ(run.exitStatus, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, line.isEmpty() ? 2 : 0) << run.err.data();
        EXPECT_TRUE(line.isEmpty() ? run.out.isEmpty() : run.out.contains(line)) << run.out.data();
    }
}

} // namespace
