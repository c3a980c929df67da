#pragma once

// Counter files: exactly eight ASCII digits, zero-padded, no line end ("00000042").
// Used for the never-reused unique ids of topics.

#include <string>

namespace tarvo {

// Increments the counter and returns the new value; a missing file starts at 1. A file that
// does not hold a number is rewritten as -1 and -1 is returned, as for a failure.
int NextCounter(const std::string& path);
// Creates or overwrites the counter with `value`; returns the value, or -1.
int WriteCounter(const std::string& path, int value);

}  // namespace tarvo
