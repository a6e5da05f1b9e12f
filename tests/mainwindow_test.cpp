#include "mainwindow.h"
#include "spelltable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace runetally;

namespace {

// The main window as its commands see it, held in memory.
class FakeMainView : public MainView {
public:
    FakeMainView() {
        for (const WidgetDesc& widget : MainWindowDescription().widgets) {
            if (widget.kind == WidgetKind::TextBox) {
                texts[std::string(widget.name)] = std::string(widget.text);
            }
        }
    }

    std::string text(std::string_view box) const override { return texts.at(std::string(box)); }
    void setText(std::string_view box, std::string_view text) override {
        texts.at(std::string(box)) = text;
        changed.emplace_back(box);
    }
    std::string selectedSpell() const override { return spell; }
    void showAbout() override { ++aboutShown; }
    char decimalSeparator() const override { return separator; }
    void showMessage(std::string_view text) override {
        messages.emplace_back(text);
        textsWhileMessage = texts;
    }
    void unload() override { ++unloads; }

    std::map<std::string, std::string> texts;
    std::string spell;
    char separator = '.';
    std::vector<std::string> changed;
    std::vector<std::string> messages;
    std::map<std::string, std::string> textsWhileMessage;
    int aboutShown = 0;
    int unloads = 0;
};

TEST(MainWindowDescription, LaysOutEveryWidgetOnThePixelGridWithACaptionedBox) {
    const FormDesc& form = MainWindowDescription();
    EXPECT_EQ(form.clientWidth, 622 * 15);
    EXPECT_EQ(form.clientHeight, 476 * 15);
    std::set<std::string_view> names;
    for (const WidgetDesc& w : form.widgets) {
        EXPECT_TRUE(names.insert(w.name).second) << "name used twice: " << w.name;
        for (int v : {w.rect.left, w.rect.top, w.rect.width, w.rect.height}) {
            EXPECT_EQ(v % 15, 0) << w.name;
        }
        EXPECT_LE(w.rect.left + w.rect.width, form.clientWidth) << w.name;
        EXPECT_LE(w.rect.top + w.rect.height, form.clientHeight) << w.name;
    }
    // Every focus stop exists, none twice, and every box has a caption a screen reader reads.
    std::set<std::string_view> stops(form.focusOrder.begin(), form.focusOrder.end());
    EXPECT_EQ(stops.size(), form.focusOrder.size());
    for (std::string_view stop : form.focusOrder) {
        const WidgetDesc* w = FindWidget(form, stop);
        ASSERT_NE(w, nullptr) << stop;
        EXPECT_NE(w->kind, WidgetKind::Label) << stop;
        EXPECT_FALSE(AccessibleName(form, *w).empty()) << stop;
    }
    EXPECT_EQ(form.focusOrder.front(), "varResist");
    // Every front end stops a paste into an input box where a Windows edit box would.
    for (Field field : {Field::varLevel, Field::varInt, Field::varWis, Field::varResist,
                        Field::powerLight, Field::powerEarth, Field::powerFire, Field::powerAir,
                        Field::powerWater, Field::powerDark}) {
        EXPECT_EQ(FindWidget(form, BoxName(field))->maxLength, 32767) << BoxName(field);
    }
    const std::pair<std::string_view, std::string_view> named[] = {
        {"varInt", "Inteligence"}, {"varResist", "Target Elemental Resist"},
        {"dmg", "DAMAGE"},         {"listSpells", "Spells"},
        {"varLevel", "Level"},     {"cmdCalculate", "Calculate The Damage"}};
    for (const auto& [name, heard] : named) {
        EXPECT_EQ(AccessibleName(form, *FindWidget(form, name)), heard) << name;
    }
}

TEST(MainWindowDescription, MenusCarryTheirAccessKeysAndReachACommand) {
    FakeMainView view;
    MainCommands commands(view);
    std::string keys;
    for (const MenuDesc& menu : MainWindowDescription().menus) {
        keys += menu.caption[menu.caption.find('&') + 1];
        for (const MenuItemDesc& item : menu.items) {
            keys += item.caption[item.caption.find('&') + 1];
            if (item.name != "mnuHelpme" && item.name != "mnuExit") {
                EXPECT_TRUE(commands.click(item.name)) << item.name;
            }
        }
    }
    EXPECT_EQ(keys, "FREHAM");
    EXPECT_FALSE(commands.click("Label1"));
    EXPECT_FALSE(commands.click("mnuFile"));
}

TEST(MainCommands, StartTextsAndAnEmptySelection) {
    FakeMainView view;
    MainCommands commands(view);
    commands.cmdCalculate_Click();
    EXPECT_EQ(view.texts.at("dmg"), "No Spell Selected");
    for (const auto& [box, text] : view.texts) {
        if (box != "dmg") {
            EXPECT_EQ(text, box == "varLevel" ? "99" : "100") << box;
        }
    }
}

// Worked by hand at the start texts: intelligence, wisdom, powers and resist 100, level 99.
struct Worked {
    const char* spell;
    std::map<std::string, std::string> typed;
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
        {"Mana Burst", {{"varResist", "0"}}, '.', "54.6923076923077"},
        {"Vortex of Air", {}, '.', "64.3333333333333"},
        {"Flame Wave", {}, '.', "72.25"},
        {"Avalanche", {{"varResist", "-100"}}, '.', "-157.5"},
        {"Avalanche", {}, ',', "157,5"},
        {"Avalanche", {{"varResist", "0,5"}}, ',', "31500"},
        {"avalanche", {}, '.', "0"}, // not a spell: nothing changes
        {"", {{"varInt", ""}}, '.', "No Spell Selected"},
    };
    for (const Worked& c : cases) {
        FakeMainView view;
        MainCommands commands(view);
        view.spell = c.spell;
        view.separator = c.separator;
        for (const auto& [box, text] : c.typed) {
            view.texts.at(box) = text;
        }
        commands.click("cmdCalculate");
        EXPECT_EQ(view.texts.at("dmg"), c.shown) << c.spell;
        EXPECT_TRUE(view.messages.empty()) << c.spell;
    }
}

