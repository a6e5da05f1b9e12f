// Every command that asks the player keeps the rule a page relies on: it changes nothing before
// its first question, and does the same when run again with the same answers. A page cannot wait
// for an answer: it ends the command as cancelling would, shows the question, and runs the
// command again from the start once the player answers, each question getting its answer at once.
#include "fakemain.h"
#include "plannercommands.h"
#include "plannerwindow.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace runetally;
namespace fs = std::filesystem;

namespace {

using enum MainControl;

// The answers a player gives, by kind of question, in the order they are asked.
struct Answers {
    std::vector<Answer> questions;
    std::vector<std::string> toOpen;
    std::vector<std::string> toSave;
};

// A platform that answers from `given`. As a page, it also notes the first question it has no
// answer for; that question gets what cancelling gives.
class AnsweringPlatform : public FakePlatform {
public:
    Answer ask(std::string_view question, std::span<const Answer> offered, Answer) override {
        questions.emplace_back(question);
        return next(given.questions, asked[0]).value_or(offered.back());
    }
    std::optional<std::string> chooseFileToOpen() override { return next(given.toOpen, asked[1]); }
    std::optional<std::string> chooseFileToSave(std::string_view suggested) override {
        suggestedNames.emplace_back(suggested);
        return next(given.toSave, asked[2]);
    }

    Answers given;
    std::array<std::size_t, 3> asked{};
    bool waiting = false; // a question found no answer

private:
    template <class T> std::optional<T> next(const std::vector<T>& answers, std::size_t& place) {
        if (place < answers.size()) {
            return answers[place++];
        }
        ++place;
        waiting = true;
        return std::nullopt;
    }
};

// Thalia's file: Fireball, level 40.
constexpr char kThalia[] =
    R"({"format": "runetally-character", "version": 1, "spell": "Fireball", "inputs": {"level":
    "40", "int": "120", "wis": "90", "resist": "100", "light": "100", "earth": "100", "fire":
    "150", "air": "100", "water": "100", "dark": "100"}})";

std::string Read(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// One way into a command that asks: what stands before it, the command, and the answers.
struct Asking {
    const char* name;
    std::function<void(MainCommands&, FakeMain&, const fs::path&)> before;
    std::function<void(MainCommands&)> command;
    Answers answers;
};

class AskingCommands : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("runetally-asking-" + std::to_string(std::random_device{}()));
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The folder as each run starts it: thalia and ashen, with nothing else.
    void freshFolder() {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        std::ofstream(folder_ / "thalia.rtchar", std::ios::binary) << kThalia;
        std::string ashen = kThalia;
        ashen.replace(ashen.find("Fireball"), 8, "Meteor");
        std::ofstream(folder_ / "ashen.rtchar", std::ios::binary) << ashen;
    }
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> kept;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            kept[entry.path().filename().string()] = Read(entry.path());
        }
        return kept;
    }

    fs::path folder_;
};

// What a run leaves: the window, the system around it and the folder.
struct Outcome {
    Texts texts;
    int spell;
    std::string caption;
    std::map<ControlId, std::optional<std::string>> menuItems;
    int closes;
    std::vector<std::string> recent;
    std::vector<std::string> messages;
    std::map<std::string, std::string> files;
    bool operator==(const Outcome&) const = default;
};

