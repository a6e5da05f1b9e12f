#include "clipboard.h"

#include "dom.h"

namespace runetally::web {

void Clipboard::copy(std::string_view text) {
    pending_ = std::string(text);
    Document().call<bool>("execCommand", Js("copy"));
    if (pending_) {
        // No copy event: the page may not start one now.
        const Js clipboard = Js::global("navigator")["clipboard"];
        if (!clipboard.isUndefined()) {
            clipboard.call<Js>("writeText", std::string_view(text));
        }
    }
    pending_.reset();
}

bool Clipboard::copying(const Js& event) {
    if (!pending_) {
        return false;
    }
    event["clipboardData"].call<void>("setData", Js("text/plain"), std::string_view(*pending_));
    event.call<void>("preventDefault");
    pending_.reset();
    return true;
}

} // namespace runetally::web
