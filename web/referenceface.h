#pragma once

#include "captionfit.h"

namespace runetally::web {

// The page's face as a build machine can know it: DejaVu Sans, which Chromium on a Linux desktop
// gives for the page's faces, measured from its advance widths, as a canvas in that browser
// measures it. It is wider than the faces of other systems, so that captions it fits also fit
// there; the page fits them again to the browser's own face once it runs.
// The height of a label's text at `points`: its lines broken at spaces, as the browser breaks a
// label's text, each line measured by `measure`, at the style sheet's line height.
int PageWrappedHeight(TextMeasure& measure, std::string_view text, double points, int width);

class ReferenceFaceMeasure final : public TextMeasure {
public:
    int width(std::string_view text, double points) override;
    int wrappedHeight(std::string_view text, double points, int width) override;
};

} // namespace runetally::web
