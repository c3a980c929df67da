#include "ui/main/topic_actions.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTreeView>

#include "structure/topic_record.h"
#include "structure/topic_tree.h"
#include "ui/main/topic_tree_model.h"
#include "ui/main/topic_type_dialog.h"
#include "workspace/topic_attributes.h"
#include "workspace/tree_menu.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

// Dividers of the context menu are disabled items of twenty hyphens.
const QString kDivider(20, '-');

void Apply(QAction* action, const MenuItemState& state) {
  action->setVisible(state.visible);
  action->setEnabled(state.visible && state.enabled);
}

}  // namespace

TopicActions::TopicActions(Workspace& workspace, TopicTreeModel& model, QTreeView& tree, QWidget& window)
    : QObject(&window), workspace_(workspace), model_(model), tree_(tree), window_(window) {
  Workspace& w = workspace_;
  make("MVNewSection", "Insert New Section", [] {});
  make("MVAddItem", "Insert new topic", [this] { addTopic(false); })->setShortcut(Qt::Key_Insert);
  make("MVAddSubItem", "Add new sub-topic", [this] { addTopic(true); })->setShortcut(Qt::CTRL | Qt::Key_Insert);
  make("MVEdit", "Edit details", [this] {
    if (selected() != nullptr) emit editRequested(selected());
  })->setShortcut(Qt::CTRL | Qt::Key_E);
  make("MVFavourites", "Add to favourites", [this, &w] { w.toggleFavourite(selected()); });
  make("MVIncreaseLevel", "Convert topic to a sub-topic", [this, &w] { w.indent(selected()); })
      ->setShortcut(Qt::ALT | Qt::Key_Right);
  make("MVReduceLevel", "Convert sub-topic to a topic", [this, &w] { w.outdent(selected()); })
      ->setShortcut(Qt::ALT | Qt::Key_Left);
  make("MVMoveUp", "Move topic up", [this, &w] { w.moveAmongSiblings(selected(), -1); })
      ->setShortcut(Qt::CTRL | Qt::Key_Up);
  make("MVMoveDown", "Move topic down", [this, &w] { w.moveAmongSiblings(selected(), +1); })
      ->setShortcut(Qt::CTRL | Qt::Key_Down);
  make("MVSortSub", "Sort sub-topics", [this, &w] { w.sortChildren(selected(), ChildOrder::Caption); });
  make("MVSortPriority", "Sort sub-tasks by urgency/priority",
       [this, &w] { w.sortChildren(selected(), ChildOrder::PriorityKey); });
  make("MVSortDaysDue", "Sort sub-tasks by date due", [this, &w] { w.sortChildren(selected(), ChildOrder::DaysDue); });
  make("MVExpandAll", "Expand all", [this, &w] { expandCommand([&w] { w.expandAll(); }, true); });
  make("MVExpandUrgent", "Expand urgent tasks",
       [this, &w] { expandCommand([&w] { w.expandMatching(ExpandFilter::Urgent); }); });
  make("MVExpandProgress", "Expand tasks in progress",
       [this, &w] { expandCommand([&w] { w.expandMatching(ExpandFilter::InProgress); }); });
  make("MVExpandDueSoon", "Expand tasks and events due within two weeks",
       [this, &w] { expandCommand([&w] { w.expandMatching(ExpandFilter::DueSoon); }); });
  make("MVExpandDue6Weeks", "Expand tasks and events due within six weeks",
       [this, &w] { expandCommand([&w] { w.expandMatching(ExpandFilter::DueSixWeeks); }); });
  make("MVContractAll", "Contract all", [this, &w] { expandCommand([&w] { w.contractAll(); }); });
  make("MVRemoveItem", "Remove this topic permanently", [this, &w] { w.removeSubtree(selected()); })
      ->setShortcut(Qt::Key_Delete);
  make("MVChangeTopicType", "Change topic type ...", [this] { changeTopicType(); });
  make("MVRename", "Rename", [this] {
        if (selected() != nullptr) tree_.edit(model_.indexOf(selected()));
      })->setShortcut(Qt::Key_F2);
  make("MVToggleFinished", "Finished / not started", [this] { toggleFinished(); })->setShortcut(Qt::Key_Space);
  makeAttributeActions();
  buildPopMainView();
  buildPopPriority();

  // Keys act on the tree: elsewhere (a text being edited) they keep their usual meaning.
  for (const auto& [name, action] : actions_) {
    if (!action->shortcut().isEmpty()) {
      action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
      tree_.addAction(action);
    }
  }
  tree_.installEventFilter(this);
  connect(&workspace_.undoStack(), &QUndoStack::indexChanged, this, [this] {
    followSelection();
    update();
  });
  connect(tree_.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { update(); });
  update();
}

