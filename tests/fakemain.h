#pragma once

#include "fakeform.h"
#include "mainwindow.h"

#include <map>
#include <string>

namespace runetally {

using Texts = std::map<ControlId, std::string>;

// The main window and the system around it, held in memory.
struct FakeMain {
    FakeMain() {
        platform.onMessage = [this] { textsWhileMessage = form.texts; };
    }

    // The eleven text boxes' texts.
    Texts boxes() const {
        Texts texts;
        for (const WidgetDesc& widget : MainWindowDescription().widgets) {
            if (widget.kind == WidgetKind::TextBox) {
                texts[widget.id] = form.texts.at(widget.id);
            }
        }
        return texts;
    }
    std::string spell() const { return form.selectedItem(MainControl::listSpells); }
    // Selects the spell, as the player does.
    void choose(std::string_view spell) { form.choose(MainControl::listSpells, spell); }

    FakeSurface form{MainWindowDescription()};
    FakePlatform platform;
    Texts textsWhileMessage; // as they stood while the last message was shown
};

} // namespace runetally
