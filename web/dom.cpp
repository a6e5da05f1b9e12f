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

std::string Px(double pixels) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6gpx", pixels);
    return text;
}

std::string Twips(int twips) {
    return Px(static_cast<double>(twips) / kTwipsPerPixel);
}

std::string PlaceCss(const TwipsRect& rect) {
    return "left:" + Twips(rect.left) + ";top:" + Twips(rect.top) + ";width:" + Twips(rect.width) +
           ";height:" + Twips(rect.height) + ";";
}

std::string CssColour(const Rgb& colour) {
    char text[24];
    std::snprintf(text, sizeof text, "rgb(%d,%d,%d)", colour.red, colour.green, colour.blue);
    return text;
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

AccessText ParseAccessKey(std::string_view caption) {
    AccessText out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && out.key == 0) {
                const char c = caption[i];
                out.key = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                out.keyAt = out.text.size();
            }
        }
        out.text += caption[i];
    }
    return out;
}

char KeyLetter(std::string_view key) {
    if (key.size() != 1) {
        return 0;
    }
    const char c = key[0] >= 'A' && key[0] <= 'Z' ? static_cast<char>(key[0] - 'A' + 'a') : key[0];
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c : 0;
}

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

Html& Html::open(const char* tag) {
    out_ += '<';
    out_ += tag;
    return *this;
}

Html& Html::attr(const char* name, std::string_view value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += Escaped(value);
    out_ += '"';
    return *this;
}

Html& Html::flag(const char* name) {
    out_ += ' ';
    out_ += name;
    return *this;
}

Html& Html::close() {
    out_ += '>';
    return *this;
}

Html& Html::text(std::string_view text) {
    out_ += Escaped(text);
    return *this;
}

Html& Html::caption(std::string_view caption) {
    const AccessText parsed = ParseAccessKey(caption);
    if (parsed.keyAt == std::string::npos) {
        return text(parsed.text);
    }
    text(std::string_view(parsed.text).substr(0, parsed.keyAt));
    out_ += "<u>";
    text(std::string_view(parsed.text).substr(parsed.keyAt, 1));
    out_ += "</u>";
    return text(std::string_view(parsed.text).substr(parsed.keyAt + 1));
}

Html& Html::end(const char* tag) {
    out_ += "</";
    out_ += tag;
    out_ += '>';
    return *this;
}

} // namespace runetally::web
