#include "store/block_writer.h"

namespace tarvo {

BlockWriter::BlockWriter(FileHandle file) : file_(std::move(file)) {
  block_.reserve(kBlockBytes + 4096);
}

void BlockWriter::writeBlock() {
  if (status_ && !block_.empty()) status_ = fileSystem().write(file_, block_.data(), block_.size());
  block_.clear();
}

Result BlockWriter::finish() {
  writeBlock();
  if (status_) status_ = fileSystem().flush(file_);
  return status_;
}

}  // namespace tarvo
