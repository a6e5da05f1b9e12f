#pragma once

#include "formdescription.h"

#include <string>
#include <vector>

namespace runetally {

// What a chart widget draws, worked out without a toolkit: positions are in twips from the
// top-left corner of the chart's own rectangle. A front end draws the lines first, then the
// polylines, the dots and the texts, each in its list's order, and speaks the description.

struct ChartLine {
    PointTwips from;
    PointTwips to;
    Rgb colour;
    int width = 1; // pixels at 96 dpi
    bool dashed = false;
    bool operator==(const ChartLine&) const = default;
};

struct ChartPolyline {
    std::vector<PointTwips> points;
    Rgb colour;
    int width = 1; // pixels at 96 dpi
    bool dashed = false;
    bool operator==(const ChartPolyline&) const = default;
};

struct ChartDot {
    PointTwips centre;
    int radius = 0; // twips
    Rgb colour;
    bool operator==(const ChartDot&) const = default;
};

// Which point of the text's box stands at its position.
enum class TextAnchor {
    TopLeft,
    Top,
    TopRight,
    Left,
    Centre,
    Right,
    BottomLeft,
    Bottom,
    BottomRight
};

// One line of text in the default user-interface font.
struct ChartText {
    PointTwips at;
    std::string text;
    TextAnchor anchor = TextAnchor::TopLeft;
    Rgb colour;
    bool operator==(const ChartText&) const = default;
};

struct ChartPicture {
    std::vector<ChartLine> lines;
    std::vector<ChartPolyline> polylines;
    std::vector<ChartDot> dots;
    std::vector<ChartText> texts;
    // What the picture shows, in words, for screen readers.
    std::string description;
};

} // namespace runetally
