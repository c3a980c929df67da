#pragma once

// The one seam between the data file store and the operating system's file calls.
//
// Every file operation of the store goes through the FileSystem in use (`fileSystem()`).
// The default implementation talks to the real POSIX file system; a test derives from it,
// overrides the one call it wants to fail, and installs it with ScopedFileSystem to prove
// that the store loses nothing when a write, copy or rename goes wrong.
//
// Threading: the default implementation is stateless apart from the per-thread last error,
// so it may be used from any thread. Installing a replacement is for tests only and must not
// race with calls on other threads.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/bulk_allocator.h"

namespace tarvo {

// An open operating-system file; closes itself when it goes out of scope.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int descriptor) : descriptor_(descriptor) {}
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();

  [[nodiscard]] bool isOpen() const { return descriptor_ >= 0; }
  [[nodiscard]] int descriptor() const { return descriptor_; }
  void close();

 private:
  int descriptor_ = -1;
};

enum class OpenIntent {
  Read,             // existing file, read only
  CreateEmpty,      // create or truncate, write only
  ReadWriteCreate,  // read and write in place, create when missing
  AppendCreate,     // read, and every write goes to the end; create when missing
};

struct FolderEntry {
  std::string name;
  bool isFolder = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // An open handle, or a closed one on failure (the error is recorded for LastErrorText).
  virtual FileHandle open(const std::string& path, OpenIntent intent);
  // Reads the whole file from its first byte into `into`.
  virtual bool readAll(const FileHandle& file, ByteBuffer& into);
  // Reads up to `size` bytes from `offset`; the count read, or -1.
  virtual std::int64_t readAt(const FileHandle& file, std::uint64_t offset, char* data,
                              std::size_t size);
  // Writes all bytes at the current position (at the end for AppendCreate).
  virtual bool write(const FileHandle& file, const char* data, std::size_t size);
  virtual bool writeAt(const FileHandle& file, std::uint64_t offset, const char* data,
                       std::size_t size);
  virtual bool resize(const FileHandle& file, std::uint64_t size);
  // Forces the written bytes to the disk.
  virtual bool flush(const FileHandle& file);

  // Copies `from` to `to`, replacing `to` when it exists.
  virtual bool copyFile(const std::string& from, const std::string& to);
  // Renames atomically, replacing `to` when it exists.
  virtual bool rename(const std::string& from, const std::string& to);
  virtual bool remove(const std::string& path);
  // Forces a folder's entries (new names, renames) to the disk.
  virtual bool flushFolder(const std::string& folder);

  virtual bool exists(const std::string& path);
  virtual bool isFolder(const std::string& path);
  virtual bool makeFolder(const std::string& path);
  virtual bool removeFolder(const std::string& path);
  // The entries of a folder except "." and ".."; empty when it cannot be read.
  virtual std::vector<FolderEntry> list(const std::string& folder);
  virtual std::optional<std::time_t> modificationTime(const std::string& path);
  virtual bool isReadOnly(const std::string& path);
  virtual bool makeWritable(const std::string& path);
};

// The file system the store uses now.
FileSystem& fileSystem();

// Puts another file system in place for its own lifetime (tests).
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& replacement);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

// The operating system's error number of the last failed call on this thread.
void RecordLastError(int errorNumber);
int LastError();
// The operating system's wording of that error.
std::string LastErrorText();

// The platform's path delimiter for paths the program builds.
inline constexpr char kPathDelimiter = '/';

// Path helpers on plain byte paths.
std::string FolderOf(std::string_view path);     // without the trailing delimiter; "." when none
std::string NameOf(std::string_view path);       // the part after the last delimiter
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace tarvo
