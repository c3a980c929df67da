#pragma once

// Add-on packs: a ready-made set of sections and topics delivered as a folder "addon-<name>"
// or "addon-<name>-<version>" beside the program. Its "structure.dat" is merged into the tree,
// its page files go into the data folders, and the pack is remembered in Addons.dat so the
// same version is not merged twice.

#include <string>
#include <vector>

#include "base/result.h"
#include "sharing/merge_plan.h"

namespace tarvo {

inline constexpr std::size_t kMaxPackTopics = 200000;

struct AddonEntry {
  std::string name;
  std::string source = "install";
  std::string created;  // DateStamp of the day it was installed
  std::string version;
  std::string date;     // kept as read
};

struct AddonList {
  std::vector<AddonEntry> entries;
  bool changed = false;

  [[nodiscard]] AddonEntry* find(const std::string& name);
};

// A missing file is an empty list; a file that cannot be read is a failure.
ResultOf<AddonList> LoadAddonList(const std::string& path);
// All five keys per pack, in order, without backups; clears `changed`.
Result SaveAddonList(const std::string& path, AddonList& list);

// The fields of a pack folder's name split at "-": "addon", the name, the version (optional).
std::vector<std::string> PackNameFields(const std::string& folderName);

// The records of a pack's "structure.dat", checked as a send file is: every id can name a
// file and comes once. A failure when the file is missing or damaged.
ResultOf<RecordList> ReadPackStructure(const std::string& packFolder);

// Records whose id the tree holds update it; the others are added under their `parent`, first
// in the section of their type when the parent is unknown, or as new sections.
// A failure when a record's id belongs to a record the tree does not show.
ResultOf<MergePlan> PlanPackMerge(const Structure& master, const TopicTree& tree, RecordList records);

}  // namespace tarvo
