#include "mainmarkup.h"

#include "mainwindow.h"

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
    Html html;
    FormMarkup(MainWindowDescription(), MainWindowPlace({}), html);
    return html.str();
}

} // namespace runetally::web
