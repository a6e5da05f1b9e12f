// The launcher in a browser: a web page can start no program, so it finds none, and System Info
// says so unless the page gives the About dialog a launcher of its own.
#include "desktoplauncher.h"

namespace runetally {

std::optional<std::string> DesktopLauncher::findTool() {
    return std::nullopt;
}

void DesktopLauncher::start(const std::string& /*program*/) {
    // Never asked: findTool names no program.
}

} // namespace runetally
