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
  bool failRemove = false;
  // Fails only the operations on paths containing this text (empty: every path).
  std::string onlyPathsWith;

  bool write(const FileHandle& file, const char* data, std::size_t size) override {
    // Half the bytes reach the file before the disk "fills up", as a real failure would.
    if (failWrite) {
      FileSystem::write(file, data, size / 2);
      return Refuse(ENOSPC);
    }
    return FileSystem::write(file, data, size);
  }
  bool writeAt(const FileHandle& file, std::uint64_t offset, const char* data,
               std::size_t size) override {
    if (failWrite) return Refuse(ENOSPC);
    return FileSystem::writeAt(file, offset, data, size);
  }
  bool copyFile(const std::string& from, const std::string& to) override {
    if (failCopy && Applies(to)) {
      // Leave a partial copy behind, as an interrupted copy would.
      FileHandle partial = FileSystem::open(to, OpenIntent::CreateEmpty);
      FileSystem::write(partial, "partial", 7);
      return Refuse(ENOSPC);
    }
    return FileSystem::copyFile(from, to);
  }
  bool rename(const std::string& from, const std::string& to) override {
    if (failRename && Applies(to)) return Refuse(EACCES);
    return FileSystem::rename(from, to);
  }
  bool flush(const FileHandle& file) override {
    if (failFlush) return Refuse(EIO);
    return FileSystem::flush(file);
  }
  bool remove(const std::string& path) override {
    if (failRemove && Applies(path)) return Refuse(EACCES);
    return FileSystem::remove(path);
  }

 private:
  bool Applies(const std::string& path) const {
    return onlyPathsWith.empty() || path.find(onlyPathsWith) != std::string::npos;
  }
  static bool Refuse(int error) {
    RecordLastError(error);
    return false;
  }
};

}  // namespace tarvo::test
