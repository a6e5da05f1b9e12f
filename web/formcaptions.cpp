// Fitting a window's input captions to the browser's own face.
#include "formpage.h"

#include "captionfit.h"
#include "dom.h"
#include "referenceface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace runetally::web {
namespace {

constexpr double kDefaultPoints = 9.0; // the page's face, as the style sheet sets it
constexpr int kCssDpi = 96;

// The default face measured on a canvas, in CSS pixels.
class CanvasMeasure : public TextMeasure {
public:
    CanvasMeasure()
        : context_(
              Document().call<Js>("createElement", Js("canvas")).call<Js>("getContext", Js("2d"))) {
    }

    int width(std::string_view text, double points) override {
        use(points);
        return static_cast<int>(std::ceil(
            context_.call<Js>("measureText", std::string_view(text))["width"].as<double>()));
    }

    int wrappedHeight(std::string_view text, double points, int width) override {
        return PageWrappedHeight(*this, text, points, width);
    }

private:
    void use(double points) {
        if (points != points_) {
            points_ = points;
            context_.set("font", std::string_view(Px(points * kCssDpi / 72) + " " + kPageFaces));
        }
    }

    Js context_;
    double points_ = 0;
};

} // namespace

void FormPage::fitCaptions() {
    const std::vector<const WidgetDesc*> captions = InputCaptions(form_);
    if (captions.empty()) {
        return;
    }
    CanvasMeasure measure;
    const std::optional<double> points = FitCaptions(form_, kCssDpi, kDefaultPoints, measure);
    // A window the build wrote may hold captions fitted to another face than the browser's.
    if (!points && !written_) {
        return;
    }
    for (const WidgetDesc* caption : captions) {
        if (points) {
            SetStyle(widget(caption->id), "font-size", PointsCss(*points));
        } else {
            widget(caption->id)["style"].call<void>("removeProperty", Js("font-size"));
        }
    }
}

} // namespace runetally::web
