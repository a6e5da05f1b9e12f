#include "fakemain.h"
#include "mainwindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

using namespace runetally;
namespace fs = std::filesystem;

namespace {

using enum MainControl;

// Thalia's file as a player would keep it: Fireball, level 40 and 150 fire power.
constexpr char kThalia[] =
    R"({"format": "runetally-character", "version": 1, "spell": "Fireball", "inputs": {"level":
    "40", "int": "120", "wis": "90", "resist": "100", "light": "100", "earth": "100", "fire":
    "150", "air": "100", "water": "100", "dark": "100"}})";

class MainCharacters : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("runetally-main-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        thalia_ = Write("thalia.rtchar", kThalia);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

    fs::path folder_;
    std::string thalia_;
    FakeMain view_;
    MainCommands commands_{view_.form, view_.platform};
};

TEST_F(MainCharacters, OpeningFillsTheWindowNamesItAndRemembersIt) {
    commands_.Form_Load();
    EXPECT_FALSE(view_.form.menuItems.at(mnuRecent1));
    view_.form.texts.at(dmg) = "12";
    view_.platform.toOpen = thalia_;
    commands_.mnuOpen_Click();
    EXPECT_EQ(view_.form.texts.at(varLevel), "40");
    EXPECT_EQ(view_.form.texts.at(powerFire), "150");
    EXPECT_EQ(view_.form.texts.at(varWis), "90");
    EXPECT_EQ(view_.spell(), "Fireball");
    EXPECT_EQ(view_.form.texts.at(dmg), "0");
    EXPECT_EQ(view_.form.caption, "thalia - Velmoranth's Zelkor Runetally");
    EXPECT_EQ(view_.platform.recent, std::vector<std::string>{thalia_});
    EXPECT_EQ(view_.form.menuItems.at(mnuRecent1), "&1 thalia.rtchar");
    EXPECT_TRUE(view_.platform.messages.empty());
}

TEST_F(MainCharacters, AFileThatCannotBeOpenedChangesNothing) {
    const std::string bad = Write("bad.rtchar", R"({"format": "runetally-character"})");
    for (const std::string& path : {bad, (folder_ / "none.rtchar").string()}) {
        FakeMain view;
        MainCommands commands(view.form, view.platform);
        const Texts before = view.form.texts;
        view.platform.toOpen = path;
        commands.mnuOpen_Click();
        EXPECT_EQ(view.platform.messages.size(), 1u) << path;
        EXPECT_EQ(view.form.texts, before) << path;
        EXPECT_EQ(view.form.caption, "Velmoranth's Zelkor Runetally") << path;
        EXPECT_TRUE(view.platform.recent.empty()) << path;
    }
}

// Exit with an edit since the file was opened: the player's answer decides.
TEST_F(MainCharacters, ExitAsksAboutUnsavedEdits) {
    struct Case {
        Answer answer;
        int unloads;
        const char* fireInFile;
    };
    const Case cases[] = {{Answer::Yes, 1, "\"fire\":\"175\""},
                          {Answer::No, 1, "\"fire\":\n    \"150\""},
                          {Answer::Cancel, 0, "\"fire\":\n    \"150\""}};
    for (const Case& c : cases) {
        Write("thalia.rtchar", kThalia);
        FakeMain view;
        MainCommands commands(view.form, view.platform);
        commands.openCharacter(thalia_);
        view.form.texts.at(powerFire) = "175";
        view.platform.answer = c.answer;
        commands.mnuExit_Click();
        EXPECT_EQ(view.platform.questions, std::vector<std::string>{"Save changes to thalia?"});
        EXPECT_EQ(view.form.closes, c.unloads);
        EXPECT_NE(Read(thalia_).find(c.fireInFile), std::string::npos) << Read(thalia_);
    }
}

// No character, or no edit left since the file was opened: nothing is asked. An edit: Open asks
// first, and Cancel keeps it.
TEST_F(MainCharacters, OnlyAnEditIsAskedAbout) {
    commands_.mnuExit_Click();
    commands_.openCharacter(thalia_);
    view_.form.texts.at(varInt) = "121";
    view_.form.texts.at(varInt) = "120"; // back as the file has it
    commands_.mnuExit_Click();
    EXPECT_TRUE(view_.platform.questions.empty());
    EXPECT_EQ(view_.form.closes, 2);
    view_.choose("Meteor");
    view_.platform.toOpen = Write("other.rtchar", kThalia);
    commands_.mnuOpen_Click();
    EXPECT_EQ(view_.platform.questions.size(), 1u);
    EXPECT_EQ(view_.spell(), "Meteor");
    EXPECT_EQ(view_.form.caption, "thalia - Velmoranth's Zelkor Runetally");
}

TEST_F(MainCharacters, SaveWithoutAFileAsksForOneAndWritesIt) {
    view_.form.texts.at(varInt) = "1,5"; // a number with the reader's separator
    view_.platform.separator = ',';
    view_.platform.toSave = (folder_ / "new.rtchar").string();
    commands_.mnuSave_Click();
    EXPECT_EQ(view_.platform.suggestedNames, std::vector<std::string>{"Untitled.rtchar"});
    EXPECT_NE(Read(*view_.platform.toSave).find("\"int\":\"1.5\""), std::string::npos);
    EXPECT_EQ(view_.form.caption, "new - Velmoranth's Zelkor Runetally");
    view_.form.texts.at(varInt) = "2";
    commands_.mnuSave_Click(); // to the same file, without asking
    EXPECT_EQ(view_.platform.suggestedNames.size(), 1u);
    EXPECT_NE(Read(*view_.platform.toSave).find("\"int\":\"2\""), std::string::npos);
    commands_.mnuSaveAs_Click(); // offers the file itself, in its folder
    EXPECT_EQ(view_.platform.suggestedNames.back(), *view_.platform.toSave);
}

