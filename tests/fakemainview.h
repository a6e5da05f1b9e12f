#pragma once

#include "mainwindow.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace runetally {

using Texts = std::map<MainControl, std::string>;

// The main window as its commands see it, held in memory.
class FakeMainView : public MainView {
public:
    FakeMainView() {
        for (const WidgetDesc& widget : MainWindowDescription().widgets) {
            if (widget.kind == WidgetKind::TextBox) {
                texts[widget.id.as<MainControl>()] = std::string(widget.text);
            }
        }
    }

    std::string text(Field field) const override { return texts.at(BoxOf(field)); }
    void setText(TextBox box, std::string_view text) override {
        texts.at(box.control()) = text;
        changed.push_back(box.control());
    }
    std::string selectedSpell() const override { return spell; }
    void showAbout() override { ++aboutShown; }
    void showPlanner() override { ++plannerShown; }
    MainFollower* planner() override { return plannerShown > 0 ? &follower : nullptr; }
    char decimalSeparator() const override { return separator; }
    void showMessage(std::string_view text) override {
        messages.emplace_back(text);
        textsWhileMessage = texts;
    }
    void unload() override { ++unloads; }
    void selectSpell(std::string_view name) override { spell = name; }
    void setCaption(std::string_view text) override { caption = text; }
    void setMenuItem(MainControl item, std::string_view text, bool shown) override {
        menuItems[item] = shown ? std::optional<std::string>(text) : std::nullopt;
    }
    SaveAnswer askToSave(std::string_view question) override {
        questions.emplace_back(question);
        return answer;
    }
    bool askYesNo(std::string_view question) override {
        questions.emplace_back(question);
        return yes;
    }
    std::optional<std::string> chooseCharacterToOpen() override { return toOpen; }
    std::optional<std::string> chooseCharacterToSave(std::string_view suggested) override {
        suggestedNames.emplace_back(suggested);
        return toSave;
    }
    std::vector<std::string> recentCharacters() const override { return recent; }
    void keepRecentCharacters(std::span<const std::string> paths) override {
        recent.assign(paths.begin(), paths.end());
    }

    Texts texts;
    std::string caption = "Velmoranth's Zelkor Runetally";
    std::map<MainControl, std::optional<std::string>> menuItems;
    SaveAnswer answer = SaveAnswer::Cancel;
    bool yes = false;
    std::vector<std::string> questions;
    std::optional<std::string> toOpen;
    std::optional<std::string> toSave;
    std::vector<std::string> suggestedNames;
    std::vector<std::string> recent;
    std::string spell;
    char separator = '.';
    std::vector<MainControl> changed;
    std::vector<std::string> messages;
    Texts textsWhileMessage;
    int aboutShown = 0;
    int plannerShown = 0;
    int unloads = 0;
    struct : MainFollower {
        void follow(const SpellInputs& inputs) override { told.push_back(inputs); }
        std::vector<SpellInputs> told;
    } follower;
};

} // namespace runetally
