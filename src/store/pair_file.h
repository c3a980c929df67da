#pragma once

// Settings and list files written as a whole: numbered backups of the old file, then the new
// pairs put safely in its place, so the file holds the old or the new pairs, never half.

#include <string>
#include <string_view>

#include "base/result.h"
#include "store/block_writer.h"
#include "store/file_system.h"
#include "store/safe_replace.h"

#include "store/pair_list.h"

namespace tarvo {

// Reads every pair of a plain (or secure) file.
Result LoadPairFile(const std::string& path, PairList& pairs, bool secure = false);
// Keeps `backups` numbered copies of the old file and replaces it with the pairs. A backup
// copy that could not be made does not stop the save; it comes back as the result's note.
Result SavePairFile(const std::string& path, const PairList& pairs, int backups,
                    bool secure = false);
// The same through a named temporary file, written and forced to disk first and left in
// place afterwards (callers that want it gone delete it). A failure leaves `path` untouched.
Result SavePairFileThrough(const std::string& temporary, const std::string& path,
                           const PairList& pairs, int backups);
// The same with the bytes already made.
Result SaveBytesThrough(const std::string& temporary, const std::string& path,
                        std::string_view bytes, int backups);

// Backs up `path` and puts the flushed temporary file's bytes in its place. Afterwards the
// temporary file may be a second name of the real one: it is removed, never written into,
// before the next save makes it anew (CreateTemporary).
Result ReplaceFromTemporary(const std::string& temporary, const std::string& path, int backups);

// Writes the temporary file through a BlockWriter handed to `write`, then backs up `path`
// and replaces it as SavePairFileThrough does.
template <typename Write>
Result SaveStreamedThrough(const std::string& temporary, const std::string& path, int backups,
                           Write&& write) {
  {
    ResultOf<FileHandle> file = CreateTemporary(temporary);
    if (!file) return file.status();
    BlockWriter writer(std::move(*file));
    write(writer);
    if (Result written = writer.finish(); !written) return written;
  }
  return ReplaceFromTemporary(temporary, path, backups);
}


}  // namespace tarvo
