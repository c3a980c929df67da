#include "viewer/viewable_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "store/file_system.h"

namespace tarvo {

Result CheckViewable(const std::string& path) {
  if (path.empty()) return Result::Failure("no file was named");
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) return Result::Failure("there is no file " + path);
    return Result::FromErrno("cannot reach", path, errno);
  }
  if (S_ISDIR(status.st_mode)) return Result::Failure(path + " is a folder, not a file");
  ResultOf<FileHandle> file = fileSystem().open(path, OpenIntent::Read);
  if (!file) return file.status();
  return {};
}

}  // namespace tarvo
