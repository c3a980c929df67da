#include "workspace/add_topic_command.h"

#include "base/date_text.h"

namespace tarvo {
namespace {

constexpr const char* kNewCaption = "New topic";
constexpr int kEventDurationUnit = 2;

}  // namespace

void SetUpNewTopic(TopicRecord& record, int ttype, const QDateTime& now) {
  record.ttype = ttype;
  record.status = ttype == kTask || ttype == kEvent ? kNotStarted : kNoStatus;
  if (ttype == kEvent) {
    record.autoFinish = true;
    record.durno = 1;
    record.durtype = kEventDurationUnit;
  }
  record.cre = StampText(now);
  MakeSortKey(record);
}

AddTopicCommand::AddTopicCommand(Workspace& workspace, const QString& text, TopicNode* parent, std::size_t row,
                                 int sectionType, int ttype, const QDateTime& now)
    : WorkspaceCommand(workspace, text),
      created_(Result::Failure("not added")),
      parent_(parent),
      row_(row),
      selectedBefore_(workspace.tree().selected) {
  rollBefore_.capture({parent});
  created_ = NewTopicRecord(master(), tree(), parent, row, sectionType, kNewCaption);
  if (!created_) return;
  TopicNode* node = *created_;
  SetUpNewTopic(*node->record, ttype, now);
  tree().nodeChanged(node);
  rollUp({parent}, Moment::At(now));
  rollAfter_.capture({parent});
  addToNewList();
  tree().selected = node;
}

void AddTopicCommand::addToNewList() {
  ReferenceList& list = workspace().recentNew();
  const std::string uni = (*created_)->record->uni.str();
  list.insert(0, uni, uni);
  list.dirty = true;
}

void AddTopicCommand::undo() {
  TopicNode* node = *created_;
  ReferenceList& list = workspace().recentNew();
  if (const std::size_t at = list.find(node->record->uni); at != ReferenceList::npos) {
    list.removeAt(at);
    list.dirty = true;
  }
  taken_ = take(node);
  rollBefore_.restore(tree());
  tree().selected = selectedBefore_;
  done_ = false;
}

void AddTopicCommand::redo() {
  if (done_) return;
  insert(parent_, row_, std::move(taken_));
  taken_ = {};
  rollAfter_.restore(tree());
  addToNewList();
  tree().selected = *created_;
  done_ = true;
}

}  // namespace tarvo
