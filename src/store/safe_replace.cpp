#include "store/safe_replace.h"

#include "store/file_system.h"

namespace tarvo {
namespace {

// Forces the sibling to disk and renames it over the target; removes it on failure. The new
// file takes the old one's permissions, so a file the user made read-only stays read-only.
Result Commit(FileSystem& files, const std::string& sibling, const std::string& target) {
  Result committed;
  {
    ResultOf<FileHandle> written = files.open(sibling, OpenIntent::ReadWriteCreate);
    committed = written ? files.flush(*written) : written.status();
  }
  if (committed) {
    if (const std::optional<unsigned> mode = files.permissions(target)) {
      committed = files.setPermissions(sibling, *mode);
    }
  }
  if (committed) committed = files.rename(sibling, target);
  if (!committed) {
    (void)files.remove(sibling);  // a leftover sibling is harmless; the failure is what counts
    return committed;
  }
  // The rename is done; a failure to force the folder entry only weakens crash safety.
  return Result().addNote(files.flushFolder(FolderOf(target)).reason());
}

}  // namespace

std::string ReplacementSiblingOf(const std::string& target) { return target + ".~new"; }

ResultOf<FileHandle> CreateTemporary(const std::string& path) {
  FileSystem& files = fileSystem();
  if (files.exists(path)) {
    if (Result removed = files.remove(path); !removed) return removed;
  }
  return files.open(path, OpenIntent::CreateNew);
}

Result ReplaceWithCopy(const std::string& source, const std::string& target) {
  FileSystem& files = fileSystem();
  const std::string sibling = ReplacementSiblingOf(target);
  if (files.exists(sibling)) (void)files.remove(sibling);  // a leftover; the copy refuses a link
  if (Result copied = files.copyFile(source, sibling); !copied) {
    (void)files.remove(sibling);
    return copied;
  }
  return Commit(files, sibling, target);
}

Result ReplaceWithLink(const std::string& source, const std::string& target) {
  FileSystem& files = fileSystem();
  const std::string sibling = ReplacementSiblingOf(target);
  if (files.exists(sibling)) (void)files.remove(sibling);  // a crash's leftover; the link needs the name
  if (!files.link(source, sibling)) return ReplaceWithCopy(source, target);
  return Commit(files, sibling, target);
}

Result WriteFileSafely(const std::string& target, std::string_view bytes) {
  FileSystem& files = fileSystem();
  const std::string sibling = ReplacementSiblingOf(target);
  Result written;
  {
    ResultOf<FileHandle> file = CreateTemporary(sibling);
    written = file ? files.write(*file, bytes.data(), bytes.size()) : file.status();
  }
  if (!written) {
    (void)files.remove(sibling);
    return written;
  }
  return Commit(files, sibling, target);
}

}  // namespace tarvo
