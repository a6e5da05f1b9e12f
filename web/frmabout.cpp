#include "frmabout.h"

#include "browserreport.h"
#include "dialogs.h"
#include "dom.h"
#include "session.h"

namespace runetally::web {
namespace {

const FormDesc& Form() {
    return AboutDescription();
}

// The icon, one canvas pixel for each of its pixels, drawn at the picture's top-left corner.
void DrawIcon(const Js& picture) {
    Js canvas = Create("canvas", picture);
    canvas.set("width", kIconSize);
    canvas.set("height", kIconSize);
    SetAttribute(canvas, "aria-hidden", "true");
    Js context = canvas.call<Js>("getContext", Js("2d"));
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            if (const std::optional<Rgb> colour = AboutIconColour(AboutIconRows()[y][x])) {
                context.set("fillStyle", std::string_view(CssColour(*colour)));
                context.call<void>("fillRect", x, y, 1, 1);
            }
        }
    }
}

} // namespace

std::optional<std::string> BrowserInfo::findTool() {
    return "the browser"; // what the page has in place of a program
}

void BrowserInfo::start(const std::string& /*program*/) {
    const Js navigator = Js::global("navigator");
    const Js screen = Js::global("screen");
    view_.showMessage(BrowserReport({.userAgent = Utf8(navigator["userAgent"]),
                                     .language = Utf8(navigator["language"]),
                                     .screenWidth = screen["width"].as<int>(),
                                     .screenHeight = screen["height"].as<int>(),
                                     .pixelRatio = Js::global("devicePixelRatio").as<double>()}));
}

frmAbout::frmAbout()
    : commands_(*this, BuildIdentity(), &browserInfo_),
      form_(Form(),
            {.clicked = [this](ControlId id) { commands_.click(id.as<AboutControl>()); },
             .closing = [this] { unload(); }},
            {.left = static_cast<double>(Form().screenPosition->x) / kTwipsPerPixel,
             .top = static_cast<double>(Form().screenPosition->y) / kTwipsPerPixel,
             .role = "dialog"}) {
    DrawIcon(form_.widget(AboutControl::picIcon));
}

void frmAbout::activate() {
    form_.activate();
}

void frmAbout::close() {
    Session::Get().about().unloaded(this);
    Session::Get().deleteLater([this] { delete this; });
}

void frmAbout::setCaption(std::string_view text) {
    form_.setCaption(text);
}

void frmAbout::setLabel(AboutControl label, std::string_view text) {
    form_.setLabel(label, text);
}

void frmAbout::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmAbout::unload() {
    close();
}

} // namespace runetally::web
