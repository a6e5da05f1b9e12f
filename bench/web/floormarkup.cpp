// The start-up floor for a page that makes its window in its module: a minimal Emscripten module
// that puts the main window's markup, as the page's build writes it, into the page in main and
// gives the focus to its first stop.
#include <emscripten/emscripten.h>

#include "mainwindowmarkup.h"

// clang-format off
EM_JS(void, ShowWindow, (const char* markup), {
    document.body.insertAdjacentHTML("beforeend", UTF8ToString(markup));
    document.getElementById("varResist").focus();
    document.documentElement.classList.remove("loading");
});
// clang-format on

int main() {
    ShowWindow(kMainWindowMarkup);
    return 0;
}
