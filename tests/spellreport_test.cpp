#include "damage.h"
#include "localeseparator.h"
#include "spelltable.h"
#include "tablecommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace runetally;
using Json = nlohmann::json;

namespace {

using Args = std::vector<std::string>;

Args operator+(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Joined(const Args& args) {
    std::string joined;
    for (const std::string& a : args) {
        joined += (joined.empty() ? "" : " ") + a.substr(0, 60);
    }
    return joined;
}

CommandResult RunTable(const Args& args, char separator = '.') {
    return TableCommand::Run(Args{"runetally-table"} + args, separator);
}

Json Rows(const CommandResult& result) {
    const Json rows = Json::parse(result.out, nullptr, false);
    EXPECT_TRUE(rows.is_array()) << result.out << result.err;
    return rows.is_array() ? rows : Json::array();
}

Args Names(const Json& rows) {
    Args names;
    for (const Json& row : rows) {
        names.push_back(row.value("spell", ""));
    }
    return names;
}

int TableIndex(std::string_view name) {
    return static_cast<int>(FindSpell(name) - SpellTable.data());
}

// The inputs the command uses when none are given.
SpellInputs Defaults(std::string_view spell) {
    return {
        std::string(spell), "99", "100", "100", "100", "100", "100", "100", "100", "100", "100"};
}

TEST(SpellReport, JsonAtDefaultsAgreesWithTheCalculation) {
    const Json rows = Rows(RunTable({"--format", "json"}));
    ASSERT_EQ(rows.size(), std::size_t(kSpellCount));
    for (int i = 0; i < kSpellCount; ++i) {
        const std::string text =
            std::get<DamageOutcome>(CalculateDamage(Defaults(SpellTable[i].name))).text;
        const Json expected = {
            {"spell", SpellTable[i].name}, {"outcome", "ShowText"}, {"text", text}};
        EXPECT_EQ(rows[i], expected) << i;
    }
    for (const auto& [spell, text] :
         std::vector<std::pair<std::string, std::string>>{{"Avalanche", "157.5"},
                                                          {"Turn Undead", "16.6284403669725"},
                                                          {"Flame Wave", "72.25"}}) {
        EXPECT_EQ(rows[TableIndex(spell)]["text"], text) << spell;
    }
    // Keys in reading order, which a JSON library's objects alone would not keep.
    EXPECT_EQ(
        RunTable({"--format", "json", "--spell", "Avalanche"}).out,
        "[\n  {\"spell\": \"Avalanche\", \"outcome\": \"ShowText\", \"text\": \"157.5\"}\n]\n");
}

TEST(SpellReport, JsonNamesEveryOutcome) {
    struct Case {
        Args args;
        std::string spell;
        Json expected; // besides the spell
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
        const Json rows = Rows(RunTable(c.args + Args{"--format", "json", "--spell", c.spell}));
        Json expected = c.expected;
        expected["spell"] = c.spell;
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0], expected) << Joined(c.args);
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
    const std::string out = RunTable({"--int", "abc", "--resist", "0,5"}, ',').out;
    Args lines;
    for (std::size_t from = 0, to; (to = out.find('\n', from)) != std::string::npos;
         from = to + 1) {
        lines.push_back(out.substr(from, to - from));
    }
    ASSERT_EQ(lines.size(), std::size_t(kSpellCount + 1));
    const std::size_t column = lines[0].find("Damage");
    std::set<std::size_t> separatorColumns;
    int numbers = 0;
    for (int i = 0; i < kSpellCount; ++i) {
        const std::string& line = lines[i + 1];
        EXPECT_EQ(line.substr(0, line.find("  ")), SpellTable[i].name);
        SpellInputs in = Defaults(SpellTable[i].name);
        in.varInt = "abc";
        in.varResist = "0,5";
        const DamageResult result = CalculateDamage(in, ',');
        if (const auto* outcome = std::get_if<DamageOutcome>(&result)) {
            EXPECT_TRUE(line.ends_with(" " + outcome->text)) << line;
            ++numbers;
            separatorColumns.insert(std::min(line.find(','), line.size()));
        } else {
            EXPECT_EQ(line.substr(column), "BadInput: varInt");
        }
    }
    EXPECT_EQ(numbers, 8);
    EXPECT_EQ(separatorColumns.size(), 1u);
}

TEST(SpellReport, SortPutsHighestDamageFirstAndFailuresLastInTableOrder) {
    // Compared as texts, "60,05..." would lead and "109,25..." would follow "13,85...". The two
    // shields tie at 10 and keep their table order, as do the spells without damage.
    Args expected = {"Boulders",    "Earthquake",  "Shatter",         "Ice Shield",
                     "Stone Shard", "Turn Undead", "Electric Shield", "Fire Shield"};
    for (const SpellFormula& row : SpellTable) {
        if (std::find(expected.begin(), expected.end(), row.name) == expected.end()) {
            expected.emplace_back(row.name);
        }
    }
    for (const char separator : {'.', ','}) {
        const Args args = {"--sort", "--format", "json", "--int", "abc", "--resist", "120"};
        EXPECT_EQ(Names(Rows(RunTable(args, separator))), expected) << separator;
    }
}

TEST(SpellReport, SpellOptionFiltersInTableOrder) {
    const std::vector<std::pair<Args, Args>> cases = {
        {{"--spell", "Meteor", "--spell", "Avalanche"}, {"Avalanche", "Meteor"}},
        {{"--spell", "Poison", "--spell", "Poison"}, {"Poison"}},
        {{"--sort", "--spell", "Poison", "--spell", "Meteor"}, {"Meteor", "Poison"}},
    };
    for (const auto& [args, names] : cases) {
        EXPECT_EQ(Names(Rows(RunTable(args + Args{"--format", "json"}))), names);
    }
}

TEST(SpellReport, UsageErrorsPrintOneLineAndNothingElse) {
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--bogus"}, "bogus"},
        {{"--spell", "avalanche"}, "avalanche"},
        {{"--format", "xml"}, "xml"},
        {{"--spell", "Avalanche "}, "Avalanche "},
        {{"--int"}, "--int"},
        {{"stray"}, "stray"},
        {{"--spell", "a\nb"}, "a\\u{000A}b"},
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
    const std::string megabyte(1 << 20, '9');
    struct Case {
        Args args;
        std::string error; // empty: a report, with `outcome` for Avalanche
        std::string outcome;
    };
    const std::vector<Case> cases = {
        {{"--int", megabyte}, "", "\"field\":\"varInt\""},        // beyond any double
        {{"--int", "0." + megabyte}, "", "\"text\":\"145.125\""}, // just below 1
        {{"--resist", ""}, "", "\"field\":\"varResist\""},
        {{"--int=", "--wis", ""}, "", "\"field\":\"varInt\""},
        {{"--int", "\xef\xbf\xbd"}, "", "\"field\":\"varInt\""},
        {{"--int", "\xff\xfe"}, "", "\"field\":\"varInt\""},
        {{"--spell", megabyte}, "unknown spell '99999", ""},
        {{"--int", "1", "--int", "2"}, "--int is given more than once", ""},
        {{"--format", "csv", "--format", "json"}, "--format is given more than once", ""},
        {{"--sort", "--sort"}, "", "\"text\":\"157.5\""},
    };
    for (const auto& c : cases) {
        const CommandResult result =
            RunTable(c.args + Args{"--spell", "Avalanche", "--format", "json"});
        const std::string what = Joined(c.args);
        if (c.error.empty()) {
            EXPECT_EQ(result.exitCode, 0) << what << result.err;
            const std::string compact = Rows(result).at(0).dump();
            EXPECT_NE(compact.find(c.outcome), std::string::npos) << what << ": " << compact;
        } else {
            EXPECT_EQ(result.exitCode, 2) << what;
            EXPECT_TRUE(result.out.empty()) << what;
            EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
            EXPECT_LT(result.err.size(), 200u) << what; // short enough to read
        }
    }
}

// The environment with the variables that name the locale replaced by `variables` ("NAME=value").
Args LocaleEnvironment(const Args& variables) {
    Args env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string v = *e;
        if (!v.starts_with("LC_") && !v.starts_with("LANG=")) {
            env.push_back(v);
        }
    }
    return env + variables;
}

