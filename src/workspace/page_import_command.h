#pragma once

// Bringing received or delivered page files into the data folders as a step that can be
// undone: each file a received one replaced is kept, and put back on undo (a file that did not
// exist before is deleted again). A file is moved into place when it can be, or else copied
// and deleted from where it came from once the copy is in place; one that could not be
// brought in stays there for the next try.
// The pages the workspace keeps of the topics concerned are read again when next asked for.

#include <optional>
#include <string>
#include <vector>

#include "sharing/page_exchange.h"
#include "workspace/workspace_command.h"

namespace tarvo {

inline constexpr int kImportedPageBackups = 3;

class PageImportCommand : public WorkspaceCommand {
 public:
  PageImportCommand(Workspace& workspace, const QString& text, PageImportPlan plan);

  // One line per file that could not be brought in.
  [[nodiscard]] const std::vector<std::string>& failures() const { return failures_; }
  [[nodiscard]] std::size_t imported() const { return files_.size(); }

  void undo() override;
  void redo() override;

 private:
  struct File {
    std::string path;
    std::optional<std::string> before;  // nothing: the file did not exist
    std::string after;
    std::string topicId;
  };

  struct Pending {
    std::size_t index;                  // in the plan
    std::optional<std::string> before;  // what the destination held
    bool moved;                         // moved into place rather than copied
  };

  std::vector<Pending> prepare(PageImportPlan& plan);
  bool place(const PageFileImport& incoming, Pending& pending, bool flushed);
  bool placeCopy(const PageFileImport& incoming, bool writeNow);
  void write(const File& file, bool forward);

  std::vector<File> files_;
  std::vector<std::string> failures_;
  bool done_ = true;
};

}  // namespace tarvo
