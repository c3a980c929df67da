#include "store/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace tarvo {
namespace {

// The failure of the last system call, naming what was attempted on which path.
Result Failed(const char* what, const std::string& path) {
  return Result::FromErrno(what, path, errno);
}

int OpenFlags(OpenIntent intent) {
  switch (intent) {
    case OpenIntent::Read:
      return O_RDONLY;
    case OpenIntent::ReadPlainFile:
      // Non-blocking so that a pipe planted under a file's name cannot hang the open.
      return O_RDONLY | O_NOFOLLOW | O_NONBLOCK;
    case OpenIntent::CreateEmpty:
      return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    case OpenIntent::CreateNew:
      return O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    case OpenIntent::ReadWriteCreate:
      return O_RDWR | O_CREAT | O_NOFOLLOW;
    case OpenIntent::AppendCreate:
      return O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW;
  }
  return O_RDONLY;
}

FileSystem& defaultFileSystem() {
  static FileSystem real;
  return real;
}

FileSystem* current = nullptr;

}  // namespace

FileHandle::FileHandle(FileHandle&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), path_(std::move(other.path_)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    descriptor_ = std::exchange(other.descriptor_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

FileHandle::~FileHandle() { close(); }

void FileHandle::close() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    descriptor_ = -1;
  }
}

ResultOf<FileHandle> FileSystem::open(const std::string& path, OpenIntent intent) {
  const int descriptor = ::open(path.c_str(), OpenFlags(intent) | O_CLOEXEC, 0644);
  if (descriptor < 0) return Failed("cannot open", path);
  struct stat info {};
  if (::fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(descriptor);
    return Result::FromErrno("cannot open", path, EISDIR);
  }
  if (intent == OpenIntent::ReadPlainFile) {
    if (!S_ISREG(info.st_mode)) {
      ::close(descriptor);
      return Result::Failure("cannot open " + path + ": it is not a plain file");
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  }
  return FileHandle(descriptor, path);
}

Result FileSystem::readAll(const FileHandle& file, ByteBuffer& into) {
  struct stat info {};
  if (::fstat(file.descriptor(), &info) != 0) return Failed("cannot read", file.path());
  into.clear();
  // One read of the size the file has now; a file that grows meanwhile is read on in chunks.
  std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
  std::size_t filled = 0;
  into.resize(capacity);
  for (;;) {
    const ssize_t got =
        ::pread(file.descriptor(), into.data() + filled, capacity - filled,
                static_cast<off_t>(filled));
    if (got < 0) {
      if (errno == EINTR) continue;
      const Result failure = Failed("cannot read", file.path());
      into.clear();
      return failure;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled == capacity) {
      capacity *= 2;
      into.resize(capacity);
    }
  }
  into.resize(filled);
  return {};
}

ResultOf<std::size_t> FileSystem::readAt(const FileHandle& file, std::uint64_t offset, char* data,
                                         std::size_t size) {
  for (;;) {
    const ssize_t got = ::pread(file.descriptor(), data, size, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return Failed("cannot read", file.path());
  }
}

Result FileSystem::write(const FileHandle& file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(file.descriptor(), data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return Failed("cannot write", file.path());
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return {};
}

Result FileSystem::writeAt(const FileHandle& file, std::uint64_t offset, const char* data,
                           std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::pwrite(file.descriptor(), data, size, static_cast<off_t>(offset));
    if (done < 0) {
      if (errno == EINTR) continue;
      return Failed("cannot write", file.path());
    }
    data += done;
    size -= static_cast<std::size_t>(done);
    offset += static_cast<std::uint64_t>(done);
  }
  return {};
}

Result FileSystem::resize(const FileHandle& file, std::uint64_t size) {
  if (::ftruncate(file.descriptor(), static_cast<off_t>(size)) != 0) {
    return Failed("cannot resize", file.path());
  }
  return {};
}

Result FileSystem::flush(const FileHandle& file) {
  if (::fsync(file.descriptor()) != 0) return Failed("cannot flush to disk", file.path());
  return {};
}

Result FileSystem::copyFile(const std::string& from, const std::string& to) {
  ResultOf<FileHandle> source = open(from, OpenIntent::Read);
  if (!source) return source.status();
  ResultOf<FileHandle> target = open(to, OpenIntent::CreateEmpty);
  if (!target) return target.status();
  std::vector<char> buffer(std::size_t{1} << 18);
  for (;;) {
    const ssize_t got = ::read(source->descriptor(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return Failed("cannot read", from);
    }
    if (got == 0) return {};
    Result written = write(*target, buffer.data(), static_cast<std::size_t>(got));
    if (!written) return written;
  }
}

Result FileSystem::rename(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return Failed("cannot rename to", to);
  return {};
}

Result FileSystem::link(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) != 0) return Failed("cannot link to", to);
  return {};
}

Result FileSystem::remove(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return Failed("cannot delete", path);
  return {};
}

Result FileSystem::flushFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return Failed("cannot open the folder", folder);
  Result synced;
  if (::fsync(descriptor) != 0) synced = Failed("cannot flush the folder", folder);
  ::close(descriptor);
  return synced;
}