TEST(MainCommands, FailureNamesTheBoxOrFaultAndChangesNothing) {
    const std::tuple<const char*, std::map<std::string, std::string>, const char*> cases[] = {
        {"Avalanche", {{"varInt", "abc"}}, R"(The text in "Inteligence" is not a number.)"},
        {"Boulders", {{"varWis", ""}}, R"(The text in "Wisdom" is not a number.)"},
        {"Avalanche",
         {{"varResist", "1O0"}},
         R"(The text in "Target Elemental Resist" is not a number.)"},
        {"Turn Undead", {{"powerLight", "x"}}, R"(The text in "Light Power" is not a number.)"},
        {"Boulders", {{"powerEarth", "x"}}, R"(The text in "Earth Power" is not a number.)"},
        {"Fireball", {{"powerFire", "x"}}, R"(The text in "Fire Power" is not a number.)"},
        {"Tornado", {{"powerAir", "x"}}, R"(The text in "Air Power" is not a number.)"},
        {"Avalanche",
         {{"powerWater", "x"}, {"varResist", "0"}},
         R"(The text in "Water Power" is not a number.)"},
        {"Drain Life", {{"powerDark", "x"}}, R"(The text in "Dark Power" is not a number.)"},
        {"Turn Undead", {{"varLevel", ""}}, R"(The text in "Level" is not a number.)"},
        {"Avalanche", {{"varResist", "0"}}, "A value was divided by zero."},
        {"Avalanche", {{"powerWater", "0"}, {"varResist", "0"}}, "Zero was divided by zero."},
        {"Meteor", {{"varInt", "1e308"}}, "The result is too large."},
    };
    for (const auto& [spell, typed, message] : cases) {
        FakeMainView view;
        MainCommands commands(view);
        view.spell = spell;
        commands.cmdCalculate_Click(); // a result from the start texts, which the failure keeps
        for (const auto& [box, text] : typed) {
            view.texts.at(box) = text;
        }
        const auto before = view.texts;
        view.changed.clear();
        commands.cmdCalculate_Click();
        EXPECT_EQ(view.messages, std::vector<std::string>{message});
        EXPECT_EQ(view.texts, before) << message;
        EXPECT_EQ(view.textsWhileMessage, before) << message;
        EXPECT_TRUE(view.changed.empty()) << message;
        EXPECT_EQ(view.spell, spell);
    }
}

TEST(MainCommands, ResetZeroesTheElevenBoxesInItsOrderAndKeepsTheSpell) {
    FakeMainView view;
    MainCommands commands(view);
    view.spell = "Avalanche";
    commands.click("mnuReset");
    EXPECT_EQ(view.changed,
              (std::vector<std::string>{"dmg", "powerLight", "powerEarth", "powerWater", "powerAir",
                                        "powerFire", "powerDark", "varResist", "varWis", "varInt",
                                        "varLevel"}));
    for (const auto& [box, text] : view.texts) {
        EXPECT_EQ(text, "0") << box;
    }
    commands.click("mnuReset");
    EXPECT_EQ(view.texts.size(), 11u);
    EXPECT_EQ(view.spell, "Avalanche");
    commands.cmdCalculate_Click();
    EXPECT_EQ(view.messages, std::vector<std::string>{"Zero was divided by zero."});
}

TEST(MainCommands, HelpMeExitAndAboutDoOneThingEach) {
    FakeMainView view;
    MainCommands commands(view);
    commands.click("mnuHelpme");
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"Sorry, but this feature is not implemented yet"});
    commands.click("mnuAbout");
    commands.click("mnuAbout");
    EXPECT_EQ(view.aboutShown, 2);
    EXPECT_EQ(view.unloads, 0);
    commands.click("mnuExit");
    EXPECT_EQ(view.unloads, 1);
    EXPECT_TRUE(view.changed.empty());
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
