#include "store/safe_replace.h"

#include "store/file_system.h"

namespace tarvo {
namespace {

// Forces the sibling to disk and renames it over the target; removes it on failure.
bool Commit(FileSystem& files, const std::string& sibling, const std::string& target) {
  FileHandle written = files.open(sibling, OpenIntent::ReadWriteCreate);
  const bool flushed = written.isOpen() && files.flush(written);
  written.close();
  if (!flushed || !files.rename(sibling, target)) {
    files.remove(sibling);
    return false;
  }
  // The rename is done; a failure to force the folder entry only weakens crash safety.
  files.flushFolder(FolderOf(target));
  return true;
}

}  // namespace

std::string ReplacementSiblingOf(const std::string& target) { return target + ".~new"; }

bool ReplaceWithCopy(const std::string& source, const std::string& target) {
  FileSystem& files = fileSystem();
  const std::string sibling = ReplacementSiblingOf(target);
  if (!files.copyFile(source, sibling)) {
    files.remove(sibling);
    return false;
  }
  return Commit(files, sibling, target);
}

bool WriteFileSafely(const std::string& target, std::string_view bytes) {
  FileSystem& files = fileSystem();
  const std::string sibling = ReplacementSiblingOf(target);
  bool written = false;
  {
    FileHandle file = files.open(sibling, OpenIntent::CreateEmpty);
    written = file.isOpen() && files.write(file, bytes.data(), bytes.size());
  }
  if (!written) {
    files.remove(sibling);
    return false;
  }
  return Commit(files, sibling, target);
}

}  // namespace tarvo