ResultOf<std::string> ReadWholeFile(const std::string& path, OpenIntent intent, FileInode* inode) {
  ResultOf<FileHandle> file = fileSystem().open(path, intent);
  if (!file) return file.status();
  if (inode != nullptr) {
    const std::optional<FileInode> read = fileSystem().inode(*file);
    if (!read) return Result::FromErrno("cannot read", path, errno);
    *inode = *read;
  }
  ByteBuffer bytes;
  if (Result read = fileSystem().readAll(*file, bytes); !read) return read;
  return std::string(bytes.data(), bytes.size());
}

Result FileSystem::flushFileSystem(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return Failed("cannot open", path);
  Result synced;
  if (::syncfs(descriptor) != 0) synced = Failed("cannot flush the file system of", path);
  ::close(descriptor);
  return synced;
}

bool FileSystem::isLink(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool FileSystem::exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool FileSystem::isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Result FileSystem::makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0) return Failed("cannot create the folder", path);
  return {};
}

Result FileSystem::removeFolder(const std::string& path) {
  if (::rmdir(path.c_str()) != 0) return Failed("cannot remove the folder", path);
  return {};
}

std::vector<FolderEntry> FileSystem::list(const std::string& folder) {
  ResultOf<std::vector<FolderEntry>> entries = readFolder(folder);
  return entries ? std::move(*entries) : std::vector<FolderEntry>();
}

ResultOf<std::vector<FolderEntry>> FileSystem::readFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return Failed("cannot list the folder", folder);
  for (;;) {
    errno = 0;  // readdir tells the end from a failure only through errno
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isDir = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      // Some file systems do not report the kind in the listing; ask without following links.
      struct stat info {};
      const std::string full = JoinPath(folder, name);
      isDir = ::lstat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    entries.push_back({std::string(name), isDir});
  }
  const int failure = errno;
  ::closedir(dir);
  if (failure != 0) {
    errno = failure;
    return Failed("cannot list the whole folder", folder);
  }
  return entries;
}

std::optional<FileStamp> FileSystem::stamp(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileStamp{info.st_mtime, static_cast<std::uint64_t>(info.st_size)};
}

namespace {

FileInode InodeFrom(const struct stat& info) {
  const bool ownedAlone = S_ISREG(info.st_mode) && info.st_nlink == 1 && info.st_uid == ::geteuid() &&
                          (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), ownedAlone};
}

// File systems served from elsewhere show owners and links as the mount says, not as the
// server keeps them: a colleague may still write a file there that looks like this user's alone.
bool ServedFromElsewhere(int descriptor) {
  struct statfs system {};
  if (::fstatfs(descriptor, &system) != 0) return true;
  constexpr std::array<unsigned long, 10> kRemote = {
      0x6969,      // NFS
      0x517B,      // SMB
      0xFF534D42,  // CIFS
      0xFE534D42,  // SMB2
      0x65735546,  // FUSE
      0x01021997,  // 9P
      0x00C36400,  // Ceph
      0x5346414F,  // AFS
      0x73757245,  // Coda
      0x47504653,  // GPFS
  };
  const auto type = static_cast<unsigned long>(system.f_type);
  return std::find(kRemote.begin(), kRemote.end(), type) != kRemote.end();
}

}  // namespace

std::optional<FileInode> FileSystem::inode(const FileHandle& file) {
  struct stat info {};
  if (::fstat(file.descriptor(), &info) != 0) return std::nullopt;
  FileInode inode = InodeFrom(info);
  if (inode.ownedAlone && ServedFromElsewhere(file.descriptor())) inode.ownedAlone = false;
  return inode;
}

std::optional<FileInode> FileSystem::inodeOf(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  return InodeFrom(info);
}

bool FileSystem::isReadOnly(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

std::optional<unsigned> FileSystem::permissions(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<unsigned>(info.st_mode & 07777);
}

Result FileSystem::setPermissions(const std::string& path, unsigned mode) {
  if (::chmod(path.c_str(), static_cast<mode_t>(mode)) != 0) return Failed("cannot set the permissions of", path);
  return {};
}

Result FileSystem::makeWritable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || ::chmod(path.c_str(), info.st_mode | S_IWUSR) != 0) {
    return Failed("cannot make writable", path);
  }
  return {};
}

FileSystem& fileSystem() { return current != nullptr ? *current : defaultFileSystem(); }

ScopedFileSystem::ScopedFileSystem(FileSystem& replacement) : previous_(current) {
  current = &replacement;
}

ScopedFileSystem::~ScopedFileSystem() { current = previous_; }

std::string FolderOf(std::string_view path) {
  const auto cut = path.find_last_of(kPathDelimiter);
  if (cut == std::string_view::npos) return ".";
  if (cut == 0) return std::string(1, kPathDelimiter);
  return std::string(path.substr(0, cut));
}

std::string NameOf(std::string_view path) {
  const auto cut = path.find_last_of(kPathDelimiter);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != kPathDelimiter) joined += kPathDelimiter;
  joined += name;
  return joined;
}

}  // namespace tarvo
