#pragma once

// Settings and list files written as a whole: numbered backups of the old file, then the new
// pairs put safely in its place, so the file holds the old or the new pairs, never half.

#include <string>

#include "store/pair_list.h"

namespace tarvo {

// Reads every pair of a plain (or secure) file; false when the file cannot be opened.
bool LoadPairFile(const std::string& path, PairList& pairs, bool secure = false);
// Keeps `backups` numbered copies of the old file and replaces it with the pairs.
bool SavePairFile(const std::string& path, const PairList& pairs, int backups,
                  bool secure = false);
// The same through a named temporary file, written and forced to disk first and left in
// place afterwards (callers that want it gone delete it). False, with `path` untouched, when
// the temporary file cannot be written or the replacement fails.
bool SavePairFileThrough(const std::string& temporary, const std::string& path,
                         const PairList& pairs, int backups);

}  // namespace tarvo
