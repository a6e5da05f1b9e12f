#include "fakeplanner.h"
#include "numbers.h"
#include "plannercommands.h"
#include "tablecommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace runetally;

namespace {

using enum PlannerControl;

// Intelligence 280, the rest 100 and level 99: every one-stat spell deals its intelligence over
// its divisor plus its bonus, exactly. Meteor leads with 280/7 + 204 = 244, then Firestorm with
// 280/8 + 157 = 192.
SpellInputs Worked(std::string spell = "Firestorm") {
    SpellInputs inputs;
    for (Field field : kInputsTopDown) {
        inputs.text(field) = "100";
    }
    inputs.varLevel = "99";
    inputs.varInt = "280";
    inputs.spellName = std::move(spell);
    return inputs;
}

struct Planner {
    FakePlanner view;
    PlannerCommands commands{view.form, view.platform};
};

void Pick(Planner& p, std::string_view spell) {
    ASSERT_TRUE(p.view.pick(p.commands, spell)) << spell;
}

TEST(PlannerCommands, ShowsEverySpellByDamageWithGainsForTheBest) {
    Planner p;
    p.view.form.texts[PlannerControl::txtStep] = "7";
    p.commands.follow(Worked());
    EXPECT_EQ(p.view.status(), "");
    ASSERT_EQ(p.view.form.rows[lvwSpells].size(), 41u);
    // Raised by 7: Meteor 287/7 + 204 = 245, Firestorm 287/8 + 157 = 192.875.
    EXPECT_EQ(p.view.form.rows[lvwSpells][0],
              (TableRow{{"Meteor", "Fire", "244", "100", "1", "0"}}));
    EXPECT_EQ(p.view.form.rows[lvwSpells][1],
              (TableRow{{"Firestorm", "Fire", "192", "78.7", "0.875", "never"},
                        "selected in the main window"}));
    EXPECT_EQ(p.view.form.sortMark, std::pair(int(SpellColumn::Damage), true));
    EXPECT_EQ(p.view.form.chosen[lvwSpells], 0) << "the best until the player picks another";

    // Meteor: +7 Fire Power adds 244 × 7/100, +7 intelligence 1, the resist takes away, and the
    // seven inputs it does not use add nothing.
    const std::vector<TableRow>& inputs = p.view.form.rows[lvwInputs];
    ASSERT_EQ(inputs.size(), 10u);
    const std::vector<std::tuple<std::string, std::string, std::string>> expected = {
        {"Wisdom", "0", "3"},      {"Inteligence", "1", "2"}, {"Target Elemental Resist", "", "10"},
        {"Light Power", "0", "3"}, {"Earth Power", "0", "3"}, {"Fire Power", "17.08", "1"},
        {"Air Power", "0", "3"},   {"Water Power", "0", "3"}, {"Dark Power", "0", "3"},
        {"Level", "0", "3"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [caption, adds, rank] = expected[i];
        EXPECT_EQ(inputs[i].cells[0], caption);
        if (!adds.empty()) {
            EXPECT_EQ(inputs[i].cells[1], adds) << caption;
        }
        EXPECT_EQ(inputs[i].cells[2], rank) << caption;
    }
}

// Whichever box holds no number, the planner names it by caption, in the main window's order
// from the top. A box of the main window fails only the spells that use it, in the main window's
// words; every other spell keeps its figures. Without a step no figure is shown until it holds
// one again.
TEST(PlannerCommands, NamesTheFirstBoxThatIsNoNumberAndFailsOnlyTheSpellsThatUseIt) {
    const std::tuple<Field, const char*, const char*, const char*, const char*, const char*>
        cases[] = {
            {Field::varWis, "abc", "1", R"(The text in "Wisdom" is not a number.)", "Boulders",
             "not a number: Wisdom"},
            {Field::powerDark, "", "1", R"(The text in "Dark Power" is not a number.)",
             "Drain Life", "not a number: Dark Power"},
            {Field::varLevel, "9x", "1", R"(The text in "Level" is not a number.)", "Turn Undead",
             "not a number: Level"},
            {Field::varLevel, "9x", "", R"(The text in "Level" is not a number.)", nullptr,
             nullptr},
            {Field::varInt, "280", "1,5", R"(The text in "Step" is not a number.)", nullptr,
             nullptr},
        };
    for (const auto& [field, text, step, message, failing, said] : cases) {
        Planner p;
        p.commands.follow(Worked());
        SpellInputs inputs = Worked();
        inputs.text(field) = text;
        p.view.form.texts[PlannerControl::txtStep] = step;
        p.commands.follow(inputs);
        EXPECT_EQ(p.view.status(), message);
        EXPECT_TRUE(p.view.platform.messages.empty()) << "no box to click away";
        if (failing == nullptr) {
            EXPECT_TRUE(p.view.form.rows[lvwSpells].empty()) << message;
            EXPECT_TRUE(p.view.form.rows[lvwInputs].empty()) << message;
            EXPECT_EQ(p.view.form.chart.description, message);
            EXPECT_FALSE(p.commands.copy(lvwSpells)) << message;
        } else {
            std::map<std::string, std::vector<std::string>> cells;
            for (const TableRow& row : p.view.form.rows[lvwSpells]) {
                cells[row.cells[0]] = row.cells;
            }
            EXPECT_EQ(cells[failing][2] + cells[failing][4], std::string(said) + said)
                << "and gain";
            EXPECT_EQ(cells["Meteor"][2], "244") << "280/7 + 204, whatever " << message;
        }

        p.view.form.texts[PlannerControl::txtStep] = "1";
        p.commands.follow(Worked());
        EXPECT_EQ(p.view.status(), "");
        EXPECT_EQ(p.view.form.rows[lvwSpells].size(), 41u) << message;
    }
}

// Each click on a caption sorts by its column, the other way round on the second; spells whose
// cell holds no number or no element come last either way, and equal cells keep the list's order.
TEST(PlannerCommands, ColumnClicksSortBothWaysWithAStableOrder) {
    using C = SpellColumn;
    struct Click {
        SpellColumn column;
        bool descending;
        std::vector<std::string> first; // the spells that head the table
        std::string last;
        std::string name; // runetally-table's name of the column
    };
    const Click clicks[] = {
        {C::Spell, false, {"Avalanche", "Blizzard"}, "Vortex of Air", "spell"},
        {C::Spell, true, {"Vortex of Air", "Turn Undead"}, "Avalanche", "spell"},
        {C::Element, false, {"Call Lightning", "Chain Lightning"}, "Mana Burst", "element"},
        {C::Element, true, {"Avalanche", "Blizzard"}, "Mana Burst", "element"},
        {C::PointsToBest, false, {"Meteor", "Avalanche"}, "Vortex of Air", "to_best"},
        {C::Damage, true, {"Meteor", "Firestorm"}, "Electric Shield", "damage"},
        {C::Damage, false, {"Electric Shield", "Fire Shield"}, "Meteor", "damage"},
        {C::PercentOfBest, true, {"Meteor", "Firestorm"}, "Electric Shield", "percent_of_best"},
        // Meteor and Tsunami gain 1/7 a point of intelligence; the shields and the spells of
        // wisdom nothing, and keep the list's order: Turn Undead is the last of them.
        {C::Gain, true, {"Meteor", "Tsunami"}, "Turn Undead", "gain"},
    };
    Planner p;
    p.commands.follow(Worked());
    Pick(p, "Firestorm");
    for (const Click& click : clicks) {
        p.commands.lvwSpells_ColumnClick(static_cast<int>(click.column));
        const std::vector<std::string> spells = p.view.column(lvwSpells, C::Spell);
        EXPECT_EQ(std::vector(spells.begin(), spells.begin() + 2), click.first);
        EXPECT_EQ(spells.back(), click.last);
        EXPECT_EQ(p.view.form.sortMark,
                  std::pair(static_cast<int>(click.column), click.descending));
        EXPECT_EQ(p.view.selectedSpellRow().cells[0], "Firestorm") << "the selection stays";
        // The copy is the table as shown, as runetally-table writes it sorted the same way.
        ASSERT_TRUE(p.commands.copy(lvwSpells));
        std::vector<std::string> args{"runetally-table", "--format", "csv",    "--int",   "280",
                                      "--gain",          "int",      "--sort", click.name};
        if (!click.descending) {
            args.push_back("--ascending");
        }
        const CommandResult terminal = TableCommand::Run(args, '.');
        EXPECT_EQ(terminal.exitCode, 0) << terminal.err;
        EXPECT_EQ(p.view.platform.copied, terminal.out) << click.name;
    }
}

// Cells as a player checks them. Only the best shows 100 % of best: at the first inputs Mana
// Burst deals 99.9923076923077 % of Electric Shield's damage. A gain is the difference of the
// damages shown: Ice Storm's 280/9 + 117 = 148.111111111111, a point more 148.222222222222, not
// the 0.111111111111114 of the doubles. Failures are told in the main window's words: no resist
// divides Fire Shield's 1200 by zero, and Poison's 0/21 × power, 0, by zero.
TEST(PlannerCommands, CellsReadAsAPlayerChecksThem) {
    SpellInputs manaBurst = Worked();
    for (Field field : kInputsTopDown) {
        manaBurst.text(field) = "0";
    }
    manaBurst.varLevel = "99";
    manaBurst.varInt = "688.9";
    manaBurst.varWis = manaBurst.varResist = "100";
    manaBurst.powerAir = "10";
    SpellInputs noResist = Worked();
    noResist.varResist = noResist.varInt = "0";
    using C = SpellColumn;
    const std::tuple<SpellInputs, std::string, SpellColumn, std::string> cases[] = {
        {manaBurst, "Electric Shield", C::PercentOfBest, "100"},
        {manaBurst, "Mana Burst", C::PercentOfBest, "99.99"},
        {Worked(), "Ice Storm", C::Damage, "148.111111111111"},
        {Worked(), "Ice Storm", C::Gain, "0.111111111111"},
        {noResist, "Fire Shield", C::Damage, "divided by zero"},
        {noResist, "Poison", C::Damage, "zero divided by zero"},
    };
    for (const auto& [inputs, spell, column, cell] : cases) {
        Planner p;
        p.commands.follow(inputs);
        const std::vector<std::string> spells = p.view.column(lvwSpells, C::Spell);
        const auto row = std::find(spells.begin(), spells.end(), spell) - spells.begin();
        EXPECT_EQ(p.view.column(lvwSpells, column)[std::size_t(row)], cell) << spell;
    }
}

TEST(PlannerCommands, FollowsTheMainWindowAndKeepsThePlayersChoice) {
    Planner p;
    p.commands.follow(Worked("Meteor"));
    EXPECT_EQ(p.view.form.rows[lvwSpells][0].note, "selected in the main window");
    Pick(p, "Firestorm");
    EXPECT_EQ(p.view.form.rows[lvwInputs][1].cells[1], "0.125")
        << "Firestorm: +1 intelligence, 1/8";

    // The marked spell moves with the main window; the one the player chose stays.
    SpellInputs inputs = Worked("Avalanche");
    inputs.varInt = "800";
    p.commands.follow(inputs);
    EXPECT_EQ(p.view.selectedSpellRow().cells[0], "Firestorm");
    EXPECT_EQ(p.view.selectedSpellRow().cells[2], "257"); // 800/8 + 157
    for (const TableRow& row : p.view.form.rows[lvwSpells]) {
        EXPECT_EQ(row.note.empty(), row.cells[0] != "Avalanche") << row.cells[0];
    }
}

// Damage against the chosen input from 0 to twice its value: the chosen spell and the best
// other, and where one passes the other.
TEST(PlannerCommands, ChartsTheChosenSpellAgainstTheBestOther) {
    const std::tuple<int, const char*, std::string> cases[] = {
        // Meteor 204 + n/7 stays ahead of Firestorm 157 + n/8 from 0 to 560.
        {1, "Meteor",
         "Damage against Inteligence from 0 to 560: Meteor, from 204 to 284; Firestorm, from 157 "
         "to 227. The current value, 280, is marked."},
        // At wisdom 400 Turn Undead deals w(w/16 + 30)/218 and first reaches Meteor's 244 when
        // w² + 480w ≥ 851072: past 713.2, so 314 more points than 400.
        {0, "Turn Undead", "Turn Undead passes Meteor at 713.2 (+314)."},
    };
    for (const auto& [input, spell, said] : cases) {
        Planner p;
        p.view.form.chosen[PlannerControl::cboInput] = input;
        SpellInputs inputs = Worked();
        if (input == 0) {
            inputs.varWis = "400";
        }
        p.commands.follow(inputs);
        Pick(p, spell);
        EXPECT_NE(p.view.form.chart.description.find(said), std::string::npos)
            << p.view.form.chart.description;
        EXPECT_EQ(p.view.form.chart.dots.size(), input == 0 ? 1u : 0u);
        ASSERT_TRUE(p.commands.copy(picChart));
        EXPECT_EQ(p.view.platform.copied.substr(0, p.view.platform.copied.find('\n')),
                  "spell,input,value,outcome,text,field,fault");
    }
}

// Whatever room the chart has, what it draws stays inside it, and the mark stands at the current
// value: halfway between the ticks of 0 and 100 when the value is 50.
TEST(DamageChart, DrawsInsideItsRoomAndMarksTheCurrentValue) {
    const DamageChartData data{
        .input = "Wisdom",
        .at = {0, 50, 100},
        .lines = {{"A", {0.0, 50.0, 100.0}}, {"B", {60.0, std::nullopt, 60.0}}},
        .current = 50,
        .crossings = {{60, 60, "A passes B at 60"}}};
    for (const auto& [width, height] : {std::pair{5100, 3420}, {9000, 6000}, {2000, 1200}}) {
        const ChartPicture picture = DrawDamageChart(data, width, height, '.');
        std::vector<PointTwips> points;
        std::optional<int> mark;
        std::map<std::string, int> xTicks;
        for (const ChartLine& line : picture.lines) {
            points.insert(points.end(), {line.from, line.to});
            if (line.dashed && line.from.x == line.to.x) {
                mark = line.from.x;
            }
        }
        for (const ChartPolyline& line : picture.polylines) {
            points.insert(points.end(), line.points.begin(), line.points.end());
        }
        for (const ChartText& text : picture.texts) {
            points.push_back(text.at);
            if (text.anchor == TextAnchor::Top) {
                xTicks[text.text] = text.at.x;
            }
        }
        for (const PointTwips& p : points) {
            EXPECT_TRUE(p.x >= 0 && p.x <= width && p.y >= 0 && p.y <= height)
                << p.x << ',' << p.y << " in " << width << 'x' << height;
        }
        EXPECT_EQ(picture.polylines.size(), 3u) << "B is broken where it has no damage";
        ASSERT_TRUE(mark && xTicks.contains("0") && xTicks.contains("100")) << width;
        EXPECT_NEAR(*mark, (xTicks["0"] + xTicks["100"]) / 2.0, 1) << width;
        EXPECT_EQ(picture.dots.size(), 1u);
    }
}

// Inputs near the largest double: the chart says it cannot be drawn rather than hang or draw
// nowhere, and the tables still show.
TEST(PlannerCommands, ChartsOrDeclinesInputsNearTheLargestDouble) {
    for (const char* intelligence : {"1e300", "1.7e308"}) {
        Planner p;
        SpellInputs inputs = Worked("Meteor");
        inputs.varInt = intelligence;
        inputs.varResist = "-100";
        p.commands.follow(inputs);
        EXPECT_EQ(p.view.form.rows[lvwSpells].size(), 41u) << intelligence;
        const std::string& said = p.view.form.chart.description;
        EXPECT_TRUE(said.starts_with("Damage against Inteligence from 0 to ") ||
                    said == "The figures are too large to chart.")
            << said;
    }
}

// The chart reaches the crossing that Points to best reports, and labels it with its value and
// the raise; Tsunami (n/7 + 126) passes Avalanche (n/8 + 145) at n/56 = 19, 1064, far past
// twice 100. Meteor ((n/7 + 204) × fire/100) passes Hurricane (n/7 + 155) at fire
// 100 × 1185/1528 = 77.552..., 18 points above 60.
TEST(PlannerCommands, ChartsReachTheCrossingThatPointsToBestReports) {
    const std::tuple<int, const char*, std::vector<std::pair<Field, const char*>>, double,
                     std::string>
        cases[] = {
            {1,
             "Tsunami",
             {{Field::powerLight, "0"},
              {Field::powerEarth, "0"},
              {Field::powerFire, "0"},
              {Field::powerAir, "0"},
              {Field::powerDark, "0"},
              {Field::varInt, "100"}},
             1064,
             "Tsunami passes Avalanche at 1064 (+964)."},
            {5,
             "Meteor",
             {{Field::varInt, "100"}, {Field::powerFire, "60"}},
             77.55,
             "Meteor passes Hurricane at 77.55 (+18)."},
        };
    for (const auto& [input, spell, texts, crossing, said] : cases) {
        Planner p;
        p.view.form.chosen[PlannerControl::cboInput] = input;
        SpellInputs inputs = Worked();
        for (const auto& [field, text] : texts) {
            inputs.text(field) = text;
        }
        p.commands.follow(inputs);
        Pick(p, spell);
        const std::string& described = p.view.form.chart.description;
        EXPECT_NE(described.find(said), std::string::npos) << described;
        ASSERT_TRUE(p.commands.copy(picChart));
        const std::string& sweep = p.view.platform.copied;
        const std::string last = sweep.substr(sweep.rfind('\n', sweep.size() - 2) + 1);
        const double end = std::stod(last.substr(last.find(',', last.find(',') + 1) + 1));
        EXPECT_GT(end, crossing) << last;
    }
}

// A pole keeps to the edge of the plot, the rest of the lines keep their room; the second line
// is dashed; the y-axis says what it shows; a large value's tick is short.
TEST(DamageChart, KeepsThePlotForTheLinesThePlayerReads) {
    DamageChartData data{
        .input = "Target Elemental Resist", .at = {}, .lines = {{"A", {}}, {"B", {}}}};
    for (int i = 0; i <= 100; ++i) {
        data.at.push_back(i);
        data.lines[0].damage.push_back(i == 0 ? std::nullopt : std::optional(1000.0 / i));
        data.lines[1].damage.push_back(20.0);
    }
    // A label longer than the room beside its dot starts at the plot's left edge instead.
    const std::string label = "Chain Lightning passes Electric Shield at 97.53 (+1000000)";
    data.crossings = {{97.5, 20, label}};
    const ChartPicture picture = DrawDamageChart(data, 6000, 4000, '.');
    const auto said = std::find_if(picture.texts.begin(), picture.texts.end(),
                                   [&](const ChartText& t) { return t.text == label; });
    ASSERT_NE(said, picture.texts.end());
    EXPECT_EQ(said->anchor, TextAnchor::BottomLeft);
    EXPECT_LT(said->at.x, picture.dots.front().centre.x - 2000);
    double highest = 0;
    for (const ChartText& text : picture.texts) {
        if (text.anchor == TextAnchor::Right) {
            highest = std::max(highest, std::stod(text.text));
        }
    }
    // Of the 201 values, sorted, the 191st is A's 1000/11 and the 11th A's 1000/90: the axis
    // reaches past the first, and stops far short of the pole's 1000.
    EXPECT_GE(highest, 1000.0 / 11);
    EXPECT_LT(highest, 200);
    ASSERT_FALSE(picture.polylines.empty());
    EXPECT_FALSE(picture.polylines.front().dashed);
    EXPECT_TRUE(picture.polylines.back().dashed);
    EXPECT_TRUE(std::any_of(picture.texts.begin(), picture.texts.end(),
                            [](const ChartText& t) { return t.text == "Damage"; }));

    data.lines = {{"A", {0.0, 3e7}}};
    data.at = {0, 1};
    std::vector<std::string> ticks;
    for (const ChartText& text : DrawDamageChart(data, 6000, 4000, '.').texts) {
        if (text.anchor == TextAnchor::Right) {
            ticks.push_back(text.text);
        }
    }
    EXPECT_NE(std::find(ticks.begin(), ticks.end(), "3E+07"), ticks.end());
    EXPECT_EQ(std::find(ticks.begin(), ticks.end(), "30000000"), ticks.end());
}

TEST(TickStep, TakesTheLeastOneTwoOrFiveTimesAPowerOfTenThatFits) {
    const std::tuple<double, int, double> cases[] = {
        {100, 10, 10}, {560, 200, 5}, {1, 4, 0.5}, {7, 3, 5}, {1000, 4, 500}, {0.3, 3, 0.1},
    };
    for (const auto& [span, most, step] : cases) {
        EXPECT_DOUBLE_EQ(TickStep(span, most), step) << span << " in " << most;
    }
}

} // namespace

namespace {

// B is the worked character with intelligence 350: Meteor 350/7 + 204 = 254, 10 more than A's
// 244, 4.1% of it; Firestorm 350/8 + 157 = 200.75, 8.75 more than 192, 4.6%.
TEST(PlannerCommands, ComparesWithACharacterFromAFileAsTheTerminalDoes) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("runetally-b-" + std::to_string(std::random_device{}()) + ".rtchar");
    std::ofstream(file) << R"({"format": "runetally-character", "version": 1, "spell": "",
        "inputs": {"level": "99", "int": "350", "wis": "100", "resist": "100", "light": "100",
        "earth": "100", "fire": "100", "air": "100", "water": "100", "dark": "100"}})";
    Planner p;
    p.commands.follow(Worked());
    EXPECT_FALSE(p.commands.click(lvwSpells));
    p.commands.click(cmdCompare); // the player cancels the dialog
    EXPECT_FALSE(p.view.form.shown[cmdStopCompare]);
    p.view.platform.toOpen = file.string();
    p.commands.click(cmdCompare);
    EXPECT_TRUE(p.view.form.shown[cmdStopCompare]);
    ASSERT_EQ(p.view.form.columns[lvwSpells].size(), 9u);
    EXPECT_EQ(p.view.form.columns[lvwSpells][6].caption, "Damage (B)");
    EXPECT_EQ(p.view.status(), "Comparing with " + file.filename().string() + " (B)");
    const std::vector<std::string> meteor{"254", "10", "4.1"};
    const std::vector<std::string> firestorm{"200.75", "8.75", "4.6"};
    EXPECT_EQ(std::vector(p.view.form.rows[lvwSpells][0].cells.begin() + 6,
                          p.view.form.rows[lvwSpells][0].cells.end()),
              meteor);
    EXPECT_EQ(std::vector(p.view.form.rows[lvwSpells][1].cells.begin() + 6,
                          p.view.form.rows[lvwSpells][1].cells.end()),
              firestorm);

    // The copy holds every column shown, Gain and Points to best too, in the order shown.
    const auto terminal = [&](std::vector<std::string> sort) {
        std::vector<std::string> args{
            "runetally-table", "--format", "csv",    "--compare", file.string(),
            "--int",           "280",      "--gain", "int",       "--sort"};
        args.insert(args.end(), sort.begin(), sort.end());
        const CommandResult result = TableCommand::Run(args, '.');
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    };
    ASSERT_TRUE(p.commands.copy(lvwSpells));
    EXPECT_EQ(p.view.platform.copied, terminal({}));
    EXPECT_TRUE(p.view.platform.copied.starts_with(
        "spell,element,outcome,text,field,fault,percent_of_best,gain,percent,to_best,damage_b,"
        "difference,difference_percent\nMeteor,Fire,ShowText,244,,,100,"));

    p.commands.lvwSpells_ColumnClick(static_cast<int>(SpellColumn::Difference));
    ASSERT_TRUE(p.commands.copy(lvwSpells));
    EXPECT_EQ(p.view.platform.copied, terminal({"difference"}));
    p.commands.lvwSpells_ColumnClick(static_cast<int>(SpellColumn::DifferencePercent));
    p.commands.lvwSpells_ColumnClick(static_cast<int>(SpellColumn::DifferencePercent));
    ASSERT_TRUE(p.commands.copy(lvwSpells));
    EXPECT_EQ(p.view.platform.copied, terminal({"difference_percent", "--ascending"}));

    p.commands.lvwSpells_ColumnClick(static_cast<int>(SpellColumn::Difference));
    const std::vector<std::string> differences = p.view.column(lvwSpells, SpellColumn::Difference);
    EXPECT_EQ(differences[0], "10") << "Meteor's is the largest difference";
    for (std::size_t i = 1; i < differences.size(); ++i) {
        const bool number = !differences[i].empty() &&
                            differences[i].find_first_not_of("0123456789.-e+") == std::string::npos;
        if (number) {
            EXPECT_GE(std::stod(differences[i - 1]), std::stod(differences[i])) << i;
        }
    }
    p.commands.click(cmdStopCompare);
    EXPECT_FALSE(p.view.form.shown[cmdStopCompare]);
    EXPECT_EQ(p.view.form.columns[lvwSpells].size(), 6u);
    EXPECT_EQ(p.view.form.rows[lvwSpells][0].cells.size(), 6u);
    EXPECT_EQ(p.view.form.sortMark, std::pair(int(SpellColumn::Damage), true));
    std::filesystem::remove(file);
}

} // namespace

