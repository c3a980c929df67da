#include "store/pair_file.h"

#include "store/backups.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "store/safe_replace.h"

namespace tarvo {

Result LoadPairFile(const std::string& path, PairList& pairs, bool secure) {
  ResultOf<DataFilePtr> file = secure ? OpenSecureFile(path, "R", 0) : OpenDataFile(path, "R", 0);
  if (!file) return file.status();
  ReadPairs(**file, pairs);
  return {};
}

Result SavePairFile(const std::string& path, const PairList& pairs, int backups, bool secure) {
  const Result backedUp = TakeBackup(path, backups, BackupAction::Snapshot);
  Result saved = WriteFileSafely(path, PairFileBytes(pairs, secure ? ScrambleKey(path) : std::string()));
  return saved.addNote(backedUp.reason());
}

Result SavePairFileThrough(const std::string& temporary, const std::string& path,
                           const PairList& pairs, int backups) {
  return SaveBytesThrough(temporary, path, PairFileBytes(pairs), backups);
}

Result SaveBytesThrough(const std::string& temporary, const std::string& path,
                        std::string_view bytes, int backups) {
  {
    ResultOf<FileHandle> file = CreateTemporary(temporary);
    if (!file) return file.status();
    Result written = fileSystem().write(*file, bytes.data(), bytes.size());
    if (written) written = fileSystem().flush(*file);
    if (!written) return written;
  }
  return ReplaceFromTemporary(temporary, path, backups);
}

Result ReplaceFromTemporary(const std::string& temporary, const std::string& path, int backups) {
  const Result backedUp = TakeBackup(path, backups, BackupAction::Snapshot);
  Result replaced = ReplaceWithLink(temporary, path);
  return replaced.addNote(backedUp.reason());
}

}  // namespace tarvo
