// Fitting a window's input captions to the browser's own face.
#include "formpage.h"

#include "captionfit.h"
#include "dom.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace runetally::web {
namespace {

constexpr double kDefaultPoints = 9.0; // the page's face, as the style sheet sets it
constexpr double kLineSpacing = 1.25;  // the labels' line height, as the style sheet sets it
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
        int lines = 0;
        std::string line;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = std::min(text.find(' ', start), text.size());
            const std::string word(text.substr(start, end - start));
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && this->width(longer, points) > width) {
                ++lines;
                line = word;
            } else {
                line = longer;
            }
            start = end + 1;
        }
        lines += line.empty() ? 0 : 1;
        return static_cast<int>(std::ceil(lines * points * kCssDpi / 72 * kLineSpacing));
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
