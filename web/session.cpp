#include "session.h"

#include "characterfile.h"

#include "browserfiles.h"
#include "character.h"
#include "characterlink.h"
#include "clipboard.h"
#include "dialogs.h"
#include "dom.h"
#include "formpage.h"
#include "frmabout.h"
#include "frmmain.h"
#include "frmplanner.h"

#include <emscripten/emscripten.h>

#include <utility>

namespace runetally::web {
namespace {

// The name a character opened from a link goes by, as a file's would.
constexpr std::string_view kLinkName = "link.rtchar";
constexpr std::string_view kClosed = "Runetally has closed. Reload the page to start again.";

// The file picker, for one file. It stays in the page, hidden, until the next one, so that the
// page hears what was chosen.
void PickFile() {
    Js body = Document()["body"];
    Js old = body.call<Js>("querySelector", "input[data-pick]");
    if (!old.isNull()) {
        old.call<void>("remove");
    }
    Js input = Create("input", body);
    input.set("hidden", true);
    input.set("type", "file");
    input.set("accept", kCharacterExtension);
    SetAttribute(input, "data-pick", "");
    input.call<void>("click");
}

void ReadFiles(const Js& files, const char* tag) {
    // One byte past the most a character holds tells a larger file, without reading it all.
    Js::module("readFiles")
        .call<void>("call", Js::null(), files, Js(tag),
                    static_cast<double>(kMaxCharacterFileBytes + 1));
}

bool HasFiles(const Js& event) {
    const Js transfer = event["dataTransfer"];
    return !transfer.isNull() && !transfer.isUndefined() &&
           transfer["types"].call<bool>("includes", Js("Files"));
}

} // namespace

Session& Session::Get() {
    static Session session;
    return session;
}

Session::Session()
    : main_([] { return new frmMain(); }), about_([] {
          auto* dialog = new frmAbout();
          dialog->commands().Form_Load();
          return dialog;
      }),
      planner_([] { return new frmPlanner(); }) {}

void Session::start() {
    WhenCopyNotKept([](const std::string& message) { ShowMessage(message); });
    main_.show();
    // The window is drawn first; what the browser keeps from other visits is read once it is.
    Js::module("afterPaint").call<void>("call", Js::null());
}

void Session::finishLoading() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    FormPage::PageDrawn();
    if (frmMain* main = main_.loaded()) {
        main->commands().Form_Load();
        openLink();
    }
}

void Session::openLink() {
    const std::string hash = Utf8(Js::global("location")["hash"]);
    const std::optional<std::string> text =
        LinkedCharacterText(hash.empty() ? hash : hash.substr(1));
    if (text) {
        openGiven({.name = std::string(kLinkName), .bytes = *text});
    }
}

void Session::openGiven(GivenFile file) {
    if (main_.loaded() == nullptr) {
        return;
    }
    const std::string name = file.name;
    run([this, name] { main_.loaded()->commands().openCharacter(name); }, std::move(file));
}

void Session::run(std::function<void()> command, std::optional<GivenFile> file) {
    // A file picked for an earlier command is not this one's.
    picked_ = nullptr;
    given_ = std::move(file);
    conversation_.start([this, command = std::move(command)] {
        std::optional<GivenFileOpening> opening;
        if (given_) {
            opening.emplace(*given_);
        }
        command();
    });
}

SaveAnswer Session::askToSave(std::string_view question) {
    if (const std::optional<std::string> answer = conversation_.given(Wait::Answer)) {
        return *answer == "yes" ? SaveAnswer::Yes : SaveAnswer::No;
    }
    ShowDialog({.text = std::string(question),
                .buttons = {{"&Yes", "yes"}, {"&No", "no"}, {"Cancel", "cancel"}},
                .cancelAnswer = "cancel",
                .done = [resume = conversation_.resume(Wait::Answer)](const std::string& answer,
                                                                      const std::string&) {
                    if (answer != "cancel") {
                        resume(answer);
                    }
                }});
    return SaveAnswer::Cancel;
}

std::optional<std::string> Session::chooseFileToOpen() {
    if (std::optional<std::string> name = conversation_.given(Wait::FileToOpen)) {
        return name;
    }
    picked_ = conversation_.resume(Wait::FileToOpen);
    PickFile();
    return std::nullopt;
}

