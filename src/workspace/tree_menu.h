#pragma once

// What the tree's context menu offers for a node: which items show, which are enabled, and the
// captions that depend on the node. The same rules drive the tool bar and menu bar actions, so
// a command is never offered where it would do nothing.

#include <string>

namespace tarvo {

class TopicNode;
class TopicTree;

struct MenuItemState {
  bool visible = true;
  bool enabled = false;
};

struct TreeMenuState {
  MenuItemState newSection;
  MenuItemState addItem;
  MenuItemState addSubItem;
  MenuItemState edit;
  MenuItemState favourites;
  MenuItemState changeTopicType;
  MenuItemState increaseLevel;
  MenuItemState reduceLevel;
  MenuItemState sortSub;
  MenuItemState sortPriority;
  MenuItemState sortDaysDue;
  MenuItemState sendTo;
  MenuItemState removeItem;
  bool secondDividerVisible = true;
  std::string addSubItemCaption = "Add new sub-topic";
  std::string sortSubCaption = "Sort sub-topics";
  std::string favouritesCaption = "Add to favourites";
};

// The menu for `node` (null: nothing selected; every command disabled). `connected` tells
// whether the shared folder is reachable, `sendable` whether the node's section type may be
// sent to colleagues.
TreeMenuState TreeMenuFor(const TopicTree& tree, const TopicNode* node, bool connected, bool sendable);

}  // namespace tarvo
