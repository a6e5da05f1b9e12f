#pragma once

#include "formsurface.h"
#include "mainwindow.h"
#include "platform.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace runetally {

// Any window held in memory, as its description starts it: what each control shows, by id.
class FakeSurface : public FormSurface {
    const FormDesc& form_;

public:
    explicit FakeSurface(const FormDesc& form) : form_(form), caption(form.caption) {
        for (const WidgetDesc& widget : form.widgets) {
            const ControlId i = widget.id;
            texts[i] = std::string(widget.text);
            const auto item = std::find(widget.items.begin(), widget.items.end(), widget.text);
            chosen[i] =
                item == widget.items.end() ? -1 : static_cast<int>(item - widget.items.begin());
            shown[i] = !widget.hidden;
            columns[i].assign(widget.columns.begin(), widget.columns.end());
        }
        for (const MenuDesc& menu : form.menus) {
            for (const MenuItemDesc& item : menu.items) {
                menuItems[item.id] =
                    item.hidden ? std::nullopt : std::optional<std::string>(item.caption);
            }
        }
    }

    std::string text(ControlId id) const override { return texts.at(id); }
    void setText(ControlId id, std::string_view text) override {
        texts.at(id) = text;
        written[id] = text;
        if (form_.widget(id).kind == WidgetKind::TextBox) {
            changed.push_back(id);
            if (events != nullptr) {
                events->changed(id);
            }
        }
    }
    int selected(ControlId id) const override { return chosen.at(id); }
    void select(ControlId id, int place) override { chosen.at(id) = place; }
    void setRows(ControlId table, std::span<const TableRow> shown) override {
        rows[table].assign(shown.begin(), shown.end());
        chosen[table] = -1;
    }
    void setColumns(ControlId table, std::span<const ColumnDesc> shown) override {
        columns[table].assign(shown.begin(), shown.end());
        rows[table].clear();
    }
    void setSortMark(ControlId, int column, bool descending) override {
        sortMark = {column, descending};
    }
    PointTwips sizeOf(ControlId) const override { return size; }
    void setChart(ControlId, const ChartPicture& picture) override { chart = picture; }
    void setShown(ControlId id, bool visible) override { shown[id] = visible; }
    void setMenuItem(ControlId item, std::string_view text, bool visible) override {
        menuItems[item] = visible ? std::optional<std::string>(text) : std::nullopt;
    }
    void setCaption(std::string_view text) override { caption = text; }
    void close() override { ++closes; }

    // The selected item's text of a list box or combo box, or empty text.
    std::string selectedItem(ControlId id) const {
        const int place = chosen.at(id);
        return place < 0 ? std::string() : std::string(form_.widget(id).items[place]);
    }
    // Selects the item with that text, as the player does; none for a text no item has.
    void choose(ControlId id, std::string_view item) {
        const auto items = form_.widget(id).items;
        const auto found = std::find(items.begin(), items.end(), item);
        chosen.at(id) = found == items.end() ? -1 : static_cast<int>(found - items.begin());
    }

    FormEvents* events = nullptr; // told of setText's changes, when given
    std::map<ControlId, std::string> texts;
    std::map<ControlId, std::string> written; // what setText last wrote in each control
    std::map<ControlId, int> chosen;
    std::map<ControlId, bool> shown;
    std::map<ControlId, std::vector<ColumnDesc>> columns;
    std::map<ControlId, std::vector<TableRow>> rows;
    std::map<ControlId, std::optional<std::string>> menuItems;
    std::pair<int, bool> sortMark{-1, false};
    PointTwips size{6000, 4500}; // of every widget
    ChartPicture chart;
    std::string caption;
    std::vector<ControlId> changed; // text boxes, in the order setText changed them
    int closes = 0;
};

// The system around the windows, held in memory. Every question gets `answer` where it offers it,
// else its last button; every file dialog gives what it is set to give.
class FakePlatform : public Platform {
public:
    void showMessage(std::string_view text) override {
        messages.emplace_back(text);
        if (onMessage) {
            onMessage();
        }
    }
    Answer ask(std::string_view question, std::span<const Answer> offered, Answer) override {
        questions.emplace_back(question);
        return std::find(offered.begin(), offered.end(), answer) != offered.end() ? answer
                                                                                  : offered.back();
    }
    std::optional<std::string> chooseFileToOpen() override { return toOpen; }
    std::optional<std::string> chooseFileToSave(std::string_view suggested) override {
        suggestedNames.emplace_back(suggested);
        return toSave;
    }
    std::vector<std::string> recentFiles() const override { return recent; }
    void keepRecentFiles(std::span<const std::string> paths) override {
        recent.assign(paths.begin(), paths.end());
    }
    void copyText(std::string_view text) override { copied = text; }
    void show(Window window) override { ++windowsShown[window]; }
    MainFollower* follower() override {
        return windowsShown[Window::Planner] > 0 ? &following : nullptr;
    }
    char decimalSeparator() const override { return separator; }

    Answer answer = Answer::Cancel;
    std::optional<std::string> toOpen;
    std::optional<std::string> toSave;
    std::vector<std::string> questions;
    std::vector<std::string> suggestedNames;
    std::vector<std::string> messages;
    std::function<void()> onMessage;
    std::vector<std::string> recent;
    std::string copied;
    std::map<Window, int> windowsShown;
    char separator = '.';
    struct : MainFollower {
        void follow(const SpellInputs& inputs) override { told.push_back(inputs); }
        std::vector<SpellInputs> told;
    } following;
};

} // namespace runetally
