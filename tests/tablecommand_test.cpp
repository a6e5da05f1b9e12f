#include "tablecommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

using namespace runetally;

namespace {

using Args = std::vector<std::string>;

CommandResult RunTable(Args args) {
    args.insert(args.begin(), "runetally-table");
    return TableCommand::Run(args, '.');
}

Args operator+(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Times(int n, const std::string& text) {
    std::string out;
    while (n-- > 0) {
        out += text;
    }
    return out;
}

// What the player typed comes back in a usage error cut to 40 characters, with nothing that a
// terminal would act on: the line is exactly "runetally-table: " + `line`.
TEST(TableCommand, UsageErrorsShowNamesCutAndEscaped) {
    const std::string a39(39, 'a'), a40(40, 'a'), fffd = "\xef\xbf\xbd";
    const std::vector<std::pair<Args, std::string>> cases = {
        // The cut: at 40 characters, never inside a UTF-8 sequence or an escape.
        {{"--spell", a40}, "no spell named '" + a40 + "'"},
        {{"--spell", a40 + "b"}, "no spell named '" + a40 + "...'"},
        {{"--spell", a39 + "\xc3\xa9" + "b"}, "no spell named '" + a39 + "\xc3\xa9...'"},
        {{"--spell", Times(41, "\xe2\x82\xac")},
         "no spell named '" + Times(40, "\xe2\x82\xac") + "...'"},
        {{"--spell", Times(41, "\xf0\x9f\x98\x80")},
         "no spell named '" + Times(40, "\xf0\x9f\x98\x80") + "...'"},
        {{"--spell", Times(41, "\x1b")}, "no spell named '" + Times(40, "\\u{001B}") + "...'"},
        {{"--" + std::string(100000, 'x')}, "Unknown option '" + std::string(40, 'x') + "...'."},
        {{"--" + a40 + "b=value"}, "Unknown option '" + a40 + "...'."},
        // C0, DEL and C1, each at its edges; space, '~' and U+00A0 pass.
        {{"--spell", std::string("a\0b", 3)}, "no spell named 'a\\u{0000}b'"},
        {{"--spell", "\t\n\r\x1f "}, "no spell named '\\u{0009}\\u{000A}\\u{000D}\\u{001F} '"},
        {{"--spell", "~\x7f"}, "no spell named '~\\u{007F}'"},
        {{"--spell", "\xc2\x80\xc2\x9b\xc2\x9f\xc2\xa0"},
         "no spell named '\\u{0080}\\u{009B}\\u{009F}\xc2\xa0'"},
        // Bidirectional embeddings, overrides and isolates; their neighbours pass.
        {{"--spell", "\xe2\x80\xa9\xe2\x80\xaa\xe2\x80\xae\xe2\x80\xaf"},
         "no spell named '\xe2\x80\xa9\\u{202A}\\u{202E}\xe2\x80\xaf'"},
        {{"--spell", "\xe2\x81\xa5\xe2\x81\xa6\xe2\x81\xa9\xe2\x81\xaa"},
         "no spell named '\xe2\x81\xa5\\u{2066}\\u{2069}\xe2\x81\xaa'"},
        // Bytes that are no UTF-8: one U+FFFD for each broken start.
        {{"--spell", "Ava\xff"}, "no spell named 'Ava" + fffd + "'"},
        {{"--spell", "\xe2\x80x"}, "no spell named '" + fffd + "x'"},
        {{"--spell", "\xc0\xaf"}, "no spell named '" + fffd + fffd + "'"},
        {{"--spell", "\xed\xa0\x80"}, "no spell named '" + fffd + fffd + fffd + "'"},
        {{"--spell", "\xe0\x80\xaf"}, "no spell named '" + fffd + fffd + fffd + "'"},
        {{"--spell", "\xf4\x90\x80\x80"}, "no spell named '" + Times(4, fffd) + "'"},
        // Every kind of usage error goes the same way.
        {{"--format", "\xe2\x80\xaejson"},
         "unknown format '\\u{202E}json' (use text, csv or json)"},
        {{"\x1b[2J"}, "unexpected argument '\\u{001B}[2J'"},
        {{"--\x1b[31m"}, "Unknown option '\\u{001B}[31m'."},
        {{"-\xc3\xa9"}, "Unknown option '\xc3\xa9'."},
        {{"-xyz"}, "Unknown option 'x'."},
        {{"--int"}, "Missing value after '--int'."},
        {{"--sort=yes"},
         "unknown column 'yes' for --sort (use spell, element, damage, percent_of_best, gain, "
         "percent, to_best, damage_b, difference or difference_percent)"},
    };
    for (const auto& [args, line] : cases) {
        const CommandResult result = RunTable(args);
        EXPECT_EQ(result.exitCode, TableCommand::kUsageError) << line;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "runetally-table: " + line + "\n");
    }
}

// A spell's name matches in any case; an unknown one is answered with the nearest known names,
// found by hand: "Meteorr" is one letter from Meteor; "Fire Bal" two from Fire Bolt (o, t) and
// from Fireball (no space, l), three from every other; "xyz" five from Flare and Freeze, too far
// to be a guess.
TEST(TableCommand, SpellNamesMatchInAnyCaseAndUnknownOnesGetTheNearest) {
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--spell", "meteor"}, "Spell   Damage\nMeteor  "},
        {{"--spell", "METEOR", "--format", "csv"}, "spell,outcome,text,field,fault\nMeteor,"},
        {{"--spell", "Meteorr"}, "error: no spell named 'Meteorr'; did you mean 'Meteor'?"},
        {{"--spell", "Fire Bal"},
         "error: no spell named 'Fire Bal'; did you mean 'Fire Bolt' or 'Fireball'?"},
        {{"--spell", "xyz"}, "error: no spell named 'xyz'"},
    };
    for (const auto& [args, expected] : cases) {
        const CommandResult result = RunTable(args);
        if (expected.starts_with("error: ")) {
            EXPECT_EQ(result.exitCode, TableCommand::kUsageError);
            EXPECT_EQ(result.err, "runetally-table: " + expected.substr(7) + "\n");
        } else {
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_TRUE(result.out.starts_with(expected)) << result.out;
        }
    }
}

