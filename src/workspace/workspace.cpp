#include "workspace/workspace.h"

#include <optional>
#include <unordered_set>

#include "workspace/merge_command.h"
#include "workspace/page_import_command.h"

#include "workspace/add_topic_command.h"
#include "workspace/attribute_command.h"
#include "workspace/move_subtree_command.h"
#include "workspace/rename_topic_command.h"
#include "workspace/remove_subtree_command.h"
#include "workspace/sort_children_command.h"
#include "workspace/topic_attributes.h"

namespace tarvo {

Workspace::Workspace() = default;

Workspace::~Workspace() = default;

StructureLoad Workspace::loadStructure(const std::string& dataFolder,
                                       const std::string& programFolder) {
  undoStack_.clear();
  SetStructurePaths(master_, dataFolder, programFolder);
  StructureLoad load = LoadStructureOrBackup(master_);
  readable_ = load.outcome != StructureLoad::Outcome::Unreadable;
  return load;
}

Result Workspace::loadRecentLists(const std::string& changesPath, const std::string& newPath) {
  Result loaded;
  recentChanges_.path = changesPath;
  recentNew_.path = newPath;
  for (ReferenceList* list : {&recentChanges_, &recentNew_}) {
    list->clear();
    if (Result read = LoadRefList(*list); !read && loaded) loaded = read;
    RelinkList(*list, master_, kRecentListLimit);
  }
  return loaded;
}

namespace {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
using TopicIds = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// The topics that have a pages file: only they can have a page with content. The folder is
// listed once rather than asked after each of perhaps a million topics; nothing when it cannot
// be listed whole (then each topic must be asked).
std::optional<TopicIds> TopicsWithPagesFile(const std::string& packs) {
  FileSystem& files = fileSystem();
  if (!files.exists(packs)) return TopicIds();
  const ResultOf<std::vector<FolderEntry>> entries = files.readFolder(packs);
  if (!entries) return std::nullopt;
  TopicIds ids;
  for (const FolderEntry& entry : *entries) {
    if (entry.name.ends_with(".pkt")) ids.insert(entry.name.substr(0, entry.name.size() - 4));
  }
  return ids;
}

}  // namespace

void Workspace::upgradeLegacyData() {
  const std::optional<TopicIds> withPagesFile = TopicsWithPagesFile(pageFolders_.packs);
  for (std::size_t i = 0; i < master_.size(); ++i) {
    TopicRecord& record = *master_.record(i);
    if (record.lev == 0 || record.type != kMainSection) continue;
    if (withPagesFile && !withPagesFile->contains(record.uni.view())) {
      record.dac = 0;
      record.dam = 0;
    } else if (const ResultOf<TopicPages> pages = LoadTopicPages(pageFolders_, record.uni.str(), record.type)) {
      // A topic whose pages cannot be read keeps the summary it has.
      const PageSummary summary = SummaryOf(*pages);
      record.dac = summary.count;
      record.dam = summary.kinds;
    }
    record.sys = false;
    master_.dirty = true;
  }
}

TreeBuildReport Workspace::buildTree(const Moment& now) {
  undoStack_.clear();
  viewChanged_ = false;
  dashboard_.clear();
  return BuildTree(master_, tree_, now, [this](const TopicRecord& record) { dashboard_.append(record); });
}

bool Workspace::isChanged() const { return !undoStack_.isClean() || viewChanged_ || master_.dirty; }

Result Workspace::saveStructureIfChanged() {
  if (!readable_ || !isChanged()) return {};
  RebuildFromTree(master_, tree_);
  Result saved = SaveStructure(master_);
  if (saved) {
    undoStack_.setClean();
    viewChanged_ = false;
  }
  return saved;
}

Result Workspace::saveRecentList(ReferenceList& list) {
  if (!list.dirty) return {};
  RelinkList(list, master_, kRecentListLimit);
  return SaveRefList(list);
}

void Workspace::setExpanded(TopicNode* node, bool expanded) {
  if (node == nullptr || node->expanded() == expanded) return;
  tree_.setExpanded(node, expanded);
  viewChanged_ = true;
}

void Workspace::select(TopicNode* node) {
  if (tree_.selected == node) return;
  tree_.selected = node;
  viewChanged_ = true;
}

void Workspace::setTopVisible(TopicNode* node) {
  if (tree_.topVisible == node) return;
  tree_.topVisible = node;
  viewChanged_ = true;
}

namespace {

bool IsTopic(const TopicNode* node) {
  return node != nullptr && node->record != nullptr && !node->record->isSection();
}

// Only topics of the main section take the attribute tool bars' commands, and not the topics
// the program keeps there for itself.
bool TakesAttributes(const TopicNode* node) {
  return IsTopic(node) && node->record->type == kMainSection && !node->record->sys;
}

bool MatchesFilter(const TopicRecord& record, ExpandFilter filter) {
  const bool dated = (record.isTask() || record.ttype == kEvent) && record.status != kFinished;
  switch (filter) {
    case ExpandFilter::Urgent:
      return record.urgent || record.urgentCount >= 1;
    case ExpandFilter::InProgress:
      return record.isTask() && record.status == kInProgress;
    case ExpandFilter::DueSoon:
      return dated && record.daysDue < 15;
    case ExpandFilter::DueSixWeeks:
      return dated && record.daysDue < 43;
  }
  return false;
}

// The ttype a new topic starts with: that of the topic it is added beside, or under; a new
// topic directly in the main section starts as a general topic group.
int NewTopicType(const TopicNode& node, bool asSubTopic) {
  const TopicRecord& record = *node.record;
  if (!asSubTopic || !record.isSection()) return record.ttype;
  return record.type == kMainSection ? int{kGeneralTopic} : int{TopicRecord("").ttype};
}

}  // namespace

void Workspace::expandAll() {
  tree_.forEachInDisplayOrder([&](TopicNode& node, int) {
    if (node.hasChildren()) tree_.setExpanded(&node, true);
  });
  tree_.selected = tree_.empty() ? nullptr : tree_.roots().front().get();
  viewChanged_ = true;
}

void Workspace::contractAll() {
  tree_.selected = tree_.empty() ? nullptr : tree_.roots().front().get();
  tree_.collapseAll();
  viewChanged_ = true;
}

bool Workspace::deadlinePass(const Moment& now) {
  std::vector<TopicNode*> changed;
  tree_.forEachInDisplayOrder([&](TopicNode& node, int) {
    TopicRecord* record = node.record;
    if (record == nullptr || record->isSection() || record->type != kMainSection) return;
    if (!record->isTask() && record->ttype != kEvent) return;
    const int change = UpdateDeadlineStatus(*record, now);
    if (change < kStatusTextChanged) return;
    changed.push_back(&node);
    if (change > kStatusTextChanged) {
      MakeSortKey(*record);
      RollUpChildren(node.parent(), now);
      for (TopicNode* up = node.parent(); up != nullptr; up = up->parent()) changed.push_back(up);
      // Stored fields changed (status, urgency, a recurrence moved on); a due text alone is
      // worked out again at every start and is not worth a save.
      master_.dirty = true;
    }
  });
  tree_.nodesChanged(changed);
  return !changed.empty();
}

void Workspace::reveal(TopicNode* node) {
  if (node == nullptr) return;
  tree_.collapseAll();
  tree_.makeVisible(node);
  if (node->hasChildren()) tree_.setExpanded(node, true);
  tree_.selected = node;
  viewChanged_ = true;
}

TopicNode* Workspace::expandMatching(ExpandFilter filter) {
  tree_.collapseAll();
  TopicNode* first = nullptr;
  tree_.forEachInDisplayOrder([&](TopicNode& node, int) {
    if (node.record == nullptr || node.record->isSection() || !MatchesFilter(*node.record, filter)) return;
    tree_.makeVisible(&node);
    if (first == nullptr) first = &node;
  });
  if (first != nullptr) tree_.selected = first;
  viewChanged_ = true;
  return first;
}

int Workspace::displayIndexOf(const TopicNode* node) const {
  if (node == nullptr) return -1;
  // Up the ancestors, counting what comes before each in display order: the previous
  // siblings' whole subtrees and the parent itself.
  int index = 0;
  for (const TopicNode* at = node; at != nullptr; at = at->parent()) {
    const NodeList& siblings = at->parent() == nullptr ? tree_.roots() : at->parent()->children();
    for (std::size_t row = 0; row < at->row(); ++row) {
      TopicTree::VisitSubtree(*siblings[row], 0, [&](TopicNode&, int) { ++index; });
    }
    if (at->parent() != nullptr) ++index;
  }
  return index;
}

bool Workspace::moveSubtree(int from, int to, int levelChange) {
  auto command = std::make_unique<MoveSubtreeCommand>(*this, from, to, levelChange);
  if (!command->moves()) return false;
  undoStack_.push(command.release());
  return true;
}

ResultOf<TopicNode*> Workspace::addTopic(TopicNode* node, bool asSubTopic, const QDateTime& now) {
  if (node == nullptr || node->record == nullptr) return static_cast<TopicNode*>(nullptr);
  if (asSubTopic && node->record->isSection() && node->record->top) return static_cast<TopicNode*>(nullptr);
  if (!asSubTopic && node->record->isSection()) return static_cast<TopicNode*>(nullptr);
  TopicNode* parent = asSubTopic ? node : node->parent();
  const std::size_t row = asSubTopic ? 0 : node->row();
  const int sectionType = asSubTopic ? int{node->record->type} : (parent != nullptr ? int{parent->record->type} : int{kMainSection});
  if (asSubTopic) setExpanded(node, true);
  auto command = std::make_unique<AddTopicCommand>(*this, asSubTopic ? "Add new sub-topic" : "Insert new topic", parent,
                                                   row, sectionType, NewTopicType(*node, asSubTopic), now);
  ResultOf<TopicNode*> created = command->created();
  if (created) undoStack_.push(command.release());
  return created;
}

bool Workspace::renameTopic(TopicNode* node, const std::string& typed) {
  if (node == nullptr || node->record == nullptr) return false;
  std::string caption = RenamedCaption(typed);
  if (caption.empty() || caption == node->record->text) return false;
  undoStack_.push(new RenameTopicCommand(*this, node, std::move(caption)));
  return true;
}

bool Workspace::indent(TopicNode* node) {
  if (!IsTopic(node) || node->previousSibling() == nullptr) return false;
  TopicNode* newParent = node->previousSibling();
  const int at = displayIndexOf(node);
  if (!moveSubtree(at, at, +1)) return false;
  setExpanded(newParent, true);
  return true;
}

bool Workspace::outdent(TopicNode* node) {
  if (!IsTopic(node) || node->level() < 2) return false;
  const TopicNode* after = TopicTree::nextAfterSubtree(node->parent());
  return moveSubtree(displayIndexOf(node), after == nullptr ? -1 : displayIndexOf(after), -1);
}

bool Workspace::moveAmongSiblings(TopicNode* node, int step) {
  if (!IsTopic(node)) return false;
  if (step < 0) {
    const TopicNode* previous = node->previousSibling();
    return previous != nullptr && moveSubtree(displayIndexOf(node), displayIndexOf(previous), 0);
  }
  const TopicNode* next = node->nextSibling();
  if (next == nullptr) return false;
  const TopicNode* after = TopicTree::nextAfterSubtree(next);
  return moveSubtree(displayIndexOf(node), after == nullptr ? -1 : displayIndexOf(after), 0);
}

bool Workspace::canDrop(const TopicNode* dragged, const TopicNode* target) {
  if (!IsTopic(dragged) || target == nullptr || target->record == nullptr || dragged == target) return false;
  return target->level() == dragged->level() && target->record->type == dragged->record->type;
}

bool Workspace::dropOnto(TopicNode* dragged, TopicNode* target) {
  if (!canDrop(dragged, target)) return false;
  return moveSubtree(displayIndexOf(dragged), displayIndexOf(target), 0);
}

bool Workspace::removeSubtree(TopicNode* node) {
  if (node == nullptr || node->record == nullptr) return false;
  if (node->record->sys && node->level() <= 1) return false;
  undoStack_.push(new RemoveSubtreeCommand(*this, node));
  return true;
}

bool Workspace::sortChildren(TopicNode* node, ChildOrder order) {
  if (node == nullptr || !node->hasChildren()) return false;
  undoStack_.push(new SortChildrenCommand(*this, node, order));
  return true;
}

bool Workspace::changeAttributes(TopicNode* node, const QString& text, const AttributeChange& change, bool rollsUp,
                                 const QDateTime& now, bool fromTheNode) {
  if (!IsTopic(node)) return false;
  auto command = std::make_unique<AttributeCommand>(*this, node, text, change, rollsUp, now, fromTheNode);
  if (!command->changed()) return false;
  undoStack_.push(command.release());
  return true;
}

bool Workspace::setTopicType(TopicNode* node, int ttype, const QDateTime& now) {
  if (!TakesAttributes(node)) return false;
  if (IsTopic(node) && node->record->isTask() && node->record->status != kNotStarted) return false;
  return changeAttributes(
      node, "Change topic type",
      [ttype](TopicRecord& record, const QDateTime& at) { return ApplyTopicType(record, ttype, at); },
      ttype == kTask, now);
}

bool Workspace::setChosenType(TopicNode* node, int ttype) {
  return changeAttributes(
      node, "Change topic type", [ttype](TopicRecord& record, const QDateTime&) { return ApplyChosenType(record, ttype); },
      true);
}

bool Workspace::setTaskStatus(TopicNode* node, int status, const QDateTime& now) {
  if (!TakesAttributes(node)) return false;
  return changeAttributes(
      node, "Change task status",
      [status](TopicRecord& record, const QDateTime& at) { return ApplyTaskStatus(record, status, at); }, true, now);
}

bool Workspace::setUrgent(TopicNode* node, bool urgent) {
  if (!TakesAttributes(node)) return false;
  return changeAttributes(
      node, urgent ? "Mark as urgent" : "Mark as not urgent",
      [urgent](TopicRecord& record, const QDateTime&) { return ApplyUrgency(record, urgent); }, true);
}

bool Workspace::stepPriority(TopicNode* node, bool up) {
  if (!TakesAttributes(node)) return false;
  return changeAttributes(
      node, up ? "Increase task priority" : "Decrease task priority",
      [up](TopicRecord& record, const QDateTime&) { return ApplyPriorityStep(record, up); }, false);
}

bool Workspace::setPriority(TopicNode* node, int priority) {
  if (!TakesAttributes(node)) return false;
  return changeAttributes(
      node, "Set task priority",
      [priority](TopicRecord& record, const QDateTime&) { return ApplyPriority(record, priority); }, false);
}

bool Workspace::editTopicOptions(TopicNode* node, const TopicOptions& options, const QDateTime& now) {
  if (!IsTopic(node) || node->record->sys) return false;
  const bool hasSubTasks = HasSubTasks(*node);
  return changeAttributes(
      node, "Change topic options",
      [&options, hasSubTasks](TopicRecord& record, const QDateTime& at) {
        return ApplyTopicOptions(record, options, hasSubTasks, at);
      },
      true, now, hasSubTasks);
}

bool Workspace::toggleFavourite(TopicNode* node) {
  const bool adding = IsTopic(node) && !node->record->fav;
  return changeAttributes(
      node, adding ? "Add to favourites" : "Remove from favourites",
      [](TopicRecord& record, const QDateTime&) { return ToggleFavourite(record); }, false);
}

std::vector<std::string> Workspace::merge(MergePlan plan, PageImportPlan pages, const QString& text,
                                          const QDateTime& now) {
  auto* command = new MergeCommand(*this, text, std::move(plan), std::move(pages), now);
  std::vector<std::string> failures = command->pageFailures();
  undoStack_.push(command);
  return failures;
}

std::vector<std::string> Workspace::importPages(PageImportPlan plan, const QString& text) {
  auto* command = new PageImportCommand(*this, text, std::move(plan));
  std::vector<std::string> failures = command->failures();
  if (command->imported() == 0) {
    delete command;
  } else {
    undoStack_.push(command);
  }
  return failures;
}

void Workspace::forgetPages(const std::string& topicId) {
  if (pages_.contains(topicId)) stalePages_.insert(topicId);
  const TopicRecord* record = master_.recordOf(topicId);
  // A copy: a listener may add or remove listeners.
  const auto listeners = pagesReplaced_;
  for (const auto& listener : listeners) listener.second(topicId, record);
}

int Workspace::addPagesReplacedListener(PagesReplaced listener) {
  pagesReplaced_.emplace_back(++nextListener_, std::move(listener));
  return nextListener_;
}

void Workspace::removePagesReplacedListener(int number) {
  std::erase_if(pagesReplaced_, [number](const auto& listener) { return listener.first == number; });
}

ResultOf<std::string> Workspace::freshId() {
  ResultOf<int> fresh = NextUnique(master_);
  if (!fresh) return fresh.status();
  return std::to_string(*fresh);
}

TakenSubtree Workspace::takeSubtree(TopicNode* node) {
  TakenSubtree taken;
  TopicTree::VisitSubtree(*node, 0, [&](TopicNode& inside, int) {
    if (inside.record != nullptr && master_.owns(inside.record)) {
      taken.records.push_back(master_.release(inside.record));
    }
  });
  taken.root = tree_.take(node);
  return taken;
}

TopicNode* Workspace::insertSubtree(TopicNode* parent, std::size_t row, TakenSubtree subtree) {
  for (auto& record : subtree.records) master_.adopt(std::move(record));
  return tree_.insert(parent, row, std::move(subtree.root));
}

ResultOf<TopicPages*> Workspace::pagesOf(const TopicRecord& record) {
  const std::string id = record.uni.str();
  const auto known = pages_.find(id);
  if (known != pages_.end() && !stalePages_.contains(id)) return known->second.get();
  ResultOf<TopicPages> loaded = LoadTopicPages(pageFolders_, id, record.type);
  if (!loaded) return loaded.status();
  stalePages_.erase(id);
  auto& kept = pages_[id];
  if (kept == nullptr) {
    kept = std::make_unique<TopicPages>(std::move(*loaded));
  } else {
    *kept = std::move(*loaded);  // the same object, read again
  }
  if (!loaded.note().empty()) return ResultOf<TopicPages*>::Noted(kept.get(), loaded.note());
  return kept.get();
}

void Workspace::setPageSummary(TopicNode* node, const PageSummary& summary) {
  if (node == nullptr || node->record == nullptr) return;
  TopicRecord& record = *node->record;
  if (record.dac == summary.count && record.dam == summary.kinds) return;
  record.dac = summary.count;
  record.dam = summary.kinds;
  viewChanged_ = true;
  tree_.nodeChanged(node);
}

bool Workspace::applyChecklistProgress(TopicNode* node, const ChecklistProgress& progress, const QDateTime& now) {
  if (!TakesAttributes(node)) return false;
  const bool task = node->record->isTask();
  return changeAttributes(
      node, "Tick checklist items",
      [progress](TopicRecord& record, const QDateTime& at) { return ApplyChecklistProgress(record, progress, at); },
      task, now);
}

void Workspace::notePageSaved(const TopicRecord& record) {
  const std::size_t at = recentChanges_.find(record.uni.view());
  if (at == 0) return;
  if (at != ReferenceList::npos) recentChanges_.removeAt(at);
  recentChanges_.insert(0, record.uni.str(), record.uni.str());
  recentChanges_.dirty = true;
}

}  // namespace tarvo
