#include "session.h"

#include <emscripten/emscripten.h>

namespace {

// The page's one run, for the whole visit: the browser's events reach it.
runetally::web::Session* page = nullptr;

} // namespace

int main() {
    static runetally::web::Session session;
    page = &session;
    session.start();
    return 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE void runetally_event(int handle) {
    page->dispatch(runetally::web::Js::take(handle));
}
