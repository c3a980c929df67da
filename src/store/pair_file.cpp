#include "store/pair_file.h"

#include "store/backups.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "store/safe_replace.h"

namespace tarvo {

bool LoadPairFile(const std::string& path, PairList& pairs, bool secure) {
  DataFilePtr file = secure ? OpenSecureFile(path, "R", 0) : OpenDataFile(path, "R", 0);
  if (!file) return false;
  ReadPairs(*file, pairs);
  return true;
}

bool SavePairFile(const std::string& path, const PairList& pairs, int backups, bool secure) {
  TakeBackup(path, backups);
  return WriteFileSafely(path, PairFileBytes(pairs, secure ? ScrambleKey(path) : std::string()));
}

bool SavePairFileThrough(const std::string& temporary, const std::string& path,
                         const PairList& pairs, int backups) {
  DataFilePtr file = OpenDataFile(temporary, "W", 0);
  if (!file) return false;
  const bool written = WritePairs(*file, pairs) && fileSystem().flush(file->handle);
  CloseDataFile(file);
  if (!written) return false;
  TakeBackup(path, backups);
  return ReplaceWithCopy(temporary, path);
}

}  // namespace tarvo
