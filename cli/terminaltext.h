#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace runetally {

// Text from the command line made fit to show on one line of a terminal. A byte that is no UTF-8
// becomes U+FFFD; a control character (C0, DEL, C1) or a bidirectional embedding, override or
// isolate is written as \u{XXXX}, so that it can neither move the cursor, start an escape
// sequence nor reorder the rest of the line. Text of more than `longest` characters keeps its
// first `longest` and ends in "...".
//
// Characters are counted as they were given, before escaping: the reader is shown the same part
// of the text whatever it holds, and the cut never splits an escape or a UTF-8 sequence.
std::string TerminalText(std::string_view text, std::size_t longest = std::string_view::npos);

// A name quoted in a usage message, cut short so that the message stays readable.
std::string Quoted(std::string_view text);

} // namespace runetally
