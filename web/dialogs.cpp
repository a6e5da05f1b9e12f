#include "dialogs.h"

#include "dom.h"
#include "windowservices.h"

#include <deque>
#include <utility>

namespace runetally::web {
namespace {

struct Shown {
    DialogRequest request;
    Js element = Js::null();
    Js returnFocus = Js::null();
    Js nameBox = Js::null();
};

std::deque<DialogRequest>& Waiting() {
    static std::deque<DialogRequest> waiting;
    return waiting;
}

std::optional<Shown>& Current() {
    static std::optional<Shown> current;
    return current;
}

void Open(DialogRequest request) {
    Shown shown{std::move(request)};
    const DialogRequest& r = shown.request;
    shown.returnFocus = ActiveElement();
    Js dialog = Create("dialog", Document()["body"], "msgbox");
    SetAttribute(dialog, "data-dialog", "");
    SetAttribute(dialog, "aria-labelledby", "msgbox-caption");
    SetAttribute(dialog, "aria-describedby", "msgbox-text");
    Js form = Create("form", dialog);
    SetAttribute(form, "method", "dialog");
    Js caption = Create("div", form, "caption");
    caption.set("id", Js("msgbox-caption"));
    SetText(caption, BuildIdentity().title);
    Js text = Create("p", form, "text");
    text.set("id", Js("msgbox-text"));
    SetText(text, r.text);
    if (r.name) {
        Js label = Create("label", form, "namebox");
        SetText(label, r.nameCaption);
        shown.nameBox = Create("input", label);
        shown.nameBox.set("value", std::string_view(*r.name));
        SetAttribute(shown.nameBox, "spellcheck", "false");
    }
    Js row = Create("div", form, "buttons");
    Js first = Js::null();
    for (const DialogButton& button : r.buttons) {
        Js element = Create("button", row);
        element.set("value", std::string_view(button.answer));
        SetAccessCaption(element, button.caption);
        if (const char key = ParseAccessKey(button.caption).key) {
            SetAttribute(element, "aria-keyshortcuts", std::string(1, key));
            SetAttribute(element, "data-key", std::string(1, key));
        }
        if (first.isNull()) {
            first = element;
        }
    }
    shown.element = dialog;
    dialog.call<void>("showModal");
    if (!shown.nameBox.isNull()) {
        Focus(shown.nameBox);
        shown.nameBox.call<void>("select");
    } else {
        Focus(first);
    }
    Current() = std::move(shown);
}

void OpenNext() {
    if (Current() || Waiting().empty()) {
        return;
    }
    DialogRequest next = std::move(Waiting().front());
    Waiting().pop_front();
    Open(std::move(next));
}

void Closed() {
    Shown shown = std::move(*Current());
    Current().reset();
    std::string answer = Utf8(shown.element["returnValue"]);
    if (answer.empty()) {
        answer = shown.request.cancelAnswer; // Esc
    }
    const std::string name = shown.nameBox.isNull() ? "" : Utf8(shown.nameBox["value"]);
    shown.element.call<void>("remove");
    if (Holds(Document()["body"], shown.returnFocus)) {
        Focus(shown.returnFocus);
    }
    if (shown.request.done) {
        shown.request.done(answer, name);
    }
    OpenNext();
}

} // namespace

void ShowDialog(DialogRequest request) {
    Waiting().push_back(std::move(request));
    OpenNext();
}

void ShowMessage(std::string_view text) {
    ShowDialog({.text = std::string(text), .buttons = {{"OK", "ok"}}, .cancelAnswer = "ok"});
}

bool DialogShown() {
    // A box closes a moment before the page hears of it.
    return Current() && Current()->element["open"].as<bool>();
}

bool HandleDialogEvent(const std::string& type, const Js& event) {
    if (!Current() || !Holds(Current()->element, event["target"])) {
        return false;
    }
    if (type == "close") {
        Closed();
    } else if (type == "keydown" && event["target"]["tagName"].as<std::string>() != "INPUT") {
        // A button's key answers, with Alt or without, as in a desktop message box.
        std::string key = Utf8(event["key"]);
        if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') {
            key[0] = static_cast<char>(key[0] - 'A' + 'a');
        }
        const bool letter = key.size() == 1 &&
                            ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= '0' && key[0] <= '9'));
        Js button = letter
                        ? Current()->element.call<Js>(
                              "querySelector", std::string_view("button[data-key=\"" + key + "\"]"))
                        : Js::null();
        if (!button.isNull()) {
            event.call<void>("preventDefault");
            button.call<void>("click");
        }
    }
    return true;
}

void CloseDialogs() {
    Waiting().clear();
    if (Current()) {
        Current()->request.done = nullptr;
        Current()->element.call<void>("close");
        Current()->element.call<void>("remove");
        Current().reset();
    }
}

} // namespace runetally::web
