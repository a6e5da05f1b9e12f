// The page's windows: the description, commands and role of each. All else is generic.
#include "session.h"

#include "browserreport.h"
#include "characterlink.h"
#include "dom.h"
#include "mainmarkup.h"

#include <type_traits>

namespace runetally::web {

Session::Session()
    : desk_([this](std::function<void()> command) { run(std::move(command)); }), main_([this] {
          return open(main_, MainWindowDescription(), MainWindowPlace([this] { copyLink(); }));
      }),
      planner_([this] { return open(planner_, PlannerDescription(), {.role = "dialog"}); }),
      about_([this] {
          return open(about_, AboutDescription(), {.role = "dialog"}, BuildIdentity(),
                      static_cast<SysInfoLauncher*>(&browserInfo_));
      }) {}

template <class Commands, class... More>
PageWindow<Commands>* Session::open(FormInstance<PageWindow<Commands>>& instance,
                                    const FormDesc& form, FormPlace place, More... more) {
    auto* window = new PageWindow<Commands>(form, desk_, std::move(place), *this, more...);
    window->page.whenClosed([this, &instance, window] {
        instance.unloaded(window);
        deleteLater([window] { delete window; });
        if constexpr (std::is_same_v<Commands, MainCommands>) {
            end(); // in a page, the main window's end is the session's
        }
    });
    return window;
}

void Session::show(Window window) {
    switch (window) {
    case Window::Main:
        main_.show();
        break;
    case Window::Planner:
        planner_.show();
        break;
    case Window::About:
        about_.show();
        break;
    }
}

MainFollower* Session::follower() {
    return planner_.loaded() != nullptr ? &planner_.loaded()->commands : nullptr;
}

void Session::copyLink() {
    std::string address = Utf8(Js::global("location")["href"]);
    address = address.substr(0, address.find('#'));
    copyText(address + "#" + CharacterLinkFragment(main()->shown(), decimalSeparator()));
}

void BrowserInfo::start(const std::string& /*program*/) {
    const Js navigator = Js::global("navigator");
    const Js screen = Js::global("screen");
    platform_.showMessage(
        BrowserReport({.userAgent = Utf8(navigator["userAgent"]),
                       .language = Utf8(navigator["language"]),
                       .screenWidth = screen["width"].as<int>(),
                       .screenHeight = screen["height"].as<int>(),
                       .pixelRatio = Js::global("devicePixelRatio").as<double>()}));
}

} // namespace runetally::web
