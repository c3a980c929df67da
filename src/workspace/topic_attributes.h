#pragma once

// The rules of the attribute commands: a topic's type, a task's status, urgency, priority and
// the favourite mark, and which of the attribute buttons a topic allows. Plain functions on a
// record, so the rules are tested without a window or an undo stack; the workspace wraps each
// change in an undoable command and rolls the parent up afterwards.

#include <QDateTime>
#include <array>

#include "content/checklist.h"
#include "structure/topic_record.h"

namespace tarvo {

class TopicNode;

// True when a task's status follows its sub-tasks and cannot be set by hand.
bool DrivenBySubTasks(const TopicRecord& record);

// Each returns true when it changed the record, false when its precondition failed (then the
// record is as it was). `now` is the moment of the click.
bool ApplyTopicType(TopicRecord& record, int ttype, const QDateTime& now);
// A type chosen in the type chooser: only the type and the sort key change.
bool ApplyChosenType(TopicRecord& record, int ttype);
bool ApplyTaskStatus(TopicRecord& record, int status, const QDateTime& now);
// A checklist's ticks: a topic takes their progress; a task also their status, stamped when it
// starts and dated today when it is finished.
bool ApplyChecklistProgress(TopicRecord& record, const ChecklistProgress& progress, const QDateTime& now);
bool ApplyUrgency(TopicRecord& record, bool urgent);
// One step up (towards 1, the top) or down (towards none) of a task's priority.
bool ApplyPriorityStep(TopicRecord& record, bool up);
bool ApplyPriority(TopicRecord& record, int priority);
bool ToggleFavourite(TopicRecord& record);

// The fifteen attribute buttons, in tool bar order.
enum AttributeButton : int {
  kButtonGeneral, kButtonInfo, kButtonIdea, kButtonFinance, kButtonEvent, kButtonTask,
  kButtonNotStarted, kButtonInProgress, kButtonWaiting, kButtonFinished, kButtonOnHold,
  kButtonUrgent, kButtonNotUrgent,
  kButtonPriorityUp, kButtonPriorityDown,
  kAttributeButtonCount
};
using AttributeButtons = std::array<bool, kAttributeButtonCount>;

// Which buttons are enabled for the selected node (null: none).
AttributeButtons AttributeButtonsFor(const TopicNode* node);

}  // namespace tarvo