// Options are read as they always were: a value is whatever follows its option, "--" ends the
// options, an error outranks help, help outranks version and every later check.
TEST(TableCommand, ReadsOptionsAsBefore) {
    Args fiftyThousand;
    for (int i = 0; i < 50000; ++i) {
        fiftyThousand.insert(fiftyThousand.end(), {"--spell", i % 2 ? "Poison" : "Avalanche"});
    }
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--int=", "--spell", "Avalanche"}, "Avalanche  BadInput: varInt\n"},
        {{"--int", "--wis", "--spell", "Avalanche"}, "Avalanche  BadInput: varInt\n"},
        {{"--int", "--", "--spell", "Avalanche"}, "Avalanche  BadInput: varInt\n"},
        {{"--int=--5", "--spell", "Avalanche"}, "Avalanche  BadInput: varInt\n"},
        {{"--int", "-vh", "--spell", "Avalanche"}, "Avalanche  BadInput: varInt\n"},
        {{"--spell", "Avalanche", "Meteor"}, "error: unexpected argument 'Meteor'"},
        {{"--spell", "Avalanche", "--", "--int"}, "error: unexpected argument '--int'"},
        {{"-h", "--bogus"}, "error: Unknown option 'bogus'."},
        {{"--sort=true"}, "error: unknown column 'true' for --sort"},
        {{"--help", "--int", "1", "--int", "2", "stray"}, "Usage: runetally-table [options]\n"},
        {{"-vh"}, "Usage: runetally-table [options]\n"},
        {{"--version", "stray"}, "runetally-table " RUNETALLY_VERSION_TEXT "\n"},
        {{"--wis", "1", "--int", "1", "--int", "2", "--wis", "2"},
         "error: --wis is given more than once"},
        {fiftyThousand, "Avalanche  157.5\nPoison     "},
    };
    for (const auto& [args, expected] : cases) {
        const CommandResult result = RunTable(args);
        const bool error = expected.starts_with("error: ");
        EXPECT_EQ(result.exitCode, error ? 2 : 0) << expected;
        const std::string& printed = error ? result.err : result.out;
        EXPECT_NE(printed.find(error ? expected.substr(7) : expected), std::string::npos)
            << printed;
    }
}