TEST_F(MainCharacters, TheRecentListKeepsFourAndDropsAFileThatHasGone) {
    view_.platform.recent = {(folder_ / "gone.rtchar").string()};
    commands_.Form_Load();
    EXPECT_EQ(view_.form.menuItems.at(mnuRecent1), "&1 gone.rtchar");
    for (const char* name : {"a.rtchar", "b&c.rtchar", "d.rtchar", "e.rtchar"}) {
        commands_.openCharacter(Write(name, kThalia));
    }
    commands_.openCharacter((folder_ / "b&c.rtchar").string()); // again: back to the top
    EXPECT_EQ(view_.form.menuItems.at(mnuRecent1), "&1 b&&c.rtchar");
    EXPECT_EQ(view_.form.menuItems.at(mnuRecent2), "&2 e.rtchar");
    EXPECT_EQ(view_.form.menuItems.at(mnuRecent4), "&4 a.rtchar");
    fs::remove(folder_ / "e.rtchar");
    commands_.click(mnuRecent2);
    EXPECT_EQ(view_.platform.messages,
              std::vector<std::string>{
                  "e.rtchar is no longer there, so it was taken off the recent list."});
    EXPECT_EQ(view_.platform.recent.size(), 3u);
    EXPECT_FALSE(view_.form.menuItems.at(mnuRecent4));
    EXPECT_EQ(view_.form.menuItems.at(mnuRecent2), "&2 d.rtchar");
}

// Two windows hold one file, or another program edits it: a save over a change made elsewhere
// asks first. No leaves the file and the window's edits as they are; Yes writes them. A file
// deleted meanwhile is written again.
TEST_F(MainCharacters, ASaveOverAChangeMadeElsewhereAsksFirst) {
    const std::string asked = "thalia.rtchar has changed on disk since it was opened. Replace it?";
    std::string edited = kThalia; // by another program, in place
    edited.replace(edited.find("\"120\""), 5, "\"1300\"");
    struct Case {
        std::string meanwhile;
        bool yes;
        const char* inFile;
    };
    const Case cases[] = {
        {"window", false, "\"int\":\"121\""},    {"window", true, "\"int\":\"122\""},
        {"program", false, "\"int\": \"1300\""}, {"program", true, "\"int\":\"122\""},
        {"deleted", false, "\"int\":\"122\""},
    };
    for (const Case& c : cases) {
        Write("thalia.rtchar", kThalia);
        FakeMain a, b;
        MainCommands windowA(a.form, a.platform), windowB(b.form, b.platform);
        windowA.openCharacter(thalia_);
        windowB.openCharacter(thalia_);
        a.form.texts.at(varInt) = "121";
        if (c.meanwhile == "window") {
            windowA.mnuSave_Click();
        } else if (c.meanwhile == "program") {
            Write("thalia.rtchar", edited);
        } else {
            fs::remove(thalia_);
        }
        b.form.texts.at(varInt) = "122";
        b.platform.answer = c.yes ? Answer::Yes : Answer::No;
        windowB.mnuSave_Click();
        const bool changed = c.meanwhile != "deleted";
        EXPECT_EQ(b.platform.questions, changed ? std::vector{asked} : std::vector<std::string>{})
            << c.meanwhile;
        EXPECT_NE(Read(thalia_).find(c.inFile), std::string::npos) << Read(thalia_);
        EXPECT_EQ(windowB.hasUnsavedEdits(), changed && !c.yes) << c.meanwhile;
        windowB.mnuSave_Click(); // asked again only while the change stands
        EXPECT_EQ(b.platform.questions.size(), changed && !c.yes ? 2u
                                               : changed         ? 1u
                                                                 : 0u)
            << c.meanwhile;
        EXPECT_TRUE(a.platform.questions.empty());
    }
}

} // namespace

// An edit, typed or chosen, puts "*" before the character's name until it is saved or undone;
// without a character the caption stays as it is.
TEST_F(MainCharacters, UnsavedEditsShowAsAStarInTheCaption) {
    view_.form.events = &commands_;
    view_.form.setText(varInt, "121");
    EXPECT_EQ(view_.form.caption, "Velmoranth's Zelkor Runetally");
    commands_.openCharacter(thalia_);
    const std::tuple<std::function<void()>, std::string_view> steps[] = {
        {[&] { view_.form.setText(varInt, "121"); }, "*thalia"},
        {[&] { view_.form.setText(varInt, "120"); }, "thalia"}, // back as the file has it
        {[&] {
             view_.choose("Meteor");
             commands_.listSpells_Click(); // as a front end reports it
         },
         "*thalia"},
        {[&] { commands_.mnuSave_Click(); }, "thalia"},
        {[&] { commands_.mnuReset_Click(); }, "*thalia"},
    };
    for (const auto& [step, name] : steps) {
        step();
        EXPECT_EQ(view_.form.caption, std::string(name) + " - Velmoranth's Zelkor Runetally");
    }
}
