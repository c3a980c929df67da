#pragma once

// The longest run of plain text that every match of a regular expression must hold, such as
// "ssh2: ED" in `ssh2: ED\d+`. Lines without it cannot match, and a byte search skips them far
// faster than the expression engine can try them: filtering a log by an expression mostly
// comes down to that search.
//
// The reading is deliberately cautious: whatever it does not fully understand (alternatives at
// the outer level, inline options, quoting, escapes by number or name) gives no text, and then
// every line is tried as before. A wrong text would hide matching lines; a missing one only
// costs time.

#include <string>
#include <string_view>

namespace tarvo {

// The text in UTF-8, or empty when none can be named safely.
std::string RequiredLiteral(std::string_view pattern);

}  // namespace tarvo