namespace {

// Characters whose percents lie beyond a tenth of the largest double, as a file can hold them:
// every percent is still shown, and is the share its row's damages make, worked out here from
// the texts shown.
TEST(PlannerCommands, ShowsPercentsUpToTheLargestDouble) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("runetally-huge-" + std::to_string(std::random_device{}()) + ".rtchar");
    std::ofstream(file) << R"({"format": "runetally-character", "version": 1, "spell": "",
        "inputs": {"level": "99", "int": "2.1e6", "wis": "100", "resist": "100", "light": "100",
        "earth": "100", "fire": "100", "air": "100", "water": "100", "dark": "100"}})";
    const auto number = [](const std::string& text) { return ParseNumber(text).value_or(0); };
    const auto near = [](double shown, double share) {
        return std::abs(shown - share) <= std::max(0.05, std::abs(share) * 1e-13);
    };
    struct Case {
        std::vector<std::pair<Field, const char*>> inputs;
        bool compare; // the percent of A that B's damage differs by, else the percent of best
    };
    const Case cases[] = {
        {{{Field::varLevel, "1e-291"},
          {Field::varInt, "1e-158"},
          {Field::varWis, "1e-57"},
          {Field::varResist, "-1e-138"},
          {Field::powerLight, "1e210"},
          {Field::powerEarth, "1e-283"},
          {Field::powerFire, "1e-273"},
          {Field::powerAir, "1e94"},
          {Field::powerWater, "1e167"},
          {Field::powerDark, "1e277"}},
         false},
        {{{Field::varInt, "2.1e-300"}}, true},
    };
    for (const Case& c : cases) {
        Planner p;
        SpellInputs inputs = Worked();
        inputs.varInt = "100";
        for (const auto& [field, text] : c.inputs) {
            inputs.text(field) = text;
        }
        p.commands.follow(inputs);
        if (c.compare) {
            p.view.platform.toOpen = file.string();
            p.commands.click(cmdCompare);
        }
        const std::vector<TableRow>& rows = p.view.form.rows[lvwSpells];
        ASSERT_EQ(rows.size(), 41u);
        const double best = number(rows[0].cells[2]);
        double largest = 0;
        for (const TableRow& row : rows) {
            const std::string& percent = row.cells[c.compare ? 8 : 3];
            const double a = number(row.cells[2]);
            const double b = c.compare ? number(row.cells[6]) : best;
            if (percent.empty() || percent.starts_with("Arith")) {
                continue; // a damage that failed, or a difference too large itself
            }
            const double share = c.compare ? (b - a) / a * 100 : a / b * 100;
            EXPECT_TRUE(near(number(percent), share)) << row.cells[0] << ": " << percent;
            largest = std::max(largest, std::abs(number(percent)));
        }
        EXPECT_GT(largest, 1.8e307) << "beyond what can be multiplied by ten";
    }
    std::filesystem::remove(file);
}

} // namespace