// The planning modes, each with its format, order and decimal separator.
TEST(TableCommand, PlansGainsValuesAndSweeps) {
    const Args noPower{"--int", "0",     "--light", "0",       "--earth", "0",      "--fire",
                       "0",     "--air", "0",       "--water", "0",       "--dark", "0"};
    Args meteor = noPower;
    meteor.insert(meteor.end(), {"--gain", "fire", "--spell", "Meteor", "--format", "csv"});
    const std::vector<std::tuple<Args, char, std::string>> cases = {
        // Avalanche's 157.5 is 72.15 % of Meteor's 218.285714285714, the best.
        {{"--gain", "int", "--spell", "Avalanche", "--format", "csv"},
         '.',
         "spell,element,outcome,text,field,fault,percent_of_best,gain,percent,to_best\n"
         "Avalanche,Water,ShowText,157.5,,,72.2,0.125,0.0793650793650794,never\n"},
        // Meteor's 204 × fire ÷ 100 passes Mana Burst's 47, the best of the rest, at fire 24.
        {meteor, '.', "Meteor,Fire,ShowText,0,,,0,2.04,,24\n"},
        {{"--gain", "int", "--step", "0,5", "--spell", "Avalanche"},
         ',',
         "Avalanche  Water    157,5   72,2       0,0625  0,0396825396825397  never\n"},
        {{"--values", "--spell", "Fire Shield", "--step", "100", "--sort", "--format", "json"},
         '.',
         R"({"spell": "Fire Shield", "input": "resist", "step": "100", "outcome": "ShowText", )"
         R"("gain": "-6", "percent": "-50"})"
         "\n]\n"},
        {{"--sweep", "resist=-1:1:1", "--spell", "Poison", "--format", "csv"},
         '.',
         "spell,input,value,outcome,text,field,fault\n"
         "Poison,resist,-1,ShowText,-476.190476190476,,\n"
         "Poison,resist,0,ArithmeticFault,,,DivideByZero\n"
         "Poison,resist,1,ShowText,476.190476190476,,\n"},
    };
    for (const auto& [args, separator, tail] : cases) {
        Args full = args;
        full.insert(full.begin(), "runetally-table");
        const CommandResult result = TableCommand::Run(full, separator);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(result.out.ends_with(tail)) << result.out;
    }
}

