#include <unordered_set>

#include "sharing/exchange_names.h"
#include "sharing/merge_plan.h"

namespace tarvo {
namespace {

constexpr int kNoIndex = -1;

std::unique_ptr<TopicRecord> NewSectionRecord(std::string uni, int sectionType) {
  auto section = std::make_unique<TopicRecord>(uni);
  section->text = "New section";
  section->lev = 0;
  section->type = sectionType;
  section->ttype = kSectionTopicType;
  section->status = kNoStatus;
  section->sys = true;
  section->send = true;
  section->urgent = true;
  section->exp = true;
  return section;
}

// One received record on its way into the plan.
struct Incoming {
  std::unique_ptr<TopicRecord> record;
  int level = 0;
  TopicRecord* local = nullptr;  // the matched local record
  int planned = kNoIndex;        // its index among the plan's new nodes
};

class ReceivePlanner {
 public:
  ReceivePlanner(const Structure& master, const TopicTree& tree, const FreshId& freshId)
      : master_(master), tree_(tree), freshId_(freshId) {}

  ResultOf<MergePlan> plan(ReceivedFile received, const std::string& ownName) {
    header_ = std::move(received.header);
    plan_.log.push_back("Receiving : " + header_->text.str());
    if (Result matched = match(std::move(received.records), ownName); !matched) return matched;
    if (matchedCount_ == incoming_.size()) {
      takeUpdates();
      return std::move(plan_);
    }
    if (Result placed = placeHeader(); !placed) return placed;
    if (matchedCount_ == 0) {
      placeUnderHeader();
    } else {
      takeUpdates();
      placeBesideMatches();
    }
    return std::move(plan_);
  }

 private:
  Result match(RecordList records, const std::string& ownName) {
    for (auto& record : records) {
      Incoming in;
      in.level = record->lev;
      // Every id that travels names its sender; one without is not from a colleague's program.
      if (record->uni.view().find('-') == std::string_view::npos) {
        return Result::Failure("the received topic \"" + record->uni.str() + "\" has no sender in its id");
      }
      std::string localId = LocalIdOf(record->uni.view(), ownName);
      if (!IsSafeEntryName(localId) || !localIds_.insert(localId).second || !mayBeOwnId(localId)) {
        return Result::Failure("the received topic \"" + record->uni.str() + "\" cannot be given the id \"" + localId + "\"");
      }
      in.local = master_.recordOf(localId);
      if (in.local != nullptr && in.local->treeNode == nullptr) {
        return Result::Failure("the topic " + localId + " is not in the tree");
      }
      if (in.local != nullptr) ++matchedCount_;
      record->uni = localId;
      in.record = std::move(record);
      incoming_.push_back(std::move(in));
    }
    return {};
  }

  // An own topic coming back takes an id this program has given out; a higher one would make
  // every later new topic's id collide or run out.
  bool mayBeOwnId(const std::string& localId) const {
    if (localId.empty() || localId.find('-') != std::string::npos) return true;
    if (localId.find_first_not_of("0123456789") != std::string::npos) return true;
    return localId.size() < 12 && std::stoll(localId) <= master_.highestId();
  }

  // A fresh id for a record made here, never one a received topic is about to take.
  ResultOf<std::string> freshId() {
    while (true) {
      ResultOf<std::string> id = freshId_();
      if (!id || !localIds_.contains(*id)) return id;
    }
  }

  void takeUpdates() {
    for (Incoming& in : incoming_) {
      if (in.local == nullptr) continue;
      plan_.log.push_back("Matched topic: " + in.record->text.str());
      plan_.updates.push_back({in.local, std::move(in.record)});
    }
  }

  // The header goes first into the section of its type; without one, into a new section.
  Result placeHeader() {
    ResultOf<std::string> headerId = freshId();
    if (!headerId) return headerId.status();
    header_->uni = *headerId;
    header_->lev = 1;
    header_->exp = true;  // what arrived shows open
    PlannedNode node;
    if (TopicNode* section = FirstSectionOfType(tree_, header_->type)) {
      node.parent = section;
      node.place = PlannedNode::Place::First;
    } else {
      ResultOf<std::string> sectionId = freshId();
      if (!sectionId) return sectionId.status();
      newSection_ = true;
      plan_.log.push_back("Added section: " + header_->text.str());
      PlannedNode newSection;
      newSection.record = NewSectionRecord(*sectionId, header_->type);
      plan_.nodes.push_back(std::move(newSection));
      node.plannedParent = 0;
    }
    node.record = std::move(header_);
    headerIndex_ = static_cast<int>(plan_.nodes.size());
    plan_.nodes.push_back(std::move(node));
    return {};
  }

