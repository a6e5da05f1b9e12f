#include "session.h"

#include "characterfile.h"

#include "browserfiles.h"
#include "character.h"
#include "characterlink.h"
#include "dom.h"
#include "formpage.h"

#include <utility>

namespace runetally::web {
namespace {

// The name a character opened from a link goes by, as a file's would.
constexpr std::string_view kLinkName = "link.rtchar";
constexpr std::string_view kClosed = "Runetally has closed. Reload the page to start again.";

// A question's button for the answer, which tells the answer by its place in Answer.
DialogButton ButtonOf(Answer answer) {
    static constexpr const char* kCaptions[] = {"&Yes", "&No", "Cancel"};
    const auto place = static_cast<std::size_t>(answer);
    return {kCaptions[place], std::to_string(place)};
}

// The file picker, for one file. It stays in the page, hidden, until the next one, so that the
// page hears what was chosen.
void PickFile() {
    Js body = Document()["body"];
    Js old = body.call<Js>("querySelector", "input[data-pick]");
    if (!old.isNull()) {
        old.call<void>("remove");
    }
    Html html;
    html.open("input").flag("hidden").attr("type", "file").attr("accept", kCharacterExtension);
    Append(body, html.flag("data-pick").close()).call<void>("click");
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

void Session::start() {
    WhenCopyNotKept([this](const std::string& message) { showMessage(message); });
    show(Window::Main);
    // The window is drawn first; what the browser keeps from other visits is read once it is.
    Js::module("afterPaint").call<void>("call", Js::null());
}

void Session::finishLoading() {
    if (!std::exchange(loaded_, true)) {
        desk_.pageDrawn();
        openLink();
        // Presses and shortcuts made before the program ran, in the order made.
        Js::module("replayEarly").call<void>("call", Js::null());
        Document()["documentElement"]["classList"].call<void>("remove", "loading");
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
    if (main() == nullptr) {
        return;
    }
    const std::string name = file.name;
    run([this, name] { main()->dropped(name); }, std::move(file));
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

Answer Session::ask(std::string_view question, std::span<const Answer> answers, Answer byDefault) {
    if (const std::optional<std::string> given = conversation_.given(Wait::Answer)) {
        return static_cast<Answer>(given->front() - '0');
    }
    // The last answer is what the command goes on with now: it need not run again for it.
    const std::string last = ButtonOf(answers.back()).answer;
    DialogRequest request{.text = std::string(question),
                          .cancelAnswer = last,
                          .done = [resume = conversation_.resume(Wait::Answer),
                                   last](const std::string& answer, const std::string&) {
                              if (answer != last) {
                                  resume(answer);
                              }
                          }};
    for (Answer answer : answers) {
        request.byDefault = answer == byDefault ? request.buttons.size() : request.byDefault;
        request.buttons.push_back(ButtonOf(answer));
    }
    desk_.dialogs.show(std::move(request));
    return answers.back();
}

std::optional<std::string> Session::chooseFileToOpen() {
    if (std::optional<std::string> name = conversation_.given(Wait::FileToOpen)) {
        return name;
    }
    picked_ = conversation_.resume(Wait::FileToOpen);
    PickFile();
    return std::nullopt;
}

std::optional<std::string> Session::chooseFileToSave(std::string_view suggested) {
    if (std::optional<std::string> name = conversation_.given(Wait::NameToSave)) {
        return name;
    }
    desk_.dialogs.show(
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

void Session::copyText(std::string_view text) {
    // Through the browser's own copy, which a key or a click lets a page start, or else its
    // clipboard API.
    copying_ = std::string(text);
    Document().call<bool>("execCommand", Js("copy"));
    if (const Js clipboard = Js::global("navigator")["clipboard"];
        copying_ && !clipboard.isUndefined()) {
        clipboard.call<Js>("writeText", text); // no copy event: the page may not start one now
    }
    copying_.reset();
}

void Session::deleteLater(std::function<void()> deleter) {
    closed_.push_back(std::move(deleter));
}

void Session::end() {
    if (std::exchange(ended_, true)) {
        return;
    }
    desk_.dialogs.closeAll();
    about_.unload();
    planner_.unload();
    main_.unload();
    Html line;
    line.open("p").attr("class", "closed").attr("role", "status").close().text(kClosed).end("p");
    Append(Document()["body"], line);
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
    FormPage* active = desk_.active();
    if (type == "resize") {
        desk_.fitAll();
    } else if (type == "hashchange") {
        openLink();
    } else if (type == "beforeunload") {
        // A page cannot ask whether to save; the browser's own question stands in for it.
        if (main() != nullptr && main()->hasUnsavedEdits()) {
            event.call<void>("preventDefault");
            event.set("returnValue", "");
        }
    } else if (type == "dragover" && HasFiles(event)) {
        // Cancelled, wherever it is over: else the browser would take the drop itself.
        event.call<void>("preventDefault");
    } else if (type == "drop" && HasFiles(event)) {
        event.call<void>("preventDefault");
        // A modal box takes no drop, as on the desktop.
        if (!desk_.dialogs.shown()) {
            ReadFiles(event["dataTransfer"]["files"], "drop");
        }
    } else if (type == "change" &&
               !event["target"].call<Js>("closest", Js("[data-pick]")).isNull()) {
        ReadFiles(event["target"]["files"], "pick");
    } else if (type == "runetally-file") {
        fileRead(event["detail"]);
    } else if (type == "copy" && copying_) {
        event["clipboardData"].call<void>("setData", Js("text/plain"), std::string_view(*copying_));
        event.call<void>("preventDefault");
        copying_.reset();
    } else if (type == "keydown" && !desk_.dialogs.shown() && active != nullptr) {
        active->pageKey(event);
    } else if (type == "pointerdown" && active != nullptr) {
        active->closeMenus();
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
    if (!desk_.dialogs.handle(type, event)) {
        // A file dragged over a window goes to the page, as a drop on the desktop goes to the
        // whole window.
        const bool page = type == "copy" || type == "dragover" || type == "drop";
        FormPage* form = page ? nullptr : desk_.of(event["target"]);
        if (form != nullptr && !desk_.dialogs.shown()) {
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