// --sort COLUMN sorts by that column, highest or Z first, lowest or A first with --ascending; a
// row without the column comes last either way. At the start values Meteor deals 100/7 + 204 =
// 218.3, Avalanche 100/8 + 145 = 157.5, Poison 100/21 = 4.8; Mana Burst has no element.
TEST(TableCommand, SortsByAnyColumnEitherWay) {
    const Args three{"--spell", "Poison", "--spell", "Meteor", "--spell", "Avalanche"};
    const Args shield{"--spell", "Mana Burst", "--spell", "Meteor", "--spell", "Avalanche"};
    const std::vector<std::pair<Args, std::vector<std::string>>> cases = {
        {three + Args{"--sort"}, {"Meteor", "Avalanche", "Poison"}},
        {three + Args{"--sort", "--ascending"}, {"Poison", "Avalanche", "Meteor"}},
        {three + Args{"--sort=spell", "--ascending"}, {"Avalanche", "Meteor", "Poison"}},
        {three + Args{"--sort", "SPELL"}, {"Poison", "Meteor", "Avalanche"}},
        {shield + Args{"--sort", "element", "--ascending"}, {"Meteor", "Avalanche", "Mana Burst"}},
        // Avalanche never becomes best by intelligence: last, whichever way.
        {Args{"--spell", "Avalanche", "--spell", "Meteor", "--gain", "int", "--sort", "to_best"},
         {"Meteor", "Avalanche"}},
        // Gains of a point of intelligence: 1/7, 1/8, 1/21.
        {three + Args{"--gain", "int", "--sort", "gain", "--ascending"},
         {"Poison", "Avalanche", "Meteor"}},
    };
    for (const auto& [args, order] : cases) {
        const CommandResult result = RunTable(args + Args{"--format", "csv"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::vector<std::string> spells;
        for (std::size_t line = result.out.find('\n'); line + 1 < result.out.size();
             line = result.out.find('\n', line + 1)) {
            spells.push_back(result.out.substr(line + 1, result.out.find(',', line) - line - 1));
        }
        EXPECT_EQ(spells, order) << args.back();
    }
}

// A sweep of 82,041 rows reaches stdout in pieces as its rows are made, the same text as the
// table kept whole; a reader that goes away stops it.
TEST(TableCommand, WritesASweepAsItIsMade) {
    for (const char* format : {"text", "csv", "json"}) {
        const Args args{"runetally-table", "--sweep", "int=0:2000:1", "--format", format};
        std::string streamed;
        std::size_t pieces = 0, largest = 0;
        const CommandResult result = TableCommand::Run(args, '.', [&](std::string_view piece) {
            streamed += piece;
            largest = std::max(largest, piece.size());
            return ++pieces > 0;
        });
        EXPECT_EQ(result.exitCode, 0) << format;
        EXPECT_EQ(result.out, "") << "written, not kept";
        EXPECT_EQ(streamed, TableCommand::Run(args, '.').out) << format;
        EXPECT_GT(pieces, 20u) << format;
        EXPECT_LT(largest, std::size_t{1} << 17) << format;

        std::size_t taken = 0;
        TableCommand::Run(args, '.', [&](std::string_view) { return ++taken < 3; });
        EXPECT_EQ(taken, 3u) << "nothing more after the reader has gone";
    }
}

TEST(TableCommand, RefusesPlansItCannotAnswer) {
    const std::string inputs =
        "(use level, int, wis, resist, light, earth, fire, air, water or dark)";
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--gain", "strength"}, "unknown input 'strength' " + inputs},
        {{"--gain", "\x1b[2J"}, "unknown input '\\u{001B}[2J' " + inputs},
        {{"--gain", "int", "--step", "x"}, "--step takes a number, not 'x'"},
        {{"--gain", "int", "--gain", "wis"}, "--gain is given more than once"},
        {{"--sweep", "int=0:10:0"}, "--sweep needs a STEP above 0"},
        {{"--sweep", "int=0:10:-1"}, "--sweep needs a STEP above 0"},
        {{"--sweep", "int=10:0:1"}, "--sweep needs FROM no higher than TO"},
        {{"--sweep", "int=0:10001:1"}, "--sweep gives more than 10001 values"},
        {{"--sweep", "int=0:1:1:1"}, "--sweep takes INPUT=FROM:TO:STEP, not 'int=0:1:1:1'"},
        {{"--sweep", "wis=0:ten:1"}, "--sweep takes a number, not 'ten'"},
        {{"--sweep", "int=0:1:1", "--sort"}, "--sort does not apply to --sweep"},
        {{"--values"}, "--values needs exactly one --spell"},
        {{"--values", "--spell", "Poison", "--spell", "Meteor"},
         "--values needs exactly one --spell"},
        {{"--gain", "int", "--values", "--spell", "Poison"},
         "--gain, --values and --sweep cannot be combined"},
        {{"--step", "2"}, "--step needs --gain or --values"},
        {{"--sort", "gain"}, "--sort gain needs --gain"},
        {{"--sort=difference"}, "--sort difference needs --compare"},
        {{"--ascending"}, "--ascending needs --sort"},
        {{"--sort", "damage", "--sort", "spell"}, "--sort is given more than once"},
        {{"--values", "--spell", "Poison", "--sort", "gain"},
         "--values takes --sort alone: the largest gain first"},
        {{"--sweep", "int=0:1:1", "--sort", "spell"}, "--sort does not apply to --sweep"},
    };
    for (const auto& [args, line] : cases) {
        const CommandResult result = RunTable(args);
        EXPECT_EQ(result.exitCode, TableCommand::kUsageError) << line;
        EXPECT_EQ(result.err, "runetally-table: " + line + "\n");
    }
}

// A character file with every input at its start value but those given.
std::string WriteCharacter(const std::filesystem::path& path, const std::string& spell,
                           const std::vector<std::pair<std::string, std::string>>& changed) {
    std::string inputs;
    for (const char* name :
         {"level", "int", "wis", "resist", "light", "earth", "fire", "air", "water", "dark"}) {
        std::string value = std::string(name) == "level" ? "99" : "100";
        for (const auto& [input, text] : changed) {
            value = input == name ? text : value;
        }
        inputs += std::string(inputs.empty() ? "" : ", ") + '"' + name + "\": \"" + value + '"';
    }
    std::ofstream(path, std::ios::binary)
        << R"({"format": "runetally-character", "version": 1, "spell": ")" + spell +
               R"(", "inputs": {)" + inputs + "}}";
    return path.string();
}

