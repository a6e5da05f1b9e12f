#include "dialogs.h"

#include "dom.h"
#include "windowservices.h"

#include <utility>

namespace runetally::web {

void Dialogs::openNext() {
    if (current_ || waiting_.empty()) {
        return;
    }
    Shown shown{std::move(waiting_.front()), Js::null(), ActiveElement()};
    waiting_.pop_front();
    const DialogRequest& r = shown.request;
    Html html;
    html.open("dialog").attr("class", "msgbox").flag("data-dialog");
    html.attr("aria-labelledby", "msgbox-caption").attr("aria-describedby", "msgbox-text").close();
    html.open("form").attr("method", "dialog").close();
    html.open("div").attr("class", "caption").attr("id", "msgbox-caption").close();
    html.text(BuildIdentity().title).end("div");
    html.open("p").attr("class", "text").attr("id", "msgbox-text").close().text(r.text).end("p");
    if (r.name) {
        html.open("label").attr("class", "namebox").close().text(r.nameCaption);
        html.open("input").attr("value", *r.name).attr("spellcheck", "false").close();
        html.end("label");
    }
    html.open("div").attr("class", "buttons").close();
    for (const DialogButton& button : r.buttons) {
        html.open("button").attr("value", button.answer);
        if (const char key = ParseAccessKey(button.caption).key) {
            html.attr("aria-keyshortcuts", std::string(1, key))
                .attr("data-key", std::string(1, key));
        }
        html.close().caption(button.caption).end("button");
    }
    shown.element = Append(Document()["body"], html.end("div").end("form").end("dialog"));
    shown.element.call<void>("showModal");
    if (const Js box = shown.element.call<Js>("querySelector", "input"); !box.isNull()) {
        Focus(box);
        box.call<void>("select");
    } else {
        Focus(shown.element.call<Js>("querySelectorAll", "button")
                  .call<Js>("item", static_cast<int>(r.byDefault)));
    }
    current_ = std::move(shown);
}

void Dialogs::closed() {
    Shown shown = std::move(*current_);
    current_.reset();
    std::string answer = Utf8(shown.element["returnValue"]);
    if (answer.empty()) {
        answer = shown.request.cancelAnswer; // Esc
    }
    const Js box = shown.element.call<Js>("querySelector", "input");
    const std::string name = box.isNull() ? "" : Utf8(box["value"]);
    shown.element.call<void>("remove");
    if (Holds(Document()["body"], shown.returnFocus)) {
        Focus(shown.returnFocus);
    }
    if (shown.request.done) {
        shown.request.done(answer, name);
    }
    openNext();
}

void Dialogs::show(DialogRequest request) {
    waiting_.push_back(std::move(request));
    openNext();
}

void Dialogs::message(std::string_view text) {
    show({.text = std::string(text), .buttons = {{"OK", "ok"}}, .cancelAnswer = "ok"});
}

bool Dialogs::shown() const {
    // A box closes a moment before the page hears of it.
    return current_ && current_->element["open"].as<bool>();
}

bool Dialogs::handle(const std::string& type, const Js& event) {
    if (!current_ || !Holds(current_->element, event["target"])) {
        return false;
    }
    if (type == "close") {
        closed();
    } else if (type == "keydown" && event["target"]["tagName"].as<std::string>() != "INPUT") {
        // A button's key answers, with Alt or without, as in a desktop message box.
        const char key = KeyLetter(Utf8(event["key"]));
        const Js button =
            key == 0 ? Js::null()
                     : current_->element.call<Js>("querySelector", "button[data-key=\"" +
                                                                       std::string(1, key) + "\"]");
        if (!button.isNull()) {
            event.call<void>("preventDefault");
            button.call<void>("click");
        }
    }
    return true;
}

void Dialogs::closeAll() {
    waiting_.clear();
    if (current_) {
        current_->request.done = nullptr;
        current_->element.call<void>("close");
        current_->element.call<void>("remove");
        current_.reset();
    }
}

} // namespace runetally::web
