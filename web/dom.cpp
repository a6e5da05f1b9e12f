#include "dom.h"

#include <cstdio>

namespace runetally::web {

Js Document() {
    return Js::global("document");
}

std::string Utf8(const Js& value) {
    return value.isString() ? value.as<std::string>() : std::string();
}

Js Append(const Js& parent, const Html& html) {
    parent.call<void>("insertAdjacentHTML", "beforeend", html.str());
    return parent["lastElementChild"];
}

void SetText(const Js& element, std::string_view text) {
    element.set("textContent", std::string_view(text));
}

void SetAttribute(const Js& element, const char* name, std::string_view value) {
    element.call<void>("setAttribute", Js(name), std::string_view(value));
}

void SetStyle(const Js& element, const char* property, std::string_view value) {
    element["style"].call<void>("setProperty", Js(property), std::string_view(value));
}

bool Holds(const Js& element, const Js& other) {
    static const Js node = Js::global("Node");
    return !element.isNull() && !element.isUndefined() && other.instanceof
        (node) && element.call<bool>("contains", other);
}

Js ActiveElement() {
    return Document()["activeElement"];
}

void Focus(const Js& element) {
    if (!element.isNull() && !element.isUndefined()) {
        element.call<void>("focus");
    }
}

} // namespace runetally::web
