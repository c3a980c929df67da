#include "workspace/page_import_command.h"

#include <set>

#include "store/file_system.h"

namespace tarvo {
namespace {

constexpr const char* kImportSuffix = ".import";

// What the file holds now: nothing when it does not exist, a failure when it exists and cannot
// be read (then it must not be replaced: its content could not be given back).
ResultOf<std::optional<std::string>> CurrentBytes(const std::string& path) {
  if (!fileSystem().exists(path)) return std::optional<std::string>();
  ResultOf<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return bytes.status();
  return std::optional<std::string>(std::move(*bytes));
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
  const Result flushed = fileSystem().flushFileSystem(plan.files[written.front()].destination + kImportSuffix);
  if (!flushed) {
    failures_.push_back("*** The received page files could not be forced to disk, so they stay where they came from too: " +
                        flushed.reason());
  }
  std::set<std::string> folders;
  std::vector<std::string> taken;
  for (std::size_t i : written) {
    PageFileImport& incoming = plan.files[i];
    ResultOf<std::optional<std::string>> before = CurrentBytes(incoming.destination);
    if (!before) {
      failures_.push_back("*** " + incoming.source + " was not brought in: " + before.reason());
      (void)fileSystem().remove(incoming.destination + kImportSuffix);
      continue;
    }
    File file{incoming.destination, std::move(*before), std::move(incoming.bytes), incoming.topicId};
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
  bool onDisk = flushed.ok();
  for (const std::string& folder : folders) onDisk = fileSystem().flushFolder(folder).ok() && onDisk;
  if (!onDisk) return;  // the copies may not survive a power cut: the originals stay
  for (const std::string& source : taken) {
    if (Result removed = fileSystem().remove(source); !removed) failures_.push_back("*** " + removed.reason());
  }
}

void PageImportCommand::write(const File& file, bool forward) {
  // A file changed since this step (the user worked on a received page) keeps that work: the
  // step gives back only what it put there itself.
  const std::optional<std::string> expected = forward ? file.before : std::optional<std::string>(file.after);
  ResultOf<std::optional<std::string>> current = CurrentBytes(file.path);
  if (!current || *current != expected) return;
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