std::optional<std::string> Session::chooseNameToSave(std::string_view suggested) {
    if (std::optional<std::string> name = conversation_.given(Wait::NameToSave)) {
        return name;
    }
    ShowDialog(
        {.text = "Save the character as",
         .buttons = {{"Save", "save"}, {"Cancel", "cancel"}},
         .cancelAnswer = "cancel",
         .name = std::string(suggested),
         .nameCaption = "File name:",
         .done = [resume = conversation_.resume(Wait::NameToSave)](const std::string& answer,
                                                                   const std::string& typed) {
             // The file's last part, with the characters' extension, as a save dialog
             // that offers only characters gives it.
             std::string name = typed.substr(typed.find_last_of("/\\") + 1);
             if (answer != "save" || name.empty()) {
                 return;
             }
             resume(HasCharacterExtension(name) ? name : name + std::string(kCharacterExtension));
         }});
    return std::nullopt;
}

void Session::deleteLater(std::function<void()> deleter) {
    closed_.push_back(std::move(deleter));
}

void Session::end() {
    ended_ = true;
    CloseDialogs();
    about_.unload();
    planner_.unload();
    if (frmMain* main = main_.loaded()) {
        main->close();
    }
    Js line = Create("p", Document()["body"], "closed");
    SetAttribute(line, "role", "status");
    SetText(line, kClosed);
}

void Session::fileRead(const Js& detail) {
    const std::string tag = Utf8(detail["tag"]);
    const std::string name = Utf8(detail["name"]);
    const Js bytes = detail["bytes"];
    std::string text(bytes["length"].as<std::size_t>(), '\0');
    bytes.copyBytes(text.data(), text.size());
    if (tag == "pick" && picked_) {
        auto resume = std::move(picked_);
        picked_ = nullptr;
        given_ = GivenFile{.name = name, .bytes = std::move(text)};
        resume(name);
    } else if (tag == "drop") {
        openGiven({.name = name, .bytes = std::move(text)});
    }
}

void Session::pageEvent(const std::string& type, const Js& event) {
    if (type == "resize") {
        FormPage::FitAll();
    } else if (type == "hashchange") {
        openLink();
    } else if (type == "beforeunload") {
        // A page cannot ask whether to save; the browser's own question stands in for it.
        if (main_.loaded() != nullptr && main_.loaded()->commands().hasUnsavedEdits()) {
            event.call<void>("preventDefault");
            event.set("returnValue", "");
        }
    } else if (type == "dragover" && HasFiles(event)) {
        // Cancelled, wherever it is over: else the browser would take the drop itself.
        event.call<void>("preventDefault");
    } else if (type == "drop" && HasFiles(event)) {
        event.call<void>("preventDefault");
        // A modal box takes no drop, as on the desktop.
        if (!DialogShown()) {
            ReadFiles(event["dataTransfer"]["files"], "drop");
        }
    } else if (type == "change" &&
               !event["target"].call<Js>("closest", Js("[data-pick]")).isNull()) {
        ReadFiles(event["target"]["files"], "pick");
    } else if (type == "runetally-file") {
        fileRead(event["detail"]);
    } else if (type == "copy") {
        HandleCopyEvent(event);
    } else if (type == "keydown" && !DialogShown() && FormPage::Active() != nullptr) {
        FormPage::Active()->pageKey(event);
    } else if (type == "pointerdown" && FormPage::Active() != nullptr) {
        FormPage::Active()->closeMenus();
    }
}

void Session::dispatch(const Js& event) {
    if (ended_) {
        return;
    }
    finishLoading();
    // A button pressed from the keyboard is clicked within the key's event: windows closed then
    // are deleted once the outermost event is over.
    ++depth_;
    const std::string type = Utf8(event["type"]);
    const Js target = event["target"];
    if (!HandleDialogEvent(type, event)) {
        // A file dragged over a window goes to the page, as a drop on the desktop goes to the
        // whole window.
        const bool page = type == "copy" || type == "dragover" || type == "drop";
        FormPage* form = page ? nullptr : FormPage::Of(target);
        if (form != nullptr && !DialogShown()) {
            form->handle(type, event);
        } else {
            pageEvent(type, event);
        }
    }
    if (--depth_ == 0) {
        for (auto& deleter : std::exchange(closed_, {})) {
            deleter();
        }
    }
}

} // namespace runetally::web

extern "C" EMSCRIPTEN_KEEPALIVE void runetally_event(int handle) {
    runetally::web::Session::Get().dispatch(runetally::web::Js::take(handle));
}
