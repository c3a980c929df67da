#include "sharing/addon_pack.h"

#include <unordered_map>
#include <unordered_set>

#include "sharing/exchange_names.h"
#include "store/file_system.h"
#include "store/line_split.h"
#include "store/pair_file.h"
#include "structure/structure_file.h"

namespace tarvo {
namespace {

constexpr const char* kPackStructure = "structure.dat";

class PackPlanner {
 public:
  PackPlanner(const Structure& master, const TopicTree& tree) : master_(master), tree_(tree) {}

  ResultOf<MergePlan> plan(RecordList records) {
    RecordList remaining;
    for (auto& record : records) {
      TopicRecord* local = master_.recordOf(record->uni.view());
      if (local != nullptr && local->treeNode == nullptr) {
        return Result::Failure("the pack's topic " + record->uni.str() + " is not in the tree");
      }
      if (local != nullptr) {
        plan_.log.push_back((local->isSection() ? "Addon - matched section: " : "Addon - matched topic: ") +
                            record->text.str());
        plan_.updates.push_back({local, std::move(record)});
      } else {
        remaining.push_back(std::move(record));
      }
    }
    for (auto& record : remaining) add(std::move(record));
    return std::move(plan_);
  }

 private:
  void add(std::unique_ptr<TopicRecord> record) {
    PlannedNode node;
    bool section = false;
    const std::string parentId = record->parent.str();
    if (parentId.empty()) {
      // Appended at the end of the tree: a section as a new section, a topic one level down
      // in the last section, which may be one this pack has just added.
      section = record->isSection() || (tree_.empty() && lastNewSection_ < 0);
      if (!section && lastNewSection_ >= 0) {
        node.plannedParent = lastNewSection_;
      } else if (!section) {
        node.parent = tree_.roots().back().get();
      }
    } else if (const auto planned = added_.find(parentId); planned != added_.end()) {
      node.plannedParent = planned->second;
    } else if (TopicRecord* parent = master_.recordOf(parentId); parent != nullptr && parent->treeNode != nullptr) {
      node.parent = parent->treeNode;
    } else if (TopicNode* first = FirstSectionOfType(tree_, record->type)) {
      node.parent = first;
      node.place = PlannedNode::Place::First;
    } else {
      section = true;
    }
    plan_.log.push_back((section ? "Addon - new section: " : "Addon - new topic: ") + record->text.str());
    if (section) {
      record->lev = 0;
      lastNewSection_ = static_cast<int>(plan_.nodes.size());
    }
    added_[record->uni.str()] = static_cast<int>(plan_.nodes.size());
    node.record = std::move(record);
    plan_.nodes.push_back(std::move(node));
  }

  const Structure& master_;
  const TopicTree& tree_;
  std::unordered_map<std::string, int> added_;
  int lastNewSection_ = -1;
  MergePlan plan_;
};

}  // namespace

AddonEntry* AddonList::find(const std::string& name) {
  for (AddonEntry& entry : entries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

ResultOf<AddonList> LoadAddonList(const std::string& path) {
  AddonList list;
  if (!fileSystem().exists(path)) return list;
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs); !loaded) return loaded;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view key = pairs.key(i);
    const std::string value(pairs.value(i));
    if (key == "name") {
      list.entries.push_back({});
      list.entries.back().name = value;
      continue;
    }
    if (list.entries.empty()) continue;
    AddonEntry& entry = list.entries.back();
    if (key == "src") entry.source = value;
    else if (key == "cre") entry.created = value;
    else if (key == "upd") entry.version = value;
    else if (key == "date") entry.date = value;
  }
  return list;
}

Result SaveAddonList(const std::string& path, AddonList& list) {
  PairList pairs;
  for (const AddonEntry& entry : list.entries) {
    pairs.add("name", entry.name);
    pairs.add("src", entry.source);
    pairs.add("cre", entry.created);
    pairs.add("upd", entry.version);
    pairs.add("date", entry.date);
  }
  Result saved = SavePairFile(path, pairs, 0);
  if (saved) list.changed = false;
  return saved;
}

std::vector<std::string> PackNameFields(const std::string& folderName) {
  std::vector<std::string> fields;
  SplitDelimited(folderName, fields, '-');
  return fields;
}

ResultOf<RecordList> ReadPackStructure(const std::string& packFolder) {
  const std::string path = JoinPath(packFolder, kPackStructure);
  Structure parsed;
  const StructureLoad load = LoadStructure(parsed, path);
  if (load.outcome == StructureLoad::Outcome::Missing) return Result::Failure("the pack has no " + std::string(kPackStructure));
  if (!load.loaded()) return Result::Failure(load.message);
  if (parsed.size() > kMaxPackTopics) {
    return Result::Failure("the pack holds " + std::to_string(parsed.size()) + " topics, more than a pack may (" +
                           std::to_string(kMaxPackTopics) + ")");
  }
  std::vector<TopicRecord*> order;
  std::unordered_set<std::string_view> ids;
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    TopicRecord* record = parsed.record(i);
    if (!IsSafeEntryName(record->uni.view())) {
      return Result::Failure("the pack's topic \"" + record->uni.str() + "\" has an id that cannot name a file");
    }
    if (!ids.insert(record->uni.view()).second) return Result::Failure("the pack's id \"" + record->uni.str() + "\" comes twice");
    if (record->type < 0 || record->type >= kSectionTypeCount) {
      return Result::Failure("the pack's topic \"" + record->uni.str() + "\" has the section type " +
                             std::to_string(record->type));
    }
    order.push_back(record);
  }
  RecordList records;
  for (TopicRecord* record : order) records.push_back(parsed.release(record));
  return records;
}

ResultOf<MergePlan> PlanPackMerge(const Structure& master, const TopicTree& tree, RecordList records) {
  return PackPlanner(master, tree).plan(std::move(records));
}

}  // namespace tarvo