bool TopicActions::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &tree_ || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const QKeySequence pressed(key->keyCombination());
  for (const auto& [name, action] : actions_) {
    if (!action->isEnabled() && action->shortcut() == pressed) return true;
  }
  return false;
}

QAction* TopicActions::make(const char* name, const QString& caption, const std::function<void()>& run) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, run);
  actions_[name] = action;
  return action;
}

void TopicActions::makeAttributeActions() {
  Workspace& w = workspace_;
  const auto type = [this, &w](int ttype) {
    return [this, &w, ttype] {
      w.setTopicType(selected(), ttype);
      update();  // even when nothing changed
    };
  };
  const auto status = [this, &w](int to) { return [this, &w, to] { w.setTaskStatus(selected(), to); }; };
  const struct {
    const char* name;
    const char* hint;
    int image;
    std::function<void()> run;
  } buttons[] = {
      {"buttonGeneral", "General topic group", kGeneralTopic, type(kGeneralTopic)},
      {"buttonInfo", "Notes and information", kNotesTopic, type(kNotesTopic)},
      {"buttonIdea", "Ideas and suggestions", kIdeaTopic, type(kIdeaTopic)},
      {"buttonFinance", "Finance", kFinanceTopic, type(kFinanceTopic)},
      {"buttonEvent", "Event", kEvent, type(kEvent)},
      {"buttonTask", "Task", kTask, type(kTask)},
      {"buttonStatusNotStarted", "Task not started", kNotStarted + 7, status(kNotStarted)},
      {"buttonStatusInProgress", "Task in progress", kInProgress + 7, status(kInProgress)},
      {"buttonStatusWaiting", "Task waiting", kWaiting + 7, status(kWaiting)},
      {"buttonStatusFinished", "Task finished", kFinished + 7, status(kFinished)},
      {"buttonStatusOnHold", "Task on hold", kOnHold + 7, status(kOnHold)},
      {"buttonUrgent", "Mark as urgent", -1, [this, &w] { w.setUrgent(selected(), true); }},
      {"buttonNotUrgent", "Not urgent", -1, [this, &w] { w.setUrgent(selected(), false); }},
      {"buttonPriorityUp", "Increase task priority", -1, [this, &w] { w.stepPriority(selected(), true); }},
      {"buttonPriorityDown", "Decrease task priority", -1, [this, &w] { w.stepPriority(selected(), false); }},
  };
  const QString texts[] = {"!", "-", QString(QChar(0x25B2)), QString(QChar(0x25BC))};
  int textIndex = 0;
  for (const auto& button : buttons) {
    QAction* action = make(button.name, button.hint, button.run);
    action->setToolTip(button.hint);
    if (button.image >= 0) {
      action->setIcon(TopicTreeModel::Images()[static_cast<std::size_t>(button.image)]);
    } else {
      action->setIconText(texts[textIndex++]);
    }
  }
}

void TopicActions::buildPopMainView() {
  popMainView_ = new QMenu(&window_);
  popMainView_->setObjectName("popMainView");
  const auto divider = [this] {
    QAction* item = popMainView_->addAction(kDivider);
    item->setEnabled(false);
    return item;
  };
  for (const char* name : {"MVNewSection", "MVAddItem", "MVAddSubItem", "MVEdit", "MVFavourites"}) {
    popMainView_->addAction(action(name));
  }
  secondDivider_ = divider();
  popMainView_->addAction(action("MVIncreaseLevel"));
  popMainView_->addAction(action("MVReduceLevel"));
  divider();
  for (const char* name : {"MVSortSub", "MVSortPriority", "MVSortDaysDue"}) popMainView_->addAction(action(name));
  divider();
  for (const char* name : {"MVExpandAll", "MVExpandUrgent", "MVExpandProgress", "MVExpandDueSoon",
                           "MVExpandDue6Weeks", "MVContractAll"}) {
    popMainView_->addAction(action(name));
  }
  divider();
  menuSendto_ = popMainView_->addMenu("Send copy to");
  menuSendto_->setObjectName("menuSendto");
  QMenu* remove = popMainView_->addMenu("Remove");
  remove->setObjectName("menuRemove");
  remove->addAction(action("MVRemoveItem"));
  popMainView_->addAction(action("MVChangeTopicType"));
  connect(popMainView_, &QMenu::aboutToShow, this, &TopicActions::update);
}

