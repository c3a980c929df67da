#pragma once

// Writes a file in large blocks through the file-system seam, so that a large file (a
// structure of a million topics, a copy of a gigabyte log) never has to sit whole in memory
// and is not written a line per system call. The first failure is kept and returned by
// finish(); what is added after it is dropped.

#include <string>
#include <string_view>

#include "base/result.h"
#include "store/file_system.h"

namespace tarvo {

class BlockWriter {
 public:
  explicit BlockWriter(FileHandle file);

  void append(std::string_view bytes) {
    block_.append(bytes);
    if (block_.size() >= kBlockBytes) writeBlock();
  }
  // text + CR LF
  void appendLine(std::string_view text) {
    block_.append(text).append("\r\n");
    if (block_.size() >= kBlockBytes) writeBlock();
  }
  // key=value + CR LF
  void add(std::string_view key, std::string_view value) {
    block_.append(key).append("=").append(value).append("\r\n");
    if (block_.size() >= kBlockBytes) writeBlock();
  }
  // Writes what is left and forces the file to disk.
  Result finish();

 private:
  static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

  void writeBlock();

  FileHandle file_;
  std::string block_;
  Result status_;
};

}  // namespace tarvo
