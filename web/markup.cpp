#include "markup.h"

#include <cstdio>

namespace runetally::web {
namespace {

void ItemMarkup(std::string_view name, std::string_view caption, Shortcut shortcut, bool shown,
                Html& html) {
    html.open("div").attr("class", "item").attr("role", "menuitem").attr("tabindex", "-1");
    html.attr("id", name);
    if (shortcut.key != 0) {
        html.attr("aria-keyshortcuts", KeysName(shortcut));
    }
    if (const char key = ParseAccessKey(caption).key) {
        html.attr("data-key", std::string(1, key));
    }
    if (!shown) {
        html.flag("hidden");
    }
    html.close().open("span").attr("class", "label").close().caption(caption).end("span");
    if (shortcut.key != 0) {
        // Told by aria-keyshortcuts rather than read as part of the name.
        html.open("span").attr("class", "shortcut").attr("aria-hidden", "true").close();
        html.text(ShortcutText(shortcut)).end("span");
    }
    html.end("div");
}

} // namespace

std::string KeysName(Shortcut shortcut) {
    return std::string(shortcut.control ? "Control+" : "") + (shortcut.shift ? "Shift+" : "") +
           std::string(1, shortcut.key);
}

std::string Px(double pixels) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6gpx", pixels);
    return text;
}

std::string PointsCss(double points) {
    char text[16];
    std::snprintf(text, sizeof text, "%.4gpt", points);
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

void MenuMarkup(const FormDesc& form, std::span<const ExtraMenuItem> extras, Html& html) {
    html.open("div").attr("class", "menubar").attr("role", "menubar");
    html.attr("aria-label", form.caption).close();
    for (const MenuDesc& menu : form.menus) {
        const std::string name(form.controlName(menu.id));
        html.open("div").attr("class", "menu").close();
        html.open("button")
            .attr("type", "button")
            .attr("class", "menutitle")
            .attr("tabindex", "-1");
        html.attr("role", "menuitem").attr("aria-haspopup", "menu").attr("aria-expanded", "false");
        html.attr("id", name);
        if (const char key = ParseAccessKey(menu.caption).key) {
            html.attr("aria-keyshortcuts", "Alt+" + std::string(1, key));
        }
        html.close().caption(menu.caption).end("button");
        html.open("div").attr("class", "items").attr("role", "menu").flag("hidden");
        html.attr("id", name + "-items").attr("aria-labelledby", name).close();
        bool anyBefore = false;
        for (const MenuItemDesc& item : menu.items) {
            for (const ExtraMenuItem& extra : extras) {
                if (extra.before == item.id) {
                    ItemMarkup(extra.name, extra.caption, {}, true, html);
                    anyBefore = true;
                }
            }
            if (item.separatorBefore) {
                html.open("div").attr("class", "separator").attr("role", "separator");
                if (!anyBefore || item.hidden) {
                    html.flag("hidden");
                }
                html.close().end("div");
            }
            ItemMarkup(form.controlName(item.id), item.caption, item.shortcut, !item.hidden, html);
            anyBefore = anyBefore || !item.hidden;
        }
        html.end("div").end("div");
    }
    html.end("div");
}

void ListMarkup(std::string_view id, const WidgetDesc& desc, Html& html) {
    if (desc.kind == WidgetKind::Table) {
        html.open("div").attr("class", "head").attr("role", "row").close().end("div");
        html.open("div").attr("class", "body").attr("role", "rowgroup").close().end("div");
        return;
    }
    for (std::size_t i = 0; i < desc.items.size(); ++i) {
        html.open("div").attr("class", "option").attr("role", "option");
        html.attr("aria-selected", "false").attr("id", std::string(id) + "-" + std::to_string(i));
        html.attr("data-row", std::to_string(i)).close().text(desc.items[i]).end("div");
    }
}

} // namespace runetally::web