void TopicActions::buildPopPriority() {
  popPriority_ = new QMenu(&window_);
  popPriority_->setObjectName("popPriority");
  for (int priority = 1; priority <= 9; ++priority) {
    const QString caption = priority == 1 ? QString("Priority 1 - top") : QString("Priority %1").arg(priority);
    QAction* item = popPriority_->addAction(caption);
    item->setObjectName(QString("Priority%1").arg(priority));
    item->setCheckable(true);  // the topic's priority shows as the checked item
    connect(item, &QAction::triggered, this, [this, priority] { workspace_.setPriority(selected(), priority); });
  }
}

void TopicActions::setColleagueMenu(QMenu* colleagues) {
  // The colleagues' items belong to the network panel's menu, which rebuilds them when the
  // list changes; this menu shows the same actions whenever it opens.
  connect(menuSendto_, &QMenu::aboutToShow, this, [this, colleagues] {
    menuSendto_->clear();
    menuSendto_->addActions(colleagues->actions());
  });
}

void TopicActions::fillMenuBar(QMenuBar& bar, QAction* save, QAction* exit, QAction* undo, QAction* redo) {
  QMenu* file = bar.addMenu("&File");
  file->setObjectName("menuFile");
  file->addActions({save, exit});
  QMenu* edit = bar.addMenu("&Edit");
  edit->setObjectName("menuEdit");
  edit->addActions({undo, redo});
  edit->addSeparator();
  for (const char* name : {"MVAddItem", "MVAddSubItem", "MVRename", "MVEdit", "MVFavourites", "MVChangeTopicType"}) {
    edit->addAction(action(name));
  }
  edit->addSeparator();
  for (const char* name : {"MVIncreaseLevel", "MVReduceLevel", "MVMoveUp", "MVMoveDown"}) edit->addAction(action(name));
  edit->addSeparator();
  for (const char* name : {"MVSortSub", "MVSortPriority", "MVSortDaysDue"}) edit->addAction(action(name));
  edit->addSeparator();
  edit->addAction(action("MVToggleFinished"));
  edit->addAction(action("MVRemoveItem"));
  QMenu* view = bar.addMenu("&View");
  view->setObjectName("menuView");
  for (const char* name : {"MVExpandAll", "MVExpandUrgent", "MVExpandProgress", "MVExpandDueSoon",
                           "MVExpandDue6Weeks", "MVContractAll"}) {
    view->addAction(action(name));
  }
  connect(edit, &QMenu::aboutToShow, this, &TopicActions::update);
}

QAction* TopicActions::action(const std::string& name) const {
  const auto found = actions_.find(name);
  return found == actions_.end() ? nullptr : found->second;
}

TopicNode* TopicActions::selected() const { return model_.nodeAt(tree_.currentIndex()); }

