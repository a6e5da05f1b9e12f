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
#include <map>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
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

TEST(SpellReport, JsonAtDefaultsGivesEverySpellsDamage) {
    // Worked out from the formulas apart from the program, at the default inputs, in table order.
    const std::pair<const char*, const char*> expected[] = {
        {"Avalanche", "157.5"},
        {"Blizzard", "110.5"},
        {"Boulders", "131.111111111111"},
        {"Call Lightning", "45.6666666666667"},
        {"Chain Lightning", "51.1428571428571"},
        {"Drain Life", "30.3333333333333"},
        {"Dust Devil", "18.7619047619048"},
        {"Earthquake", "72.0681818181818"},
        {"Electric Shield", "10"},
        {"Fire Bolt", "60.25"},
        {"Fire Dart", "19.3478260869565"},
        {"Fire Shield", "12"},
        {"Fireball", "70.1428571428571"},
        {"Firestorm", "169.5"},
        {"Flame Wave", "72.25"},
        {"Flaming Arrow", "35.2631578947368"},
        {"Flare", "105.111111111111"},
        {"Freeze", "37.25"},
        {"Glacier", "110"},
        {"Greater Drain", "48.1666666666667"},
        {"Hurricane", "169.285714285714"},
        {"Ice Ball", "93.0909090909091"},
        {"Ice Bolt", "57.6666666666667"},
        {"Ice Shard", "29"},
        {"Ice Shield", "26"},
        {"Ice Storm", "128.111111111111"},
        {"Inferno", "139.5"},
        {"Lesser Drain", "19.6315789473684"},
        {"Lightning Bolt", "30.5555555555556"},
        {"Mana Burst", "54.6923076923077"},
        {"Meteor", "218.285714285714"},
        {"Poison", "4.76190476190476"},
        {"Poison Arrow", "32.8823529411765"},
        {"Rain of Fire", "123"},
        {"Shatter", "34.8823529411765"},
        {"Soulsteal", "75.5555555555556"},
        {"Stone Shard", "20.5454545454545"},
        {"Tornado", "151.5"},
        {"Tsunami", "140.285714285714"},
        {"Turn Undead", "16.6284403669725"},
        {"Vortex of Air", "64.3333333333333"},
    };
    const Json rows = Rows(RunTable({"--format", "json"}));
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& [spell, text] = expected[i];
        EXPECT_EQ(rows[i], (Json{{"spell", spell}, {"outcome", "ShowText"}, {"text", text}}))
            << spell;
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
    // Only the eight spells that do not read the intelligence show a number; worked out apart
    // from the program.
    const std::map<std::string_view, std::string_view> numbers = {
        {"Boulders", "26222,2222222222"},
        {"Earthquake", "14413,6363636364"},
        {"Electric Shield", "10"},
        {"Fire Shield", "2400"},
        {"Ice Shield", "5200"},
        {"Shatter", "6976,47058823529"},
        {"Stone Shard", "4109,09090909091"},
        {"Turn Undead", "3325,6880733945"},
    };
    ASSERT_EQ(lines.size(), std::size_t(kSpellCount + 1));
    const std::size_t column = lines[0].find("Damage");
    std::set<std::size_t> separatorColumns;
    for (int i = 0; i < kSpellCount; ++i) {
        const std::string& line = lines[i + 1];
        EXPECT_EQ(line.substr(0, line.find("  ")), SpellTable[i].name);
        const auto number = numbers.find(SpellTable[i].name);
        if (number == numbers.end()) {
            EXPECT_EQ(line.substr(column), "BadInput: varInt");
        } else {
            EXPECT_TRUE(line.ends_with(" " + std::string(number->second))) << line;
            separatorColumns.insert(std::min(line.find(','), line.size()));
        }
    }
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
        {{"--spell", "avalanch"}, "avalanch"}, // any case matches, but not a letter short
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
        {{"--spell", megabyte}, "no spell named '99999", ""},
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
    int signal = 0;    // the signal that ended it
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

// Waits for the program to end. One that still runs after 30 seconds is stopped, so that a
// program that hangs fails its test instead of stopping the run.
bool Ended(pid_t pid, int& status) {
    for (int tick = 0; tick < 3000; ++tick) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return false;
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
        Ended(pid, status)) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
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

// A pipe named as a character is refused at once, not read until a writer comes and goes.
TEST(SpellReportProgram, RefusesAPipeAsACharacter) {
    char folder[] = "/tmp/runetally-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string fifo = folder + std::string("/p.rtchar");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const char* option : {"--character", "--compare"}) {
        const ProcessRun run = Execute({option, fifo}, {"LC_ALL=C"});
        EXPECT_EQ(run.exitCode, 2) << option;
        EXPECT_EQ(run.err, "runetally-table: Could not open p.rtchar: it is not a regular file\n");
    }
    unlink(fifo.c_str());
    rmdir(folder);
}

// A table that did not reach its reader is an error, not a silent success; but a reader that
// has gone (runetally-table | head) wanted no more: the program ends quietly by SIGPIPE, as
// other tools do, which a shell tells as status 141.
TEST(SpellReportProgram, ReportsATableItCouldNotWrite) {
    const std::vector<std::pair<Stdout, std::string>> cases = {
        {Stdout::Full, "No space left on device"},
        {Stdout::Closed, "Bad file descriptor"},
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
    for (const Args& args :
         {Args{}, Args{"--format", "json"}, Args{"--help"}, Args{"--sweep", "int=0:10000:1"}}) {
        const ProcessRun run = Execute(args, {"LC_ALL=C"}, Stdout::NoReader);
        EXPECT_EQ(run.signal, SIGPIPE) << args.back();
        EXPECT_EQ(run.err, "") << args.back();
    }
}

} // namespace
