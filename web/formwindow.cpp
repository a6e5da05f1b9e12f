// A window among the others in the page: in front, focused, dragged by its title bar, fitted to
// a narrow screen, and made larger by its corner.
#include "formpage.h"

#include "desk.h"
#include "dom.h"

#include <algorithm>

namespace runetally::web {
void FormPage::raise() {
    SetStyle(window_, "z-index", std::to_string(desk_.raise(*this)));
}

void FormPage::activate() {
    raise();
    if (!desk_.drawn() || Holds(window_, ActiveElement())) {
        return;
    }
    if (Holds(client_, lastFocus_) && !lastFocus_["hidden"].as<bool>()) {
        Focus(lastFocus_);
        return;
    }
    const std::vector<Js> all = stops();
    if (!all.empty()) {
        Focus(all.front());
    }
}

void FormPage::fit() {
    // From what the window knows of its width, without laying the page out before it is drawn:
    // on a screen narrower than the window as described, its controls stand in one column, the
    // screen's width (the style sheet's .column). The root's width, not innerWidth: on a phone a
    // window placed past the screen's edge widens innerWidth until it seems to fit.
    const double room = Document()["documentElement"]["clientWidth"].as<double>() - 2 * kPageMargin;
    const double width = static_cast<double>(form_.clientWidth) / kTwipsPerPixel + 2;
    const bool column = width > room;
    if (column != column_) {
        column_ = column;
        window_["classList"].call<void>("toggle", "column", column);
    }
    if (!column && left_ + width > room + kPageMargin) {
        SetStyle(window_, "left",
                 Px(std::max(kPageMargin, std::min(left_, room + kPageMargin - width))));
    }
}

void FormPage::pointer(const std::string& type, const Js& event) {
    const Js target = event["target"];
    if (type == "pointerdown") {
        raise();
        if (menuBar_ && !menuBar_->owns(target)) {
            menuBar_->close();
        }
        if (Holds(titleBar_, target) && target.call<Js>("closest", Js("[data-close]")).isNull()) {
            drag_ = std::array<double, 4>{
                event["clientX"].as<double>(), event["clientY"].as<double>(),
                window_["offsetLeft"].as<double>(), window_["offsetTop"].as<double>()};
            titleBar_.call<void>("setPointerCapture", event["pointerId"]);
        }
    } else if (type == "pointermove" && drag_) {
        left_ = std::max(0.0, (*drag_)[2] + event["clientX"].as<double>() - (*drag_)[0]);
        top_ = std::max(0.0, (*drag_)[3] + event["clientY"].as<double>() - (*drag_)[1]);
        SetStyle(window_, "left", Px(left_));
        SetStyle(window_, "top", Px(top_));
    } else if (type == "pointerup") {
        drag_.reset();
    }
}

void FormPage::place() {
    clientWidth_ = client_["offsetWidth"].as<double>();
    const int width = client_["clientWidth"].as<int>() * kTwipsPerPixel;
    const int height = client_["clientHeight"].as<int>() * kTwipsPerPixel;
    for (const WidgetDesc& desc : form_.widgets) {
        if (desc.stretch != Stretch{}) {
            const Js style = widget(desc.id)["style"];
            style.set("cssText",
                      Utf8(style["cssText"]) + PlaceCss(Placed(form_, desc, width, height)));
            if (desc.kind == WidgetKind::Chart) {
                events_->resized(desc.id);
            }
        }
    }
}

} // namespace runetally::web
