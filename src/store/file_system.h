#pragma once

// The one seam between the data file store and the operating system's file calls.
//
// Every file operation of the store goes through the FileSystem in use (`fileSystem()`).
// The default implementation talks to the real POSIX file system; a test derives from it,
// overrides the one call it wants to fail, and installs it with ScopedFileSystem to prove
// that the store loses nothing when a write, copy or rename goes wrong.
//
// Failure: every call that can fail returns a Result whose reason names the operation, the path
// and the system's words for the error.
// Threading: the default implementation is stateless, so it may be used from any thread.
// Installing a replacement is for tests only and must not race with calls on other threads.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "store/bulk_allocator.h"

namespace tarvo {

// An open operating-system file; closes itself when it goes out of scope.
class FileHandle {
 public:
  FileHandle() = default;
  FileHandle(int descriptor, std::string path) : descriptor_(descriptor), path_(std::move(path)) {}
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();

  [[nodiscard]] bool isOpen() const { return descriptor_ >= 0; }
  [[nodiscard]] int descriptor() const { return descriptor_; }
  // The path it was opened with, for messages.
  [[nodiscard]] const std::string& path() const { return path_; }
  void close();

 private:
  int descriptor_ = -1;
  std::string path_;
};

// Every intent that writes refuses a symbolic link in the file's place: a link planted in the
// data folder must not turn a save or a log line into a write somewhere else.
enum class OpenIntent {
  Read,             // existing file, read only
  CreateEmpty,      // create or truncate, write only
  CreateNew,        // create a file that does not exist yet (temporary files), write only
  ReadWriteCreate,  // read and write in place, create when missing
  AppendCreate,     // read, and every write goes to the end; create when missing
  ReadPlainFile,    // existing regular file, read only; a symbolic link, pipe or device is
                    // refused (files in a folder that others write, such as a shared inbox)
};

struct FolderEntry {
  std::string name;
  bool isFolder = false;
};

// What tells a changed file from an unchanged one without reading it.
struct FileStamp {
  std::time_t modified = 0;
  std::uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

// Which file a name or an open file is (its device and inode), and whether it may simply be
// given a name in this user's data folders instead of being copied there: a plain file of this
// user's, with no other name, that nobody else may write (for an open file, also one on a
// file system of this machine, whose owners are what they seem).
struct FileInode {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool ownedAlone = false;
  [[nodiscard]] bool sameFile(const FileInode& other) const { return device == other.device && inode == other.inode; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual ResultOf<FileHandle> open(const std::string& path, OpenIntent intent);
  // Reads the whole file from its first byte into `into`.
  virtual Result readAll(const FileHandle& file, ByteBuffer& into);
  // Reads up to `size` bytes from `offset`; the count read.
  virtual ResultOf<std::size_t> readAt(const FileHandle& file, std::uint64_t offset, char* data,
                                       std::size_t size);
  // Writes all bytes at the current position (at the end for AppendCreate).
  virtual Result write(const FileHandle& file, const char* data, std::size_t size);
  virtual Result writeAt(const FileHandle& file, std::uint64_t offset, const char* data,
                         std::size_t size);
  virtual Result resize(const FileHandle& file, std::uint64_t size);
  // Forces the written bytes to the disk.
  virtual Result flush(const FileHandle& file);

  // Copies `from` to `to`, replacing `to` when it exists.
  virtual Result copyFile(const std::string& from, const std::string& to);
  // Renames atomically, replacing `to` when it exists.
  virtual Result rename(const std::string& from, const std::string& to);
  // Gives the file `from` a second name `to` (which must not exist): both names then show the
  // same bytes. Fails where the file system has no such links.
  virtual Result link(const std::string& from, const std::string& to);
  virtual Result remove(const std::string& path);
  // Forces a folder's entries (new names, renames) to the disk.
  virtual Result flushFolder(const std::string& folder);
  // Forces every written byte of the file system holding `path` to the disk: one call instead
  // of one per file when many files were written together.
  virtual Result flushFileSystem(const std::string& path);

  virtual bool exists(const std::string& path);
  virtual bool isFolder(const std::string& path);
  // True when the path itself is a symbolic link (it is not followed).
  virtual bool isLink(const std::string& path);
  virtual Result makeFolder(const std::string& path);
  virtual Result removeFolder(const std::string& path);
  // The entries of a folder except "." and ".."; empty when it cannot be read.
  std::vector<FolderEntry> list(const std::string& folder);
  // The same, for a caller that must tell an empty folder from one that could not be read whole.
  virtual ResultOf<std::vector<FolderEntry>> readFolder(const std::string& folder);
  // Modification time and size; nothing when the file cannot be reached.
  virtual std::optional<FileStamp> stamp(const std::string& path);
  // The file open in `file`, and the file the path names itself (a link is not followed).
  virtual std::optional<FileInode> inode(const FileHandle& file);
  virtual std::optional<FileInode> inodeOf(const std::string& path);
  virtual bool isReadOnly(const std::string& path);
  // The permission bits of a file (mode & 07777), or nothing when it cannot be reached.
  virtual std::optional<unsigned> permissions(const std::string& path);
  virtual Result setPermissions(const std::string& path, unsigned mode);
  virtual Result makeWritable(const std::string& path);
};

// The file system the store uses now.
FileSystem& fileSystem();

// Every byte of a file, opened with `intent` (a read intent) through the file system in use;
// with `inode`, also which file was read.
ResultOf<std::string> ReadWholeFile(const std::string& path, OpenIntent intent = OpenIntent::Read,
                                    FileInode* inode = nullptr);

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

// The platform's path delimiter for paths the program builds.
inline constexpr char kPathDelimiter = '/';

// Path helpers on plain byte paths.
std::string FolderOf(std::string_view path);     // without the trailing delimiter; "." when none
std::string NameOf(std::string_view path);       // the part after the last delimiter
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace tarvo
