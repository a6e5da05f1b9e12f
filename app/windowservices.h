#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace runetally {

// The application's title and version, fixed when the program is built.
struct AppIdentity {
    std::string title;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t revision = 0;
};

const AppIdentity& BuildIdentity();

// A window's single shared instance, kept for the whole run. It is either not loaded, or loaded
// and shown. Showing loads it first when needed (the loader builds the window and runs its load
// step); showing a shown window only activates it. Window needs activate() and close(); the
// front end calls unloaded() once its window is gone, however it was closed.
template <class Window> class FormInstance {
public:
    using Loader = std::function<Window*()>;

    explicit FormInstance(Loader loader) : loader_(std::move(loader)) {}
    FormInstance(const FormInstance&) = delete;
    FormInstance& operator=(const FormInstance&) = delete;

    // The loaded window, or null.
    Window* loaded() const { return window_; }

    Window& show() {
        if (window_ == nullptr) {
            window_ = loader_();
        }
        window_->activate();
        return *window_;
    }

    void unload() {
        if (window_ != nullptr) {
            window_->close();
        }
    }

    void unloaded(const Window* window) {
        if (window == window_) {
            window_ = nullptr;
        }
    }

private:
    Loader loader_;
    Window* window_ = nullptr;
};

} // namespace runetally