void TopicActions::update() {
  const TopicNode* node = selected();
  const bool connected = connectedToShare && connectedToShare();
  const bool sendable = node != nullptr && node->record != nullptr && node->record->type >= 0 &&
                        node->record->type < kSectionTypeCount && workspace_.master().sendTypes[static_cast<std::size_t>(node->record->type)];
  const TreeMenuState menu = TreeMenuFor(workspace_.tree(), node, connected, sendable);
  Apply(action("MVNewSection"), {menu.newSection.visible, false});
  Apply(action("MVAddItem"), menu.addItem);
  Apply(action("MVAddSubItem"), menu.addSubItem);
  action("MVAddSubItem")->setText(QString::fromStdString(menu.addSubItemCaption));
  Apply(action("MVEdit"), menu.edit);
  Apply(action("MVFavourites"), menu.favourites);
  action("MVFavourites")->setText(QString::fromStdString(menu.favouritesCaption));
  Apply(action("MVChangeTopicType"), menu.changeTopicType);
  Apply(action("MVIncreaseLevel"), menu.increaseLevel);
  Apply(action("MVReduceLevel"), menu.reduceLevel);
  Apply(action("MVSortSub"), menu.sortSub);
  action("MVSortSub")->setText(QString::fromStdString(menu.sortSubCaption));
  Apply(action("MVSortPriority"), menu.sortPriority);
  Apply(action("MVSortDaysDue"), menu.sortDaysDue);
  Apply(action("MVRemoveItem"), menu.removeItem);
  secondDivider_->setVisible(menu.secondDividerVisible);
  menuSendto_->setEnabled(menu.sendTo.enabled);

  const bool topic = node != nullptr && node->record != nullptr && !node->record->isSection();
  action("MVRename")->setEnabled(node != nullptr && node->record != nullptr);
  action("MVMoveUp")->setEnabled(topic && node->previousSibling() != nullptr);
  action("MVMoveDown")->setEnabled(topic && node->nextSibling() != nullptr);

  const AttributeButtons buttons = AttributeButtonsFor(node);
  static const char* const kButtons[kAttributeButtonCount] = {
      "buttonGeneral", "buttonInfo", "buttonIdea", "buttonFinance", "buttonEvent", "buttonTask",
      "buttonStatusNotStarted", "buttonStatusInProgress", "buttonStatusWaiting", "buttonStatusFinished",
      "buttonStatusOnHold", "buttonUrgent", "buttonNotUrgent", "buttonPriorityUp", "buttonPriorityDown"};
  for (std::size_t i = 0; i < buttons.size(); ++i) action(kButtons[i])->setEnabled(buttons[i]);
  action("MVToggleFinished")->setEnabled(buttons[kButtonFinished] || buttons[kButtonNotStarted]);
  popPriority_->setEnabled(buttons[kButtonPriorityUp] || buttons[kButtonPriorityDown]);
  const int priority = node != nullptr && node->record != nullptr ? node->record->pri : 0;
  for (QAction* item : popPriority_->actions()) item->setChecked(item->objectName() == QString("Priority%1").arg(priority));
}

void TopicActions::followSelection() {
  const TopicNode* node = workspace_.tree().selected;
  if (node == nullptr) return;
  const QModelIndex index = model_.indexOf(node);
  if (tree_.currentIndex() != index) tree_.setCurrentIndex(index);
  tree_.scrollTo(index);
}

void TopicActions::addTopic(bool asSubTopic) {
  const ResultOf<TopicNode*> added = workspace_.addTopic(selected(), asSubTopic);
  if (!added) {
    emit failed(added.reason());
    return;
  }
  if (*added == nullptr) return;
  followSelection();
  tree_.edit(model_.indexOf(*added));
}

void TopicActions::changeTopicType() {
  TopicNode* node = selected();
  if (node == nullptr || node->record == nullptr || node->record->isSection()) return;
  const int chosen = TformTopicSelect::Choose(node->record->ttype, &window_);
  if (chosen != -1) workspace_.setChosenType(node, chosen);
}

// Space finishes a task, or takes a finished one back to not started.
void TopicActions::toggleFinished() {
  TopicNode* node = selected();
  if (node == nullptr || node->record == nullptr || !node->record->isTask()) return;
  workspace_.setTaskStatus(node, node->record->status == kFinished ? kNotStarted : kFinished);
}

void TopicActions::expandCommand(const std::function<void()>& change, bool all) {
  // Neither the tree's change nor the view's following it is told node by node: the view
  // would select every node it opens.
  const QSignalBlocker quietModel(&model_);
  const QSignalBlocker quietView(&tree_);
  change();
  // The view takes the outcome in one pass, opening only what can be seen: node by node it
  // would lay itself out again for every node.
  if (all) {
    tree_.expandAll();
    followSelection();
    return;
  }
  tree_.collapseAll();
  model_.openLikeTheTree(tree_);
  followSelection();
}

}  // namespace tarvo
