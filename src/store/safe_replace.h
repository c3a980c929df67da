#pragma once

// Whole-file replacement that never leaves a half-written file under the real name.
//
// The new content is first put into a sibling file (target + ".~new"), forced to the disk,
// then renamed over the target and the folder's entry forced to the disk too. At every moment,
// even when the process is killed, the target holds either its old or its new complete
// content. On any failure the target is left as it was, the sibling is removed and the reason
// is returned.

#include <string>
#include <string_view>

#include "base/result.h"
#include "store/file_system.h"

namespace tarvo {

// The sibling name used while a replacement is under way; a leftover one is harmless.
std::string ReplacementSiblingOf(const std::string& target);
// Opens a fresh temporary file of ours: a leftover of that name (even a planted link) is
// removed first, and the new file is made exclusively.
ResultOf<FileHandle> CreateTemporary(const std::string& path);

// Puts a copy of `source` under `target`; `source` stays as it is.
Result ReplaceWithCopy(const std::string& source, const std::string& target);
// Puts `bytes` under `target`.
Result WriteFileSafely(const std::string& target, std::string_view bytes);
// Puts the bytes of `source` under `target` as a second name of `source` (a copy where the
// file system has no links). For a source that is never written into afterwards.
Result ReplaceWithLink(const std::string& source, const std::string& target);

}  // namespace tarvo
