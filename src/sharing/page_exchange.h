#pragma once

// The page files that travel with topics: a sender puts a topic's pages file and its notes and
// checklist files into the outbox under the topic's exchange id; a receiver (or an add-on pack)
// brings the files of an inbox into its data folders.
//
// Bringing files in is planned first and done by the caller, so that it can keep what each file
// replaced and put it back when the receive is undone. Only plain files with safe names are
// taken; anything else is refused with a line for the log and left where it is.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/result.h"
#include "content/topic_pages.h"
#include "store/file_system.h"

namespace tarvo {

// The topic's pages file and the content files of its notes and checklist pages, copied into
// `outbox` under names that start with `exchangeId` instead of `localId` ("12-3.lst" becomes
// "ann-12-3.lst"). List pages keep their names in the pages file but their files stay home, and
// no page information file is sent. Nothing is written for a topic without a pages file.
Result WriteSentPages(const PageFolders& folders, const TopicPages& pages, const std::string& localId,
                      const std::string& exchangeId, const std::string& outbox);

struct PageFileImport {
  std::string source;       // in the inbox or pack folder
  std::string destination;  // in the data folders
  std::string bytes;        // what the destination is to hold
  std::string topicId;      // the topic whose pages the file belongs to, as named here
  // The source as read, when it holds exactly `bytes` and may be moved into place rather than
  // copied (see FileInode).
  std::optional<FileInode> movable;
};

struct PageImportPlan {
  std::vector<PageFileImport> files;
  std::vector<std::string> refused;  // log lines: names and files that were not taken
};

// The pages files ("*.pkt"), notes ("*.txt") and checklists ("*.lst") of `folder`, with their
// destinations in `folders`. A name holding `prefix` (the receiver's own lower-case name and
// "-") is an own topic coming back: the prefix is dropped from its name and, in a pages file,
// from every value holding it. `sender` names who the folder came from in refusals.
// With `onlyTopics`, only the files of those topics (named as in `folder`) are taken.
PageImportPlan PlanPageImport(const std::string& folder, const std::string& prefix, const PageFolders& folders,
                              const std::string& sender, const std::set<std::string>* onlyTopics = nullptr);

// The topic a page file belongs to: "12.pkt" → "12", "ann-12-3.lst" → "ann-12".
std::string TopicIdOfPageFile(const std::string& name);

}  // namespace tarvo
