#include "js.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace runetally::web {
namespace {

// The shell keeps the values in jsRefs, by handle; 0 is undefined and 1 null (shell.js).
// clang-format off
EM_JS(int, JsGlobal, (const char* name), { return jsKeep(globalThis[jsName(name)]); });
EM_JS(int, JsModule, (const char* name), { return jsKeep(Module[jsName(name)]); });
EM_JS(int, JsObject, (), { return jsKeep({}); });
EM_JS(int, JsString, (const char* text, int size), { return jsKeep(UTF8ToString(text, size)); });
EM_JS(int, JsNumber, (double number), { return jsKeep(number); });
EM_JS(int, JsTruth, (int truth), { return jsKeep(!!truth); });
EM_JS(int, JsCopy, (int handle), { return jsKeep(jsRefs[handle]); });
EM_JS(void, JsDrop, (int handle), { jsDrop(handle); });
EM_JS(int, JsGet, (int handle, const char* name), {
    return jsKeep(jsRefs[handle][jsName(name)]);
});
EM_JS(void, JsSet, (int handle, const char* name, int value), {
    jsRefs[handle][jsName(name)] = jsRefs[value];
});
EM_JS(void, JsPushValue, (int handle), { jsArgs.push(jsRefs[handle]); });
EM_JS(int, JsCall, (int handle, const char* method), {
    var object = jsRefs[handle];
    var args = jsArgs;
    jsArgs = [];
    return jsKeep(object[jsName(method)].apply(object, args));
});
EM_JS(char*, JsText, (int handle), {
    var text = String(jsRefs[handle]);
    var size = lengthBytesUTF8(text) + 1;
    var copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});
EM_JS(double, JsNumberOf, (int handle), { return +jsRefs[handle]; });
EM_JS(int, JsTruthOf, (int handle), { return jsRefs[handle] ? 1 : 0; });
EM_JS(int, JsIsString, (int handle), { return typeof jsRefs[handle] === "string"; });
EM_JS(int, JsInstanceOf, (int handle, int constructor), {
    return jsRefs[handle] instanceof jsRefs[constructor];
});
EM_JS(int, JsSame, (int one, int other), { return jsRefs[one] === jsRefs[other]; });
EM_JS(void, JsCopyBytes, (int handle, unsigned char* to, int size), {
    HEAPU8.set(jsRefs[handle].subarray(0, size), to);
});
// clang-format on

} // namespace

Js Js::global(const char* name) {
    return Js(Handle{JsGlobal(name)});
}

Js Js::module(const char* name) {
    return Js(Handle{JsModule(name)});
}

Js Js::null() {
    return Js(Handle{1});
}

Js Js::object() {
    return Js(Handle{JsObject()});
}

Js::Js(std::string_view text) : handle_(JsString(text.data(), static_cast<int>(text.size()))) {}

Js::Js(double number) : handle_(JsNumber(number)) {}

Js::Js(bool truth) : handle_(JsTruth(truth)) {}

Js::Js(const Js& other) : handle_(other.handle_ > 1 ? JsCopy(other.handle_) : other.handle_) {}

Js& Js::operator=(const Js& other) {
    if (this != &other) {
        *this = Js(other);
    }
    return *this;
}

Js& Js::operator=(Js&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
}

Js::~Js() {
    if (handle_ > 1) {
        JsDrop(handle_);
    }
}

Js Js::operator[](const char* name) const {
    return Js(Handle{JsGet(handle_, name)});
}

void Js::set(const char* name, const Js& value) const {
    JsSet(handle_, name, value.handle_);
}

void Js::push(const Js& value) {
    JsPushValue(value.handle_);
}

Js Js::invoke(const char* method) const {
    return Js(Handle{JsCall(handle_, method)});
}

std::string Js::text() const {
    const std::unique_ptr<char, decltype(&std::free)> copy(JsText(handle_), &std::free);
    return copy.get();
}

double Js::number() const {
    return JsNumberOf(handle_);
}

bool Js::truth() const {
    return JsTruthOf(handle_) != 0;
}

bool Js::isNull() const {
    return handle_ == 1;
}

bool Js::isString() const {
    return JsIsString(handle_) != 0;
}

bool Js:: instanceof (const Js& constructor) const {
    return JsInstanceOf(handle_, constructor.handle_) != 0;
}

bool Js::strictlyEquals(const Js& other) const {
    return JsSame(handle_, other.handle_) != 0;
}

void Js::copyBytes(void* to, std::size_t size) const {
    JsCopyBytes(handle_, static_cast<unsigned char*>(to), static_cast<int>(size));
}

} // namespace runetally::web
