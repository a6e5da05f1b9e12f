#pragma once

#include "formdescription.h"

#include "js.h"
#include "markup.h"

#include <string>
#include <string_view>

namespace runetally::web {

Js Document();
std::string Utf8(const Js& value);

// Puts the markup at the end of the parent: its last element, once there.
Js Append(const Js& parent, const Html& html);
void SetText(const Js& element, std::string_view text);
void SetAttribute(const Js& element, const char* name, std::string_view value);
void SetStyle(const Js& element, const char* property, std::string_view value);
// Whether `element` is `other`, or holds it.
bool Holds(const Js& element, const Js& other);
Js ActiveElement();
void Focus(const Js& element);

} // namespace runetally::web
