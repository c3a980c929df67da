#pragma once

// Counter files: exactly eight ASCII digits, zero-padded, no line end ("00000042").
// Used for the never-reused unique ids of topics.

#include <string>

#include "base/result.h"

namespace tarvo {

// Increments the counter and returns the new value; a missing file starts at 1. A file that
// does not hold a number is rewritten as -1 and reported as a failure, so no value is ever
// handed out twice and none is made up.
ResultOf<int> NextCounter(const std::string& path);
// Creates or overwrites the counter with `value`.
Result WriteCounter(const std::string& path, int value);

}  // namespace tarvo
