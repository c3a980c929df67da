#include "viewer/file_mapping.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>

namespace tarvo {
namespace {

FileState StateFrom(const struct stat& status) {
  return {{status.st_dev, status.st_ino}, static_cast<std::uint64_t>(status.st_size), status.st_mtime};
}

}  // namespace

std::optional<FileState> StateOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return StateFrom(status);
}

Result FileMapping::map(const std::string& path) {
  unmap();
  ResultOf<FileHandle> opened = fileSystem().open(path, OpenIntent::Read);
  if (!opened) return opened.status();
  file_ = std::move(*opened);
  return mapCurrentSize();
}

Result FileMapping::remap() {
  release();
  return mapCurrentSize();
}

void FileMapping::release() {
  guard_.reset();
  if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
}

Result FileMapping::mapCurrentSize() {
  struct stat status {};
  if (::fstat(file_.descriptor(), &status) != 0) return Result::FromErrno("cannot read", file_.path(), errno);
  state_ = StateFrom(status);
  if (!S_ISREG(status.st_mode)) return Result::Failure("not a file: " + file_.path());
  if (status.st_size == 0) return {};
  void* bytes = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_SHARED,
                       file_.descriptor(), 0);
  if (bytes == MAP_FAILED) return Result::FromErrno("cannot read", file_.path(), errno);
  data_ = static_cast<const char*>(bytes);
  size_ = static_cast<std::uint64_t>(status.st_size);
  guard_ = std::make_unique<CutShortGuard>(data_, static_cast<std::size_t>(size_));
  return {};
}

void FileMapping::unmap() {
  release();
  state_ = {};
  file_.close();
}

}  // namespace tarvo