// Characters from files, alone, overridden and side by side; a bad file as the window tells it.
TEST(TableCommand, TakesCharactersFromFiles) {
    const auto folder = std::filesystem::temp_directory_path() / "runetally-tablecommand";
    std::filesystem::create_directories(folder);
    const std::string a = WriteCharacter(folder / "a.rtchar", "Avalanche", {{"int", "120"}});
    const std::string b = WriteCharacter(folder / "b.rtchar", "", {{"resist", "0"}});
    // Meteor is 2.04 a point of fire once intelligence and the other powers are 0.
    std::vector<std::pair<std::string, std::string>> noPower = {
        {"int", "0"}, {"light", "0"}, {"earth", "0"}, {"air", "0"}, {"water", "0"}, {"dark", "0"}};
    const std::string fire = WriteCharacter(folder / "fire.rtchar", "", noPower);
    noPower.emplace_back("fire", "0");
    const std::string zero = WriteCharacter(folder / "zero.rtchar", "Meteor", noPower);
    std::ofstream(folder / "thalia.rtchar") << R"({"format": "runetally-character", "version": 1})";
    const std::string thalia = (folder / "thalia.rtchar").string();
    const std::string missing = (folder / "missing.rtchar").string();
    const std::vector<std::tuple<Args, char, std::string>> cases = {
        // Avalanche is 157.5 and an eighth more a point of intelligence above 100.
        {{"--character", a}, '.', "Spell      Damage\nAvalanche  160\n"},
        {{"--character", a, "--int", "100"}, '.', "Spell      Damage\nAvalanche  157.5\n"},
        {{"--character", a, "--spell", "Poison", "--format", "csv"},
         '.',
         "spell,outcome,text,field,fault\nAvalanche,ShowText,160,,\n"
         "Poison,ShowText,5.71428571428571,,\n"},
        {{"--compare", a, "--spell", "Avalanche", "--format", "csv"},
         '.',
         "spell,outcome,text,field,fault,damage_b,difference,difference_percent\n"
         "Avalanche,ShowText,157.5,,,160,2.5,1.58730158730159\n"},
        {{"--character", a, "--compare", b, "--spell", "Poison", "--format", "csv"},
         '.',
         "spell,outcome,text,field,fault,damage_b,difference,difference_percent\n"
         "Avalanche,ShowText,160,,,ArithmeticFault: DivideByZero,ArithmeticFault: DivideByZero,\n"
         "Poison,ShowText,5.71428571428571,,,ArithmeticFault: DivideByZero,"
         "ArithmeticFault: DivideByZero,\n"},
        {{"--character", zero, "--compare", fire, "--format", "json"},
         '.',
         "[\n  {\"spell\": \"Meteor\", \"outcome\": \"ShowText\", \"text\": \"0\", "
         "\"damage_b\": \"204\", \"difference\": \"204\"}\n]\n"},
        {{"--character", b, "--compare", a, "--spell", "Poison"},
         '.',
         "Spell   Damage                         Damage B          Difference                     "
         "Percent\n"
         "Poison  ArithmeticFault: DivideByZero  5.71428571428571  "
         "ArithmeticFault: DivideByZero  \n"},
        {{"--character", thalia},
         '.',
         "error: thalia.rtchar is not a Runetally character: 'spell' is missing\n"},
        {{"--compare", thalia}, '.', "error: thalia.rtchar is not a Runetally character: "},
        {{"--character", missing}, '.', "error: Could not open missing.rtchar: "},
        // B has 20 more intelligence: Avalanche 20/8 = 2.5 more, 2.5/157.5 = 1.587301587301587|3 %.
        {{"--compare", a, "--gain", "int", "--spell", "avalanche", "--format", "csv"},
         '.',
         "spell,element,outcome,text,field,fault,percent_of_best,gain,percent,to_best,damage_b,"
         "difference,difference_percent\n"
         "Avalanche,Water,ShowText,157.5,,,72.2,0.125,0.0793650793650794,never,160,2.5,"
         "1.58730158730159\n"},
        {{"--compare", a, "--values", "--spell", "Poison"},
         '.',
         "error: --compare does not apply to --values or --sweep\n"},
        // B's Meteor 221.142857142857 − 218.285714285714 = 2.857142857143, 1.30890052356028 % of
        // it; Avalanche 2.5, 1.6 %; Poison 5.71428571428571 − 4.76190476190476 = 0.95238095238095,
        // 20.0000000000000 % of it, written "20".
        {{"--compare", a, "--spell", "Poison", "--spell", "Avalanche", "--spell", "Meteor",
          "--sort", "difference", "--format", "csv"},
         '.',
         "spell,outcome,text,field,fault,damage_b,difference,difference_percent\n"
         "Meteor,ShowText,218.285714285714,,,221.142857142857,2.857142857143,1.30890052356028\n"
         "Avalanche,ShowText,157.5,,,160,2.5,1.58730158730159\n"
         "Poison,ShowText,4.76190476190476,,,5.71428571428571,0.95238095238095,20\n"},
    };
    for (const auto& [args, separator, expected] : cases) {
        Args full = args;
        full.insert(full.begin(), "runetally-table");
        const CommandResult result = TableCommand::Run(full, separator);
        const bool error = expected.starts_with("error: ");
        EXPECT_EQ(result.exitCode, error ? 2 : 0) << expected;
        if (error) {
            EXPECT_TRUE(result.err.starts_with("runetally-table: " + expected.substr(7)))
                << result.err;
        } else {
            EXPECT_EQ(result.out, expected);
        }
    }
    std::filesystem::remove_all(folder);
}

} // namespace
