#pragma once

#include "chartpicture.h"

#include <string>

namespace runetally::web {

// The picture as SVG markup in CSS pixels, for a chart of that size in twips: lines first, then
// polylines, dots and texts, each in its list's order.
std::string ChartSvg(const ChartPicture& picture, int width, int height);

} // namespace runetally::web
