#include "captionfit.h"
#include "fakemain.h"
#include "mainwindow.h"
#include "spelltable.h"
#include "windowservices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using namespace runetally;

namespace {

using enum MainControl;
Field FieldOf(MainControl box) {
    for (Field field : kInputsTopDown) {
        if (BoxOf(field) == box) {
            return field;
        }
    }
    throw std::logic_error("not an input box");
}

std::vector<std::string_view> Names(std::span<const ControlId> ids) {
    std::vector<std::string_view> names;
    for (ControlId id : ids) {
        names.push_back(MainWindowDescription().controlName(id));
    }
    return names;
}

TEST(MainWindowDescription, LaysOutEveryWidgetOnThePixelGridWithACaptionedBox) {
    const FormDesc& form = MainWindowDescription();
    for (const WidgetDesc& w : form.widgets) {
        const std::string_view name = form.controlName(w.id);
        for (int v : {w.rect.left, w.rect.top, w.rect.width, w.rect.height}) {
            EXPECT_EQ(v % 15, 0) << name;
        }
        EXPECT_LE(w.rect.left + w.rect.width, form.clientWidth) << name;
        EXPECT_LE(w.rect.top + w.rect.height, form.clientHeight) << name;
    }
    const std::vector<ControlId> focusOrder = {
        varResist,  varWis,    varInt,     powerLight, powerEarth,   powerFire, powerAir,
        powerWater, powerDark, listSpells, dmg,        cmdCalculate, varLevel};
    EXPECT_EQ(Names(form.focusOrder), Names(focusOrder));
    const std::pair<MainControl, std::string_view> named[] = {
        {varInt, "Inteligence"}, {varResist, "Target Elemental Resist"},
        {dmg, "DAMAGE"},         {listSpells, "Spells"},
        {varLevel, "Level"},     {cmdCalculate, "Calculate The Damage"}};
    for (const auto& [id, heard] : named) {
        EXPECT_EQ(AccessibleName(form, form.widget(id)), heard) << ControlName(id);
    }
}

// What the player sees of a control: a menu's or item's caption, else the widget's text.
std::string_view Shown(ControlId id) {
    for (const MenuDesc& menu : MainWindowDescription().menus) {
        if (menu.id == id) {
            return menu.caption;
        }
        for (const MenuItemDesc& item : menu.items) {
            if (item.id == id) {
                return item.caption;
            }
        }
    }
    return AccessibleName(MainWindowDescription(), MainWindowDescription().widget(id));
}

// What a press did to the window, in a word.
std::string Effect(FakeMain& view) {
    std::string effect;
    if (view.form.texts.at(dmg) != "0") {
        effect += "shows " + view.form.texts.at(dmg);
    }
    if (view.form.changed.size() == 11) {
        effect += "reset";
    }
    if (!view.platform.messages.empty()) {
        effect += "says " + view.platform.messages.front();
    }
    effect += std::string(view.platform.windowsShown[Window::About], 'A') +
              std::string(view.platform.windowsShown[Window::Planner], 'P') +
              std::string(view.form.closes, 'X');
    return effect;
}

TEST(MainCommands, EachButtonAndMenuItemRunsItsCommand) {
    const std::tuple<MainControl, std::string_view, std::string> cases[] = {
        {cmdCalculate, "Calculate The Damage", "shows No Spell Selected"},
        {mnuReset, "&Reset", "reset"},
        {mnuExit, "&Exit", "X"},
        {mnuPlanner, "Spell &Planner...", "P"},
        {mnuTools, "&Tools", ""},
        {mnuAbout, "&About", "A"},
        {mnuHelpme, "Help &Me", "says Sorry, but this feature is not implemented yet"},
        {mnuFile, "&File", ""},
        {Label1, "Wisdom", ""},
    };
    for (const auto& [id, shown, effect] : cases) {
        FakeMain view;
        MainCommands commands(view.form, view.platform);
        EXPECT_EQ(commands.click(id), !effect.empty()) << ControlName(id);
        EXPECT_EQ(Effect(view), effect) << ControlName(id);
        EXPECT_EQ(Shown(id), shown) << ControlName(id);
    }
}

TEST(MainCommands, StartTextsAndAnEmptySelection) {
    FakeMain view;
    MainCommands commands(view.form, view.platform);
    commands.cmdCalculate_Click();
    EXPECT_EQ(view.form.texts.at(dmg), "No Spell Selected");
    for (const auto& [box, text] : view.boxes()) {
        if (box != dmg) {
            EXPECT_EQ(text, box == varLevel ? "99" : "100") << ControlName(box.as<MainControl>());
        }
    }
}

// Worked by hand at the start texts: intelligence, wisdom, powers and resist 100, level 99.
struct Worked {
    const char* spell;
    Texts typed;
    char separator;
    const char* shown;
};

TEST(MainCommands, CalculateShowsTheWorkedDamage) {
    const Worked cases[] = {
        {"Avalanche", {}, '.', "157.5"},              // (100/8 + 145) * 100 / 100
        {"Inferno", {}, '.', "139.5"},                // 12.5 + 127
        {"Electric Shield", {}, '.', "10"},           // 1000 / 100
        {"Ice Shield", {}, '.', "26"},                // 2600 / 100
        {"Turn Undead", {}, '.', "16.6284403669725"}, // 36.25 * 100 / 218
        {"Poison", {}, '.', "4.76190476190476"},      // 100/21
        {"Mana Burst", {{varResist, "0"}}, '.', "54.6923076923077"},
        {"Vortex of Air", {}, '.', "64.3333333333333"},
        {"Flame Wave", {}, '.', "72.25"},
        {"Avalanche", {{varResist, "-100"}}, '.', "-157.5"},
        {"Avalanche", {}, ',', "157,5"},
        {"Avalanche", {{varResist, "0,5"}}, ',', "31500"},
        {"", {{varInt, ""}}, '.', "No Spell Selected"},
    };
    for (const Worked& c : cases) {
        FakeMain view;
        MainCommands commands(view.form, view.platform);
        view.choose(c.spell);
        view.platform.separator = c.separator;
        for (const auto& [box, text] : c.typed) {
            view.form.texts.at(box) = text;
        }
        commands.cmdCalculate_Click();
        EXPECT_EQ(view.form.texts.at(dmg), c.shown) << c.spell;
        EXPECT_TRUE(view.platform.messages.empty()) << c.spell;
    }
}

TEST(MainCommands, FailureNamesTheBoxOrFaultAndChangesNothing) {
    const std::tuple<const char*, Texts, const char*> cases[] = {
        {"Avalanche", {{varInt, "abc"}}, R"(The text in "Inteligence" is not a number.)"},
        {"Boulders", {{varWis, ""}}, R"(The text in "Wisdom" is not a number.)"},
        {"Avalanche",
         {{varResist, "1O0"}},
         R"(The text in "Target Elemental Resist" is not a number.)"},
        {"Turn Undead", {{powerLight, "x"}}, R"(The text in "Light Power" is not a number.)"},
        {"Boulders", {{powerEarth, "x"}}, R"(The text in "Earth Power" is not a number.)"},
        {"Fireball", {{powerFire, "x"}}, R"(The text in "Fire Power" is not a number.)"},
        {"Tornado", {{powerAir, "x"}}, R"(The text in "Air Power" is not a number.)"},
        {"Avalanche",
         {{powerWater, "x"}, {varResist, "0"}},
         R"(The text in "Water Power" is not a number.)"},
        {"Drain Life", {{powerDark, "x"}}, R"(The text in "Dark Power" is not a number.)"},
        {"Turn Undead", {{varLevel, ""}}, R"(The text in "Level" is not a number.)"},
        {"Avalanche", {{varResist, "0"}}, "A value was divided by zero."},
        {"Avalanche", {{powerWater, "0"}, {varResist, "0"}}, "Zero was divided by zero."},
        {"Meteor", {{varInt, "1e308"}}, "The result is too large."},
    };
    for (const auto& [spell, typed, message] : cases) {
        FakeMain view;
        MainCommands commands(view.form, view.platform);
        view.choose(spell);
        commands.cmdCalculate_Click(); // a result from the start texts, which the failure keeps
        for (const auto& [box, text] : typed) {
            view.form.texts.at(box) = text;
        }
        const auto before = view.form.texts;
        view.form.changed.clear();
        commands.cmdCalculate_Click();
        EXPECT_EQ(view.platform.messages, std::vector<std::string>{message});
        EXPECT_EQ(view.form.texts, before) << message;
        EXPECT_EQ(view.textsWhileMessage, before) << message;
        EXPECT_TRUE(view.form.changed.empty()) << message;
        EXPECT_EQ(view.spell(), spell);
    }
}

TEST(MainCommands, ResetZeroesTheElevenBoxesInItsOrderAndKeepsTheSpell) {
    FakeMain view;
    MainCommands commands(view.form, view.platform);
    view.choose("Avalanche");
    commands.mnuReset_Click();
    EXPECT_EQ(view.form.changed,
              (std::vector<ControlId>{dmg, powerLight, powerEarth, powerWater, powerAir, powerFire,
                                      powerDark, varResist, varWis, varInt, varLevel}));
    for (const auto& [box, text] : view.boxes()) {
        EXPECT_EQ(text, "0") << ControlName(box.as<MainControl>());
    }
    commands.mnuReset_Click();
    EXPECT_EQ(view.boxes().size(), 11u);
    EXPECT_EQ(view.spell(), "Avalanche");
    commands.cmdCalculate_Click();
    EXPECT_EQ(view.platform.messages, std::vector<std::string>{"Zero was divided by zero."});
}

// The planner hears of every edit of an input box and every new selection while it is loaded,
// with the texts as they stand; the main window changes nothing on its own.
TEST(MainCommands, PlannerIsToldEveryEditAndSelectionWhileLoaded) {
    FakeMain view;
    MainCommands commands(view.form, view.platform);
    EXPECT_TRUE(commands.change(varInt)) << "not loaded: nobody to tell";
    EXPECT_TRUE(view.platform.following.told.empty());

    commands.click(mnuPlanner);
    ASSERT_EQ(view.platform.following.told.size(), 1u) << "told as soon as it is shown";
    EXPECT_EQ(view.platform.following.told.back().varLevel, "99");
    EXPECT_EQ(view.platform.following.told.back().spellName, "");

    const std::tuple<MainControl, const char*, bool> edits[] = {
        {varInt, "abc", true},        {powerDark, "", true}, {varLevel, "7", true},
        {listSpells, "Meteor", true}, {dmg, "12", false},    {cmdCalculate, "", false},
    };
    for (const auto& [control, text, told] : edits) {
        const std::size_t before = view.platform.following.told.size();
        if (control == listSpells) {
            view.choose(text);
        } else if (view.boxes().contains(control)) {
            view.form.texts.at(control) = text;
        }
        EXPECT_EQ(commands.change(control), told) << ControlName(control);
        ASSERT_EQ(view.platform.following.told.size(), before + (told ? 1 : 0))
            << ControlName(control);
        if (told && control != listSpells) {
            EXPECT_EQ(view.platform.following.told.back().text(FieldOf(control)), text);
        }
    }
    EXPECT_EQ(view.platform.following.told.back().spellName, "Meteor");
    EXPECT_EQ(view.platform.following.told.back().varInt, "abc");
    EXPECT_TRUE(view.form.changed.empty());
    EXPECT_TRUE(view.platform.messages.empty());
}

// A paste is asked about with the length the box would have; one past 32,767 is refused whole.
TEST(MainCommands, PasteThatWouldPassTheLimitIsRefusedWithAWord) {
    const std::tuple<MainControl, std::size_t, const char*> cases[] = {
        {varInt, 32767, ""},
        {varInt, 32768,
         R"(The text pasted into "Inteligence" would make it longer than 32767 characters, )"
         "so it was not pasted."},
        {varResist, 1u << 20,
         R"(The text pasted into "Target Elemental Resist" would make it longer than 32767 )"
         "characters, so it was not pasted."},
        {varLevel, 0, ""},
        {dmg, 1u << 20, ""}, // no limit
    };
    for (const auto& [box, length, message] : cases) {
        FakeMain view;
        MainCommands commands(view.form, view.platform);
        const Texts before = view.form.texts;
        EXPECT_EQ(commands.pasteFits(box, length), *message == '\0') << length;
        EXPECT_EQ(view.platform.messages,
                  *message ? std::vector<std::string>{message} : std::vector<std::string>{});
        EXPECT_EQ(view.form.texts, before);
    }
}

// A face whose characters are all as wide, in pixels per point; a line is half again its size.
class EvenFace : public TextMeasure {
public:
    explicit EvenFace(double width) : width_(width) {}
    int width(std::string_view text, double points) override {
        return int(std::lround(double(text.size()) * points * width_));
    }
    int wrappedHeight(std::string_view text, double points, int width) override {
        const double lines = std::ceil(double(text.size()) * points * width_ / width);
        return int(lines) * int(std::lround(points * 1.5));
    }

private:
    double width_;
};

// Worked from the boxes at 96 dpi: "Elemental" in 57 pixels, "Wisdom" in 17 pixels' height,
// "Target Elemental Resist" in 57 x 41 and "Light Power" in 65 x 17 bind.
TEST(FitCaptions, KeepsTheDefaultSizeWhenAllFitElseTheLargestHalfPointThatDoes) {
    const std::tuple<double, double, std::optional<double>> cases[] = {
        {0.5, 8, std::nullopt}, // everything fits
        {0.5, 12, 9.5},         // 12: a line of 18 in "Wisdom"; 10: three lines of the resist
        {0.8, 10, 7.0},         // 7.5: "Light Power" takes 66 pixels
        {2.0, 9, 6.0},          // nothing fits: the smallest
    };
    for (const auto& [face, points, fitted] : cases) {
        EvenFace measure(face);
        EXPECT_EQ(FitCaptions(MainWindowDescription(), 96, points, measure), fitted)
            << face << " at " << points;
    }
}

// A widget that stretches moves each edge by its share of what the window gained, on the grid.
TEST(Placed, MovesEachEdgeByItsShareOfTheAddedRoomOnTheGrid) {
    struct Case {
        Stretch stretch;
        int width;
        int height;
        TwipsRect placed;
    };
    const Case cases[] = {
        {{}, 3000, 3000, {150, 300, 900, 600}},                             // stays put
        {{.right = 60, .bottom = 100}, 3000, 2100, {150, 300, 1800, 1200}}, // +1500 wide, +600 high
        {{.left = 60, .right = 100}, 3000, 1500, {1050, 300, 1500, 600}},   // moves 900, grows 600
        {{.right = 60}, 1545, 1500, {150, 300, 915, 600}},                  // 27 twips: one step
        {{.right = 100, .bottom = 100}, 600, 600, {150, 300, 900, 600}},    // smaller: nothing
    };
    const WidgetDesc widget{.id = MainControl::Label1, .rect = {150, 300, 900, 600}};
    for (const Case& c : cases) {
        FormDesc form = MainWindowDescription();
        form.clientWidth = 1500;
        form.clientHeight = 1500;
        WidgetDesc stretched = widget;
        stretched.stretch = c.stretch;
        const TwipsRect r = Placed(form, stretched, c.width, c.height);
        EXPECT_EQ(std::tie(r.left, r.top, r.width, r.height),
                  std::tie(c.placed.left, c.placed.top, c.placed.width, c.placed.height))
            << c.width << 'x' << c.height;
    }
}

// A window as the shared instance sees it.
struct FakeWindow {
    int activations = 0;
    bool closed = false;
    FormInstance<FakeWindow>* instance = nullptr;
    void activate() { ++activations; }
    void close() {
        closed = true;
        instance->unloaded(this);
    }
};

TEST(FormInstance, LoadsOnFirstShowActivatesWhileShownAndLoadsAnewAfterUnload) {
    std::vector<std::unique_ptr<FakeWindow>> made;
    FormInstance<FakeWindow> instance([&] {
        made.push_back(std::make_unique<FakeWindow>());
        made.back()->instance = &instance;
        return made.back().get();
    });
    EXPECT_EQ(instance.loaded(), nullptr);
    instance.unload(); // nothing loaded: nothing to do
    FakeWindow& first = instance.show();
    EXPECT_EQ(&instance.show(), &first);
    EXPECT_EQ(made.size(), 1u);
    EXPECT_EQ(first.activations, 2);

    instance.unload();
    EXPECT_TRUE(first.closed);
    EXPECT_EQ(instance.loaded(), nullptr);
    FakeWindow& second = instance.show();
    EXPECT_NE(&second, &first);
    instance.unloaded(&first); // a late word from the old window changes nothing
    EXPECT_EQ(instance.loaded(), &second);
}

} // namespace
