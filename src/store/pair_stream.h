#pragma once

// Reading the key=value lines of a plain file block by block, with exactly the rules of
// ReadPairs (every line end, NUL bytes dropped, quoted keys, blanks trimmed, empty keys
// skipped), for files too large to hold whole: a structure file of a million topics is read
// through a buffer of about a megabyte instead of twice its size in memory.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace tarvo {

// Called with each pair and the 1-based number of its line; false stops the reading.
using PairVisitor = std::function<bool(std::string_view key, std::string_view value, std::size_t line)>;

// Reads the whole file (or until `visit` says stop). A failure when it cannot be read.
Result ForEachPair(const std::string& path, const PairVisitor& visit);

// The same over bytes in memory, as one block (for tests and small inputs).
void ForEachPairIn(std::string_view bytes, const PairVisitor& visit);

}  // namespace tarvo
