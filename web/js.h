#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace runetally::web {

// A JavaScript value that the page's shell holds for the front end, by handle. The front end
// needs few things of the page's objects: read and set a property, call a method, and read a
// value back as text, a number or a truth. Each is one call into the shell, and one more for
// each text, number or truth it is given, which keeps the page smaller than a general binding
// would. Names of properties and methods are string
// literals, which the shell reads once each.
class Js {
public:
    static Js global(const char* name);
    static Js module(const char* name); // the program's own, as the shell sets them
    static Js null();
    static Js object();
    // A value the shell handed over, whose handle it no longer holds for itself.
    static Js take(int handle) { return Js(Handle{handle}); }

    explicit Js(const char* text) : Js(std::string_view(text)) {}
    explicit Js(std::string_view text);
    explicit Js(const std::string& text) : Js(std::string_view(text)) {}
    explicit Js(double number);
    explicit Js(int number) : Js(static_cast<double>(number)) {}
    explicit Js(bool truth);
    Js(const Js& other);
    Js(Js&& other) noexcept : handle_(other.handle_) { other.handle_ = kUndefined; }
    Js& operator=(const Js& other);
    Js& operator=(Js&& other) noexcept;
    ~Js();

    Js operator[](const char* name) const;
    void set(const char* name, const Js& value) const;
    template <class T> void set(const char* name, const T& value) const { set(name, Js(value)); }

    // Calls the method with these arguments: values, texts, numbers or truths.
    template <class R = void, class... Args> R call(const char* method, const Args&... args) const {
        (push(args), ...);
        Js result = invoke(method);
        if constexpr (!std::is_void_v<R>) {
            return result.as<R>();
        }
    }

    template <class T> T as() const {
        if constexpr (std::is_same_v<T, Js>) {
            return *this;
        } else if constexpr (std::is_same_v<T, std::string>) {
            return text();
        } else if constexpr (std::is_same_v<T, bool>) {
            return truth();
        } else {
            return static_cast<T>(number());
        }
    }

    bool isNull() const;
    bool isUndefined() const { return handle_ == kUndefined; }
    bool isString() const;
    bool instanceof (const Js& constructor) const;
    bool strictlyEquals(const Js& other) const;
    // Copies the first `size` bytes of a Uint8Array.
    void copyBytes(void* to, std::size_t size) const;

private:
    struct Handle {
        int value;
    };
    static constexpr int kUndefined = 0;

    explicit Js(Handle handle) : handle_(handle.value) {}
    static void push(const Js& value);
    template <class T> static void push(const T& value) { push(Js(value)); }
    Js invoke(const char* method) const;
    std::string text() const;
    double number() const;
    bool truth() const;

    int handle_;
};

} // namespace runetally::web
