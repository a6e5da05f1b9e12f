#include "chartsvg.h"

#include "dom.h"

#include <cstdio>

namespace runetally::web {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string At(int twips) {
    return Number(static_cast<double>(twips) / kTwipsPerPixel);
}

// The anchors go by rows of three: top, middle, bottom; in each, left, centre, right.
const char* Horizontal(TextAnchor anchor) {
    static constexpr const char* kColumns[] = {"start", "middle", "end"};
    return kColumns[static_cast<int>(anchor) % 3];
}

const char* Vertical(TextAnchor anchor) {
    static constexpr const char* kRows[] = {"text-before-edge", "central", "text-after-edge"};
    return kRows[static_cast<int>(anchor) / 3];
}

} // namespace

std::string ChartSvg(const ChartPicture& picture, int width, int height) {
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" aria-hidden=\"true\" width=\"" +
                      At(width) + "\" height=\"" + At(height) + "\">";
    for (const ChartLine& line : picture.lines) {
        svg += "<line x1=\"" + At(line.from.x) + "\" y1=\"" + At(line.from.y) + "\" x2=\"" +
               At(line.to.x) + "\" y2=\"" + At(line.to.y) + "\" stroke=\"" +
               CssColour(line.colour) + "\" stroke-width=\"" + Number(line.width) + "\"" +
               (line.dashed ? " stroke-dasharray=\"4 3\"" : "") + "/>";
    }
    for (const ChartPolyline& polyline : picture.polylines) {
        svg += "<polyline fill=\"none\" stroke-linejoin=\"round\" stroke=\"" +
               CssColour(polyline.colour) + "\" stroke-width=\"" + Number(polyline.width) +
               (polyline.dashed ? "\" stroke-dasharray=\"6 4" : "") + "\" points=\"";
        for (const PointTwips& point : polyline.points) {
            svg += At(point.x) + "," + At(point.y) + " ";
        }
        svg += "\"/>";
    }
    for (const ChartDot& dot : picture.dots) {
        svg += "<circle cx=\"" + At(dot.centre.x) + "\" cy=\"" + At(dot.centre.y) + "\" r=\"" +
               At(dot.radius) + "\" fill=\"" + CssColour(dot.colour) + "\"/>";
    }
    for (const ChartText& text : picture.texts) {
        svg += "<text x=\"" + At(text.at.x) + "\" y=\"" + At(text.at.y) + "\" fill=\"" +
               CssColour(text.colour) + "\" text-anchor=\"" + Horizontal(text.anchor) +
               "\" dominant-baseline=\"" + Vertical(text.anchor) + "\">" + Escaped(text.text) +
               "</text>";
    }
    return svg + "</svg>";
}

} // namespace runetally::web
