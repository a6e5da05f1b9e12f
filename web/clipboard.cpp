#include "clipboard.h"

#include "dom.h"

#include <optional>
#include <string>

namespace runetally::web {
namespace {

std::optional<std::string>& Pending() {
    static std::optional<std::string> pending;
    return pending;
}

} // namespace

void CopyText(std::string_view text) {
    Pending() = std::string(text);
    Document().call<bool>("execCommand", Js("copy"));
    if (Pending()) {
        // No copy event: the page may not start one now.
        const Js clipboard = Js::global("navigator")["clipboard"];
        if (!clipboard.isUndefined()) {
            clipboard.call<Js>("writeText", std::string_view(text));
        }
    }
    Pending().reset();
}

bool HandleCopyEvent(const Js& event) {
    if (!Pending()) {
        return false;
    }
    event["clipboardData"].call<void>("setData", Js("text/plain"), std::string_view(*Pending()));
    event.call<void>("preventDefault");
    Pending().reset();
    return true;
}

} // namespace runetally::web