  int add(Incoming& in, PlannedNode node) {
    plan_.log.push_back("Added topic: " + in.record->text.str());
    if (newSection_ && matchedCount_ == 0) plan_.newTopics.push_back(in.record->uni.str());
    node.record = std::move(in.record);
    in.planned = static_cast<int>(plan_.nodes.size());
    plan_.nodes.push_back(std::move(node));
    return in.planned;
  }

  // Nothing matched: the topics hang under the header as they were sent.
  void placeUnderHeader() {
    std::vector<int> openAtLevel{kNoIndex, headerIndex_};  // by send level: the node open there
    for (Incoming& in : incoming_) {
      PlannedNode node;
      node.plannedParent = openAtLevel[static_cast<std::size_t>(in.level - 1)];
      const int index = add(in, std::move(node));
      openAtLevel.resize(static_cast<std::size_t>(in.level));
      openAtLevel.push_back(index);
    }
  }

  // Some matched: each new topic goes after its previous sibling of the send file, or first
  // under its parent there, wherever those are in this tree.
  void placeBesideMatches() {
    std::vector<int> openAtLevel{kNoIndex, kNoIndex};  // by send level: the index in incoming_
    for (std::size_t i = 0; i < incoming_.size(); ++i) {
      Incoming& in = incoming_[i];
      const auto level = static_cast<std::size_t>(in.level);
      const int sibling = level < openAtLevel.size() ? openAtLevel[level] : kNoIndex;
      const int parent = openAtLevel[level - 1];
      if (in.local == nullptr) add(in, sibling != kNoIndex ? afterSibling(incoming_[static_cast<std::size_t>(sibling)])
                                                           : underParent(parent));
      openAtLevel.resize(level);
      openAtLevel.push_back(static_cast<int>(i));
    }
  }

  PlannedNode afterSibling(const Incoming& sibling) const {
    PlannedNode node;
    if (sibling.local != nullptr) {
      node.parent = sibling.local->treeNode->parent();
      node.place = PlannedNode::Place::After;
      node.after = sibling.local->treeNode;
      return node;
    }
    const PlannedNode& planned = plan_.nodes[static_cast<std::size_t>(sibling.planned)];
    node.plannedParent = planned.plannedParent;
    node.parent = planned.parent;
    if (planned.plannedParent == kNoIndex) {
      node.place = PlannedNode::Place::After;
      node.afterPlanned = sibling.planned;
    }
    return node;
  }

  PlannedNode underParent(int parent) const {
    PlannedNode node;
    if (parent == kNoIndex) {
      node.plannedParent = headerIndex_;
      return node;
    }
    const Incoming& up = incoming_[static_cast<std::size_t>(parent)];
    if (up.local != nullptr) {
      node.parent = up.local->treeNode;
      node.place = PlannedNode::Place::First;
    } else {
      node.plannedParent = up.planned;
    }
    return node;
  }

  const Structure& master_;
  const TopicTree& tree_;
  const FreshId& freshId_;
  std::unique_ptr<TopicRecord> header_;
  std::vector<Incoming> incoming_;
  std::unordered_set<std::string> localIds_;
  std::size_t matchedCount_ = 0;
  int headerIndex_ = kNoIndex;
  bool newSection_ = false;
  MergePlan plan_;
};

}  // namespace

TopicNode* FirstSectionOfType(const TopicTree& tree, int sectionType) {
  for (const auto& section : tree.roots()) {
    if (section->record != nullptr && section->record->type == sectionType) return section.get();
  }
  return nullptr;
}

ResultOf<MergePlan> PlanReceive(const Structure& master, const TopicTree& tree, ReceivedFile received,
                                const std::string& ownName, const FreshId& freshId) {
  if (!received.header) return Result::Failure("the send file has no header");
  return ReceivePlanner(master, tree, freshId).plan(std::move(received), ownName);
}

}  // namespace tarvo
