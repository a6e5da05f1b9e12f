#pragma once

#include "markup.h"

#include <functional>
#include <string>

namespace runetally::web {

// The main window as the page shows it: its role, and the page's own menu item.
FormPlace MainWindowPlace(std::function<void()> copyLink);
// Its markup before the player has done anything: what the build writes into the page, and what
// the module adopts.
std::string MainWindowMarkup();

} // namespace runetally::web
