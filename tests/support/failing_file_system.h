#pragma once

// A real file system whose chosen operations fail, to prove that the store loses nothing when
// the disk refuses a write, a copy or a rename.

#include <cerrno>
#include <string>

#include "store/file_system.h"

namespace tarvo::test {

class FailingFileSystem : public FileSystem {
 public:
  bool failWrite = false;
  bool failCopy = false;
  bool failRename = false;
  bool failFlush = false;
  bool failRead = false;  // the file opens but its bytes cannot be read (a bad sector, say)
  bool noLinks = false;  // a file system without hard links (a shared folder, say)
  bool failList = false;  // a folder whose listing breaks off (too many open files, say)
  // Fails only the operations on paths containing this text (empty: every path).
  std::string onlyPathsWith;

  Result write(const FileHandle& file, const char* data, std::size_t size) override {
    // Half the bytes reach the file before the disk "fills up", as a real failure would.
    if (failWrite && Applies(file.path())) {
      (void)FileSystem::write(file, data, size / 2);
      return Result::FromErrno("cannot write", file.path(), ENOSPC);
    }
    return FileSystem::write(file, data, size);
  }
  Result writeAt(const FileHandle& file, std::uint64_t offset, const char* data,
                 std::size_t size) override {
    if (failWrite && Applies(file.path())) return Result::FromErrno("cannot write", file.path(), ENOSPC);
    return FileSystem::writeAt(file, offset, data, size);
  }
  Result copyFile(const std::string& from, const std::string& to) override {
    if (failCopy && Applies(to)) {
      // Leave a partial copy behind, as an interrupted copy would.
      if (ResultOf<FileHandle> partial = FileSystem::open(to, OpenIntent::CreateEmpty)) {
        (void)FileSystem::write(*partial, "partial", 7);
      }
      return Result::FromErrno("cannot write", to, ENOSPC);
    }
    return FileSystem::copyFile(from, to);
  }
  Result readAll(const FileHandle& file, ByteBuffer& into) override {
    if (failRead && Applies(file.path())) return Result::FromErrno("cannot read", file.path(), EIO);
    return FileSystem::readAll(file, into);
  }
  Result link(const std::string& from, const std::string& to) override {
    if (noLinks) return Result::FromErrno("cannot link to", to, EPERM);
    return FileSystem::link(from, to);
  }
  Result rename(const std::string& from, const std::string& to) override {
    if (failRename && Applies(to)) return Result::FromErrno("cannot rename to", to, EACCES);
    return FileSystem::rename(from, to);
  }
  ResultOf<std::vector<FolderEntry>> readFolder(const std::string& folder) override {
    if (failList && Applies(folder)) return Result::FromErrno("cannot list the folder", folder, EMFILE);
    return FileSystem::readFolder(folder);
  }
  Result flush(const FileHandle& file) override {
    if (failFlush && Applies(file.path())) return Result::FromErrno("cannot flush to disk", file.path(), EIO);
    return FileSystem::flush(file);
  }

 private:
  bool Applies(const std::string& path) const {
    return onlyPathsWith.empty() || path.find(onlyPathsWith) != std::string::npos;
  }
};

}  // namespace tarvo::test
