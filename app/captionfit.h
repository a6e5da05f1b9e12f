#pragma once

#include "formdescription.h"

#include <optional>
#include <string_view>

namespace runetally {

// How a front end's default face measures text at a point size, in device pixels at the
// resolution the captions are fitted for.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // The text's width on one line.
    virtual int width(std::string_view text, double points) = 0;
    // The text's height once wrapped at words to the width.
    virtual int wrappedHeight(std::string_view text, double points, int width) = 0;
};

inline constexpr double kSmallestCaptionPoints = 6.0;

// The point size for the window's input captions (InputCaptions) at the resolution: none while
// all of them fit their boxes at `points`, the default face's size; else the largest size in
// half points, down to the smallest, at which all fit; else the smallest. A caption fits when each
// of its words fits its box's width and its whole text, wrapped at words, its box's height.
std::optional<double> FitCaptions(const FormDesc& form, int dpi, double points,
                                  TextMeasure& measure);

} // namespace runetally
