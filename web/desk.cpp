#include "desk.h"

#include "dom.h"
#include "formpage.h"

#include <algorithm>

namespace runetally::web {

std::pair<double, double> Desk::placeFor(const FormDesc& form) const {
    constexpr double kApart = 16; // CSS pixels between two windows
    if (form.screenPosition) {
        return {static_cast<double>(form.screenPosition->x) / kTwipsPerPixel,
                static_cast<double>(form.screenPosition->y) / kTwipsPerPixel};
    }
    if (forms_.empty()) {
        return {kPageMargin, kPageMargin};
    }
    const Js first = forms_.front()->element();
    const double right = first["offsetLeft"].as<double>() + first["offsetWidth"].as<double>();
    const double room = Document()["documentElement"]["clientWidth"].as<double>();
    if (right + kApart + static_cast<double>(form.clientWidth) / kTwipsPerPixel < room) {
        return {right + kApart, first["offsetTop"].as<double>()};
    }
    return {kPageMargin, first["offsetTop"].as<double>() +
                             first.call<Js>("getBoundingClientRect")["height"].as<double>() +
                             kApart};
}

FormPage* Desk::of(const Js& element) const {
    const auto found = std::find_if(forms_.begin(), forms_.end(),
                                    [&](const FormPage* form) { return form->holds(element); });
    return found == forms_.end() ? nullptr : *found;
}

void Desk::fitAll() {
    for (FormPage* form : forms_) {
        form->fit();
    }
}

void Desk::pageDrawn() {
    drawn_ = true;
    if (active_ != nullptr) {
        active_->activate();
    }
    for (FormPage* form : std::exchange(loading_, {})) {
        form->events().loaded();
        form->catchUp();
    }
}

void Desk::load(FormPage& form) {
    if (drawn_) {
        form.events().loaded();
    } else {
        loading_.push_back(&form);
    }
}

void Desk::closed(FormPage& form) {
    std::erase(forms_, &form);
    std::erase(loading_, &form);
    if (active_ == &form) {
        active_ = forms_.empty() ? nullptr : forms_.back();
    }
}

int Desk::raise(FormPage& form) {
    active_ = &form;
    return ++topLayer_;
}

} // namespace runetally::web
