#include "workspace/page_import_command.h"

#include <set>

#include "store/file_system.h"

namespace tarvo {
namespace {

constexpr const char* kImportSuffix = ".import";

std::optional<std::string> CurrentBytes(const std::string& path) {
  ResultOf<FileHandle> file = fileSystem().open(path, OpenIntent::Read);
  if (!file) return std::nullopt;
  ByteBuffer bytes;
  if (!fileSystem().readAll(*file, bytes)) return std::nullopt;
  return std::string(bytes.data(), bytes.size());
}

Result WriteTemporary(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + kImportSuffix;
  ResultOf<FileHandle> file = fileSystem().open(temporary, OpenIntent::CreateNew);
  if (!file) {
    // Left behind by a program that was ended in the middle of an import.
    (void)fileSystem().remove(temporary);
    file = fileSystem().open(temporary, OpenIntent::CreateNew);
  }
  if (!file) return file.status();
  return fileSystem().write(*file, bytes.data(), bytes.size());
}

}  // namespace

// Many files come at once (a send of a thousand topics brings three thousand), so they are
// written in three passes instead of one safe replace each: every new content under a temporary
// name, one flush of the whole file system, then the renames and one flush per folder. A file
// is in place whole or not at all, and its source is deleted only after that.
PageImportCommand::PageImportCommand(Workspace& workspace, const QString& text, PageImportPlan plan)
    : WorkspaceCommand(workspace, text) {
  std::vector<std::size_t> written;
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    const PageFileImport& incoming = plan.files[i];
    if (Result put = WriteTemporary(incoming.destination, incoming.bytes); !put) {
      failures_.push_back("*** " + incoming.source + " could not be brought in: " + put.reason());
      (void)fileSystem().remove(incoming.destination + kImportSuffix);
      continue;
    }
    written.push_back(i);
  }
  if (written.empty()) return;
  if (Result flushed = fileSystem().flushFileSystem(plan.files[written.front()].destination + kImportSuffix); !flushed) {
    failures_.push_back("*** The received page files could not be forced to disk: " + flushed.reason());
  }
  std::set<std::string> folders;
  std::vector<std::string> taken;
  for (std::size_t i : written) {
    PageFileImport& incoming = plan.files[i];
    File file{incoming.destination, CurrentBytes(incoming.destination), std::move(incoming.bytes), incoming.topicId};
    if (Result renamed = fileSystem().rename(file.path + kImportSuffix, file.path); !renamed) {
      failures_.push_back("*** " + incoming.source + " could not be brought in: " + renamed.reason());
      (void)fileSystem().remove(file.path + kImportSuffix);
      continue;
    }
    folders.insert(FolderOf(file.path));
    workspace.forgetPages(file.topicId);
    files_.push_back(std::move(file));
    taken.push_back(incoming.source);
  }
  for (const std::string& folder : folders) (void)fileSystem().flushFolder(folder);
  for (const std::string& source : taken) {
    if (Result removed = fileSystem().remove(source); !removed) failures_.push_back("*** " + removed.reason());
  }
}

void PageImportCommand::write(const File& file, bool forward) {
  workspace().forgetPages(file.topicId);
  const std::optional<std::string>& bytes = forward ? std::optional<std::string>(file.after) : file.before;
  if (!bytes) {
    (void)fileSystem().remove(file.path);
    return;
  }
  if (WriteTemporary(file.path, *bytes)) (void)fileSystem().rename(file.path + kImportSuffix, file.path);
}

void PageImportCommand::undo() {
  for (auto file = files_.rbegin(); file != files_.rend(); ++file) write(*file, false);
  done_ = false;
}

void PageImportCommand::redo() {
  if (done_) return;
  for (const File& file : files_) write(file, true);
  done_ = true;
}

}  // namespace tarvo
