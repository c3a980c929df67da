#include "workspace/page_import_command.h"

#include <map>
#include <set>

#include "store/file_system.h"

namespace tarvo {
namespace {

constexpr const char* kImportSuffix = ".import";
constexpr const char* kMovingSuffix = ".moving";

// What the file holds now: nothing when it does not exist, a failure when it exists and cannot
// be read (then it must not be replaced: its content could not be given back).
ResultOf<std::optional<std::string>> CurrentBytes(const std::string& path) {
  if (!fileSystem().exists(path)) return std::optional<std::string>();
  ResultOf<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return bytes.status();
  return std::optional<std::string>(std::move(*bytes));
}

Result WriteTemporary(const std::string& path, const std::string& bytes, bool flush = false) {
  const std::string temporary = path + kImportSuffix;
  ResultOf<FileHandle> file = fileSystem().open(temporary, OpenIntent::CreateNew);
  if (!file) {
    // Left behind by a program that was ended in the middle of an import.
    (void)fileSystem().remove(temporary);
    file = fileSystem().open(temporary, OpenIntent::CreateNew);
  }
  if (!file) return file.status();
  if (Result written = fileSystem().write(*file, bytes.data(), bytes.size()); !written || !flush) return written;
  return fileSystem().flush(*file);
}

}  // namespace

// Many files come at once (a send of a thousand topics brings three thousand), so they are
// brought in together instead of by one safe replace each. A file that holds just what is to
// be kept here and is this user's alone is moved into place (one rename); any other is copied
// under a temporary name. One flush of the whole file system then puts every copy, and every
// file about to be moved, on the disk, and only then does each take its place. A file is in
// place whole or not at all, and a copied one's source is deleted only after that.
PageImportCommand::PageImportCommand(Workspace& workspace, const QString& text, PageImportPlan plan)
    : WorkspaceCommand(workspace, text) {
  std::vector<Pending> pending = prepare(plan);
  if (pending.empty()) return;
  const Result flushed = fileSystem().flushFileSystem(FolderOf(plan.files[pending.front().index].destination));
  if (!flushed) {
    failures_.push_back("*** The received page files could not be forced to disk, so they stay where they came from too: " +
                        flushed.reason());
  }
  std::set<std::string> folders;
  std::vector<std::string> copied;
  for (Pending& each : pending) {
    PageFileImport& incoming = plan.files[each.index];
    if (!place(incoming, each, flushed.ok())) continue;
    folders.insert(FolderOf(incoming.destination));
    // A moved file's old name must not come back after a power cut, to be brought in again.
    if (each.moved) folders.insert(FolderOf(incoming.source));
    workspace.forgetPages(incoming.topicId);
    if (!each.moved) copied.push_back(incoming.source);
    files_.push_back({incoming.destination, std::move(each.before), std::move(incoming.bytes), incoming.topicId});
  }
  bool onDisk = flushed.ok();
  for (const std::string& folder : folders) onDisk = fileSystem().flushFolder(folder).ok() && onDisk;
  if (!onDisk) return;  // the copies may not survive a power cut: the originals stay
  for (const std::string& source : copied) {
    if (Result removed = fileSystem().remove(source); !removed) failures_.push_back("*** " + removed.reason());
  }
}

// What each destination holds now (to give it back on undo), and a temporary copy of each file
// that is not to be moved. A destination that cannot be read is not replaced.
std::vector<PageImportCommand::Pending> PageImportCommand::prepare(PageImportPlan& plan) {
  std::vector<Pending> pending;
  std::map<std::string, std::optional<std::uint64_t>> folderDevices;
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    PageFileImport& incoming = plan.files[i];
    ResultOf<std::optional<std::string>> before = CurrentBytes(incoming.destination);
    if (!before) {
      failures_.push_back("*** " + incoming.source + " was not brought in: " + before.reason());
      continue;
    }
    // A rename cannot cross file systems: a shared folder mounted from elsewhere is copied.
    const std::string folder = FolderOf(incoming.destination);
    if (!folderDevices.contains(folder)) {
      const std::optional<FileInode> home = fileSystem().inodeOf(folder);
      folderDevices[folder] = home ? std::optional<std::uint64_t>(home->device) : std::nullopt;
    }
    const bool move = incoming.movable && folderDevices[folder] == incoming.movable->device;
    if (!move) {
      if (Result put = WriteTemporary(incoming.destination, incoming.bytes); !put) {
        failures_.push_back("*** " + incoming.source + " could not be brought in: " + put.reason());
        (void)fileSystem().remove(incoming.destination + kImportSuffix);
        continue;
      }
    }
    pending.push_back({i, std::move(*before), move});
  }
  return pending;
}

// Puts one file in its place; false (with a line for the log) when it could not be.
bool PageImportCommand::place(const PageFileImport& incoming, Pending& pending, bool flushed) {
  if (!pending.moved) return placeCopy(incoming, false);
  // Not forced to disk: moving it would leave no copy that surely survives; it waits.
  if (!flushed) return false;
  // Whatever stands under the inbox name is what moves, so it is looked at once moved: only
  // the file that was read may keep the page's name. A page that has a file already gets it
  // only after that look (the file lands under a name of its own beside it first); a new page
  // has nothing to lose. Anything else leaves the data folder again, and the bytes read are
  // written instead; an existing page's file is not touched until they are complete.
  const bool newPage = !pending.before.has_value();
  const std::string staging = newPage ? incoming.destination : incoming.destination + kMovingSuffix;
  if (Result renamed = fileSystem().rename(incoming.source, staging); !renamed) {
    // A data folder that links to another disk cannot take a rename: the file is copied after
    // all, forced to disk on its own, and its source goes like any copy's.
    pending.moved = false;
    return placeCopy(incoming, true);
  }
  const std::optional<FileInode> moved = fileSystem().inodeOf(staging);
  if (moved && moved->ownedAlone && moved->sameFile(*incoming.movable) &&
      (newPage || fileSystem().rename(staging, incoming.destination))) {
    return true;
  }
  failures_.push_back("*** " + incoming.source + " was replaced while it was brought in; the file first read was kept");
  if (!fileSystem().rename(staging, incoming.source + ".refused") && !fileSystem().remove(staging)) {
    failures_.push_back("*** " + staging + " could not be removed from the data folder");
  }
  return placeCopy(incoming, true);
}

// The copy written under its temporary name takes the page's name (written now and forced to
// disk on its own when `writeNow`).
bool PageImportCommand::placeCopy(const PageFileImport& incoming, bool writeNow) {
  const std::string temporary = incoming.destination + kImportSuffix;
  Result done = writeNow ? WriteTemporary(incoming.destination, incoming.bytes, true) : Result();
  if (done) done = fileSystem().rename(temporary, incoming.destination);
  if (done) return true;
  failures_.push_back("*** " + incoming.source + " could not be brought in: " + done.reason());
  (void)fileSystem().remove(temporary);
  return false;
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
