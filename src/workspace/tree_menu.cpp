#include "workspace/tree_menu.h"

#include "structure/topic_record.h"
#include "structure/topic_tree.h"

namespace tarvo {
namespace {

void TopicRules(TreeMenuState& menu, const TopicTree& tree, const TopicNode& node) {
  const TopicRecord& record = *node.record;
  menu.newSection.visible = false;
  menu.addItem.enabled = true;
  menu.addSubItem.enabled = true;
  menu.addSubItemCaption = "Insert new sub-topic";
  menu.edit.enabled = true;
  menu.favourites.enabled = true;
  menu.favouritesCaption = record.fav ? "Remove from favourites" : "Add to favourites";
  menu.changeTopicType.enabled = true;
  menu.reduceLevel.enabled = node.level() >= 2;
  const bool firstOfTree = !tree.roots().empty() && tree.roots().front().get() == &node;
  menu.increaseLevel.enabled = !firstOfTree && node.previousSibling() != nullptr;
  menu.removeItem.enabled = !(node.level() == 1 && record.sys);
  const bool sortable = node.hasChildren();
  menu.sortSub.enabled = sortable;
  menu.sortPriority.enabled = sortable;
  menu.sortDaysDue.enabled = sortable;
  menu.sortSubCaption = record.isTask() ? "Sort sub-tasks" : "Sort sub-topics";
}

void SectionRules(TreeMenuState& menu, const TopicNode& node) {
  const TopicRecord& record = *node.record;
  menu.newSection.visible = true;
  for (MenuItemState* hidden : {&menu.favourites, &menu.changeTopicType, &menu.increaseLevel,
                                &menu.reduceLevel, &menu.addItem}) {
    hidden->visible = false;
  }
  menu.secondDividerVisible = false;
  const bool sortable = record.type == kMainSection && node.hasChildren();
  menu.sortSub.enabled = sortable;
  menu.sortPriority.enabled = sortable;
  menu.sortDaysDue.enabled = sortable;
  menu.addSubItem.enabled = !record.top;
  if (!record.top) menu.addSubItemCaption = "Insert new topic in this section";
  menu.removeItem.enabled = !record.sys;
}

}  // namespace

TreeMenuState TreeMenuFor(const TopicTree& tree, const TopicNode* node, bool connected, bool sendable) {
  TreeMenuState menu;
  if (node == nullptr || node->record == nullptr) return menu;
  if (node->record->isSection()) {
    SectionRules(menu, *node);
  } else {
    TopicRules(menu, tree, *node);
    menu.sendTo.enabled = connected && sendable;
  }
  return menu;
}

}  // namespace tarvo