TEST(SpellReport, SeparatorComesFromTheLocaleEnvironment) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "needs locales-all";
    const std::vector<std::pair<Args, char>> cases = {
        {{}, '.'},
        {{"LC_ALL=de_DE.UTF-8"}, ','},
        {{"LC_NUMERIC=de_DE.UTF-8"}, ','},
        {{"LANG=fr_FR.UTF-8"}, ','},
        {{"LANG=de_DE@euro"}, ','},
        {{"LANG=C.UTF-8"}, '.'},
        {{"LANG=ps_AF.UTF-8"}, '.'}, // U+066B: not one ASCII character
        {{"LC_ALL=C", "LC_NUMERIC=de_DE.UTF-8"}, '.'},
        {{"LC_ALL=", "LC_NUMERIC=de_DE.UTF-8"}, ','},
        {{"LC_NUMERIC=en_GB.UTF-8", "LANG=de_DE.UTF-8"}, '.'},
        {{"LC_MESSAGES=de_DE.UTF-8"}, '.'},
    };
    for (const auto& [variables, separator] : cases) {
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG", "LC_MESSAGES"}) {
            unsetenv(name);
        }
        for (const std::string& v : variables) {
            setenv(v.substr(0, v.find('=')).c_str(), v.substr(v.find('=') + 1).c_str(), 1);
        }
        std::setlocale(LC_ALL, ""); // as the program starts
        EXPECT_EQ(UserDecimalSeparator(), separator) << Joined(variables);
    }
    std::setlocale(LC_ALL, "C");
}

