#pragma once

// A file's bytes mapped read-only into memory: only the pages looked at are read, so showing the
// end of a gigabyte log costs a few pages, not a gigabyte. Mapped again when the file has grown.
//
// A file cut short under the mapping reads as zero bytes past its new end (see CutShortGuard)
// until it is mapped again; the viewer watches its file for that.
//
// Threading: the bytes may be read from any thread while the mapping stays; mapping again moves
// them, so nothing may read them meanwhile.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/result.h"
#include "store/file_system.h"
#include "viewer/cut_short_guard.h"

namespace tarvo {

// Which file a path names: a replaced file (a new file renamed over the old name) has another.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

struct FileState {
  FileIdentity identity;
  std::uint64_t size = 0;
  std::time_t modified = 0;
};

// The file the path names now; nothing when it cannot be reached.
std::optional<FileState> StateOf(const std::string& path);

class FileMapping {
 public:
  FileMapping() = default;
  ~FileMapping() { unmap(); }
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;

  // Maps the whole file as it is now.
  Result map(const std::string& path);
  // Maps the open file again at its size now (it grew).
  Result remap();
  void unmap();

  [[nodiscard]] bool isOpen() const { return file_.isOpen(); }
  [[nodiscard]] const char* data() const { return data_ != nullptr ? data_ : ""; }
  [[nodiscard]] std::uint64_t size() const { return size_; }
  // The file as it was when mapped.
  [[nodiscard]] const FileState& state() const { return state_; }
  // Whether bytes past the file's end were read (as zeros) since it was mapped.
  [[nodiscard]] bool cutShort() const { return guard_ != nullptr && guard_->cutShort(); }

 private:
  Result mapCurrentSize();
  void release();

  FileHandle file_;
  const char* data_ = nullptr;
  std::uint64_t size_ = 0;
  FileState state_;
  std::unique_ptr<CutShortGuard> guard_;
};

}  // namespace tarvo
