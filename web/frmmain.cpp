#include "frmmain.h"

#include "browserfiles.h"
#include "characterlink.h"
#include "clipboard.h"
#include "dialogs.h"
#include "dom.h"
#include "frmabout.h"
#include "frmplanner.h"
#include "session.h"
#include "settings.h"
#include "spelltable.h"

#include <array>

namespace runetally::web {
namespace {

constexpr std::string_view kRecentSetting = "runetally.recent";

const FormDesc& Form() {
    return MainWindowDescription();
}

// The page's own item: a link carries the character where no file can go.
std::vector<ExtraMenuItem> WebItems(std::function<void()> copyLink) {
    return {{.name = "mnuCopyLink",
             .caption = "Copy &Link",
             .shortcut = {},
             .before = MainControl::mnuReset,
             .run = std::move(copyLink)}};
}

} // namespace

frmMain::frmMain()
    : form_(Form(),
            {.clicked =
                 [this](ControlId id) {
                     Session::Get().run([this, id] { commands_.click(id.as<MainControl>()); });
                 },
             .pasting =
                 [this](ControlId id, std::size_t length) {
                     return commands_.pasteFits(id.as<MainControl>(), length);
                 },
             .changed = [this](ControlId id) { commands_.change(id.as<MainControl>()); },
             .closing =
                 [this] {
                     Session::Get().run([this] {
                         if (commands_.Form_QueryUnload()) {
                             unload();
                         }
                     });
                 }},
            {.left = 8, .top = 8, .role = "main"}, WebItems([this] { copyLink(); })) {
    std::array<std::string_view, kSpellCount> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = SpellTable[i].name;
    }
    form_.list(MainControl::listSpells).setItems(names);
    Document().set("title", std::string_view(Form().caption));
}

void frmMain::activate() {
    form_.activate();
}

void frmMain::close() {
    Session::Get().main().unloaded(this);
    Session::Get().deleteLater([this] { delete this; });
}

std::string frmMain::text(Field field) const {
    return form_.text(BoxOf(field));
}

void frmMain::setText(TextBox box, std::string_view text) {
    form_.setText(box.control(), text);
}

std::string frmMain::selectedSpell() const {
    return form_.list(MainControl::listSpells).selectedText();
}

void frmMain::showAbout() {
    Session::Get().about().show();
}

void frmMain::showPlanner() {
    Session::Get().planner().show();
}

MainFollower* frmMain::planner() {
    frmPlanner* planner = Session::Get().planner().loaded();
    return planner != nullptr ? &planner->commands() : nullptr;
}

void frmMain::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmMain::unload() {
    // In a page, the main window's end is the session's.
    Session::Get().end();
}

void frmMain::selectSpell(std::string_view name) {
    int place = -1;
    for (std::size_t i = 0; i < SpellTable.size(); ++i) {
        if (SpellTable[i].name == name) {
            place = static_cast<int>(i);
        }
    }
    form_.list(MainControl::listSpells).select(place);
}

void frmMain::setCaption(std::string_view caption) {
    form_.setCaption(caption);
    Document().set("title", std::string_view(caption));
}

void frmMain::setMenuItem(MainControl item, std::string_view caption, bool shown) {
    form_.setMenuItem(item, caption, shown);
}

SaveAnswer frmMain::askToSave(std::string_view question) {
    return Session::Get().askToSave(question);
}

// A save on the page downloads a new file and replaces none, so there is nothing to ask; its
// copies carry no stamp, and the commands never ask it.
bool frmMain::askYesNo(std::string_view) {
    return true;
}

std::optional<std::string> frmMain::chooseCharacterToOpen() {
    return Session::Get().chooseFileToOpen();
}

std::optional<std::string> frmMain::chooseCharacterToSave(std::string_view suggestedName) {
    return Session::Get().chooseNameToSave(suggestedName);
}

std::vector<std::string> frmMain::recentCharacters() const {
    // Names one after another, each ended by a '/', which no file name holds.
    std::vector<std::string> names;
    const std::string kept = LoadSetting(kRecentSetting).value_or("");
    std::size_t start = 0;
    for (std::size_t end = kept.find('/'); end != std::string::npos; end = kept.find('/', start)) {
        names.push_back(kept.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

void frmMain::keepRecentCharacters(std::span<const std::string> paths) {
    std::string kept;
    for (const std::string& path : paths) {
        kept += path + "/";
    }
    KeepSetting(kRecentSetting, kept);
    // The page keeps a copy of a file only while the list names it.
    KeepCopiesOf(paths);
}

void frmMain::copyLink() {
    Character shown;
    shown.spellName = selectedSpell();
    for (Field field : kInputsTopDown) {
        shown.text(field) = text(field);
    }
    std::string address = Utf8(Js::global("location")["href"]);
    address = address.substr(0, address.find('#'));
    CopyText(address + "#" + CharacterLinkFragment(shown, decimalSeparator()));
}

} // namespace runetally::web
