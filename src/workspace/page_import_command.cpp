#include "workspace/page_import_command.h"

#include "store/data_file.h"
#include "store/file_system.h"
#include "store/pair_file.h"

namespace tarvo {
namespace {

std::optional<std::string> CurrentBytes(const std::string& path) {
  if (!fileSystem().exists(path)) return std::nullopt;
  ResultOf<FileHandle> file = fileSystem().open(path, OpenIntent::Read);
  if (!file) return std::nullopt;
  ByteBuffer bytes;
  if (!fileSystem().readAll(*file, bytes)) return std::nullopt;
  return std::string(bytes.data(), bytes.size());
}

Result PutBytes(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".import";
  Result saved = SaveBytesThrough(temporary, path, bytes, kImportedPageBackups);
  (void)fileSystem().remove(temporary);
  return saved;
}

}  // namespace

PageImportCommand::PageImportCommand(Workspace& workspace, const QString& text, PageImportPlan plan)
    : WorkspaceCommand(workspace, text) {
  for (PageFileImport& incoming : plan.files) {
    File file{incoming.destination, CurrentBytes(incoming.destination), std::move(incoming.bytes), incoming.topicId};
    if (Result put = PutBytes(file.path, file.after); !put) {
      failures_.push_back("*** " + incoming.source + " could not be brought in: " + put.reason());
      continue;
    }
    workspace.forgetPages(file.topicId);
    if (Result removed = fileSystem().remove(incoming.source); !removed) failures_.push_back("*** " + removed.reason());
    files_.push_back(std::move(file));
  }
}

void PageImportCommand::write(const File& file, bool forward) {
  workspace().forgetPages(file.topicId);
  if (forward) {
    (void)PutBytes(file.path, file.after);
  } else if (file.before) {
    (void)PutBytes(file.path, *file.before);
  } else {
    (void)fileSystem().remove(file.path);
  }
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
