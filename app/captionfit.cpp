#include "captionfit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace runetally {
namespace {

template <class Visit> void ForEachWord(std::string_view text, Visit visit) {
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t to = std::min(text.find(' ', from), text.size());
        visit(text.substr(from, to - from));
        from = to + 1;
    }
}

bool Fits(const WidgetDesc& caption, int dpi, double points, TextMeasure& measure) {
    const int width = TwipsToPixels(caption.rect.width, dpi);
    bool wordsFit = true;
    ForEachWord(caption.text, [&](std::string_view word) {
        wordsFit = wordsFit && measure.width(word, points) <= width;
    });
    return wordsFit && measure.wrappedHeight(caption.text, points, width) <=
                           TwipsToPixels(caption.rect.height, dpi);
}

} // namespace

std::optional<double> FitCaptions(const FormDesc& form, int dpi, double points,
                                  TextMeasure& measure) {
    const std::vector<const WidgetDesc*> captions = InputCaptions(form);
    const auto allFit = [&](double size) {
        return std::all_of(captions.begin(), captions.end(), [&](const WidgetDesc* caption) {
            return Fits(*caption, dpi, size, measure);
        });
    };
    // The caption boxes were laid out for a small 8-point face: mostly they keep the default.
    if (allFit(points)) {
        return std::nullopt;
    }
    // Widths grow with the size: the widest word for its box says where to start looking, so
    // that a front end loads few sizes of its face.
    double scale = 1.0;
    for (const WidgetDesc* caption : captions) {
        const int box = TwipsToPixels(caption->rect.width, dpi);
        ForEachWord(caption->text, [&](std::string_view word) {
            if (const int width = measure.width(word, points); width > box) {
                scale = std::min(scale, static_cast<double>(box) / width);
            }
        });
    }
    for (double size = std::min(std::floor(points * scale * 2) / 2, points - 0.5);
         size > kSmallestCaptionPoints; size -= 0.5) {
        if (allFit(size)) {
            return size;
        }
    }
    return kSmallestCaptionPoints;
}

} // namespace runetally