TEST_F(AskingCommands, AMainWindowCommandRunAgainWithItsAnswersEndsAsOneAnsweredAtOnce) {
    const auto edited = [](MainCommands& commands, FakeMain& view, const fs::path& folder) {
        commands.openCharacter((folder / "thalia.rtchar").string());
        view.form.texts.at(varInt) = "121";
    };
    const auto editedAndChanged = [&](MainCommands& commands, FakeMain& view,
                                      const fs::path& folder) {
        edited(commands, view, folder);
        std::ofstream(folder / "thalia.rtchar", std::ios::binary | std::ios::app) << ' ';
    };
    const auto path = [&](const char* name) { return (folder_ / name).string(); };
    const Asking cases[] = {
        {"Open, saving first",
         edited,
         &MainCommands::mnuOpen_Click,
         {{Answer::Yes}, {path("ashen.rtchar")}, {}}},
        {"Open, giving up the edits",
         edited,
         &MainCommands::mnuOpen_Click,
         {{Answer::No}, {path("ashen.rtchar")}, {}}},
        {"Open, saving over a change made elsewhere",
         editedAndChanged,
         &MainCommands::mnuOpen_Click,
         {{Answer::Yes, Answer::Yes}, {path("ashen.rtchar")}, {}}},
        {"Save with no file", {}, &MainCommands::mnuSave_Click, {{}, {}, {path("new.rtchar")}}},
        {"Save As", edited, &MainCommands::mnuSaveAs_Click, {{}, {}, {path("copy.rtchar")}}},
        {"Save over a change made elsewhere",
         editedAndChanged,
         &MainCommands::mnuSave_Click,
         {{Answer::Yes}, {}, {}}},
        {"Exit, saving first", edited, &MainCommands::mnuExit_Click, {{Answer::Yes}, {}, {}}},
        {"A recent file",
         edited,
         [](MainCommands& c) { c.mnuRecent_Click(0); },
         {{Answer::No}, {}, {}}},
        {"A dropped file",
         edited,
         [&](MainCommands& c) { c.dropped(path("ashen.rtchar")); },
         {{Answer::Yes}, {}, {}}},
        {"The close box", edited, [](MainCommands& c) { c.closing(); }, {{Answer::Yes}, {}, {}}},
    };
    for (const Asking& c : cases) {
        std::vector<Outcome> outcomes;
        for (const bool atOnce : {true, false}) {
            freshFolder();
            FakeMain view;
            AnsweringPlatform platform;
            MainCommands commands(view.form, platform);
            platform.given = c.answers; // set up with every answer at hand
            if (c.before) {
                c.before(commands, view, folder_);
            }
            if (!atOnce) {
                platform.given = {};
            }
            platform.asked = {};
            c.command(commands);
            for (int runs = 1; !atOnce && platform.waiting; ++runs) {
                ASSERT_LT(runs, 10) << c.name;
                // The player answers the question the page shows; the command runs again.
                const auto& [questions, toOpen, toSave] = c.answers;
                Answers& given = platform.given;
                if (platform.asked[0] > given.questions.size()) {
                    given.questions.push_back(questions.at(given.questions.size()));
                } else if (platform.asked[1] > given.toOpen.size()) {
                    given.toOpen.push_back(toOpen.at(given.toOpen.size()));
                } else {
                    given.toSave.push_back(toSave.at(given.toSave.size()));
                }
                platform.waiting = false;
                platform.asked = {};
                c.command(commands);
            }
            outcomes.push_back({view.form.texts, view.form.chosen.at(listSpells), view.form.caption,
                                view.form.menuItems, view.form.closes, platform.recent,
                                platform.messages, files()});
        }
        EXPECT_TRUE(outcomes[0] == outcomes[1]) << c.name;
        EXPECT_TRUE(outcomes[0].messages.empty()) << c.name << ": " << outcomes[0].messages[0];
    }
}

TEST_F(AskingCommands, ComparingRunAgainWithItsFileEndsAsOneAnsweredAtOnce) {
    std::vector<std::map<ControlId, std::vector<TableRow>>> outcomes;
    for (const bool atOnce : {true, false}) {
        freshFolder();
        FakeSurface form(PlannerDescription());
        AnsweringPlatform platform;
        PlannerCommands commands(form, platform);
        commands.follow(SpellInputs{});
        if (atOnce) {
            platform.given.toOpen = {(folder_ / "ashen.rtchar").string()};
        }
        commands.cmdCompare_Click();
        if (!atOnce) {
            ASSERT_TRUE(platform.waiting);
            platform.given.toOpen = {(folder_ / "ashen.rtchar").string()};
            platform.asked = {};
            commands.cmdCompare_Click();
        }
        EXPECT_TRUE(form.shown.at(PlannerControl::cmdStopCompare));
        outcomes.push_back(form.rows);
    }
    EXPECT_EQ(outcomes[0], outcomes[1]);
}

} // namespace