enum class Stdout { Kept, Full, Closed, NoReader };

struct ProcessRun {
    int exitCode = -1; // -1: ended by a signal
    std::string out, err;
};

std::string ReadAll(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, n);
    }
    std::fclose(file);
    return text;
}

// Runs the built program with `args`; stdout and stderr go to files, read when it has ended. The
// program starts with SIGPIPE at its default, whatever the test runner does with it.
ProcessRun Execute(const Args& args, const Args& env = {}, Stdout stdoutTo = Stdout::Kept) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int pipeEnds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    switch (stdoutTo) {
    case Stdout::Kept:
        posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
        break;
    case Stdout::Full:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        break;
    case Stdout::Closed:
        posix_spawn_file_actions_addclose(&actions, 1);
        break;
    case Stdout::NoReader:
        EXPECT_EQ(pipe(pipeEnds), 0);
        close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        break;
    }
    posix_spawn_file_actions_adddup2(&actions, fileno(err), 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    Args argv = Args{RUNETALLY_TABLE_EXE} + args;
    Args envp = LocaleEnvironment(env);
    std::vector<char*> argvp, envpp;
    for (std::string& a : argv) {
        argvp.push_back(a.data());
    }
    for (std::string& e : envp) {
        envpp.push_back(e.data());
    }
    argvp.push_back(nullptr);
    envpp.push_back(nullptr);
    pid_t pid = -1;
    ProcessRun run;
    int status = 0;
    if (posix_spawn(&pid, argvp[0], &actions, &attributes, argvp.data(), envpp.data()) == 0 &&
        waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0) {
        close(pipeEnds[1]);
    }
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    return run;
}

TEST(SpellReportProgram, ExitsAndPrintsAsACommandShould) {
    struct Case {
        Args env, args;
        int exitCode; // 2: nothing on stdout, one line on stderr; 0: stdout starts with `out`
        std::string out;
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
        {{"LANG=de_DE.UTF-8", "LC_ALL=C"},
         {"--spell", "Avalanche", "--resist", "200.0"},
         0,
         "Spell      Damage\nAvalanche  78.75\n"},
    };
    for (const auto& c : cases) {
        const ProcessRun run = Execute(c.args, c.env);
        const std::string what = Joined(c.env + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_TRUE(c.exitCode == 0 ? run.out.starts_with(c.out) : run.out.empty()) << what;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), c.exitCode == 0 ? 0 : 1)
            << what << ": " << run.err;
        EXPECT_TRUE(run.err.empty() || run.err.ends_with('\n')) << what;
    }
}

// Bytes that are no UTF-8, an argument as long as Linux allows and 50,000 spells reach the
// real program.
TEST(SpellReportProgram, SurvivesInvalidUtf8AndLongArguments) {
    Args many;
    for (int i = 0; i < 50000; ++i) {
        many.insert(many.end(), {"--spell", i % 2 ? "Avalanche" : "Meteor"});
    }
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--spell", "Avalanche", "--int", "\xff\xfe", "--format", "csv"},
         "Avalanche,BadInput,,varInt,"},
        {{"--spell", "Ava\xff"}, ""},
        {{"--spell", "Avalanche", "--wis", std::string(100000, '7'), "--format", "csv"},
         "Avalanche,ShowText,157.5,,"},
        {many + Args{"--format", "csv"}, "Avalanche,ShowText,157.5,,\nMeteor,"},
    };
    for (const auto& [args, line] : cases) {
        const ProcessRun run = Execute(args);
        EXPECT_EQ(run.exitCode, line.empty() ? 2 : 0) << run.err;
        EXPECT_TRUE(line.empty() ? run.out.empty() : run.out.find(line) != std::string::npos)
            << run.out;
    }
}

// A table that did not reach its reader is an error, not a silent success.
TEST(SpellReportProgram, ReportsATableItCouldNotWrite) {
    const std::vector<std::pair<Stdout, std::string>> cases = {
        {Stdout::Full, "No space left on device"},
        {Stdout::Closed, "Bad file descriptor"},
        {Stdout::NoReader, "Broken pipe"},
    };
    for (const auto& [to, reason] : cases) {
        for (const Args& args : {Args{}, Args{"--format", "json"}, Args{"--help"}}) {
            const ProcessRun run = Execute(args, {"LC_ALL=C"}, to);
            EXPECT_EQ(run.exitCode, 1) << reason;
            EXPECT_EQ(run.err, "runetally-table: cannot write the table: " + reason + "\n");
        }
    }
    // A usage error writes nothing to stdout, so it keeps its own status.
    EXPECT_EQ(Execute({"--bogus"}, {}, Stdout::Closed).exitCode, 2);
}

} // namespace
