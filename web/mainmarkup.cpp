#include "mainmarkup.h"

#include "mainwindow.h"
#include "referenceface.h"

namespace runetally::web {

FormPlace MainWindowPlace(std::function<void()> copyLink) {
    // A link carries the character where no file can go. The page's first window stands at its
    // margin, as the desk places a window with none before it.
    return {.role = "main",
            .extras = {{"mnuCopyLink", "Copy &Link", MainControl::mnuReset, std::move(copyLink)}},
            .left = kPageMargin,
            .top = kPageMargin};
}

std::string MainWindowMarkup() {
    // Captions fitted as the page would fit them to the face a Linux desktop gives it.
    FormPlace place = MainWindowPlace({});
    ReferenceFaceMeasure measure;
    place.captionPoints = FitCaptions(MainWindowDescription(), 96, 9.0, measure);
    Html html;
    FormMarkup(MainWindowDescription(), place, html);
    return html.str();
}

} // namespace runetally::web
