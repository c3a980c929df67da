#pragma once

// Every command of the topic tree as one QAction: the context menu of the tree, the menu bar,
// the attribute tool bars and the keys all use these, so their captions and enabled states
// always agree. The rules live in the workspace (tree_menu.h, topic_attributes.h); this class
// maps them onto the actions after every selection change and every step of the undo stack,
// and maps the actions onto the workspace's commands.

#include <QObject>
#include <functional>
#include <map>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class QTreeView;
class QWidget;

namespace tarvo {

class TopicNode;
class TopicTreeModel;
class Workspace;

class TopicActions : public QObject {
  Q_OBJECT

 public:
  TopicActions(Workspace& workspace, TopicTreeModel& model, QTreeView& tree, QWidget& window);

  // The action of this object name ("MVAddItem", "buttonTask", …); null for none.
  [[nodiscard]] QAction* action(const std::string& name) const;
  // The tree's context menu, in its fixed order.
  [[nodiscard]] QMenu* popMainView() const { return popMainView_; }
  [[nodiscard]] QMenu* popPriority() const { return popPriority_; }
  // Fills the window's menu bar: File, Edit and View.
  void fillMenuBar(QMenuBar& bar, QAction* save, QAction* exit, QAction* undo, QAction* redo);
  // Whether the shared folder is connected ("Send copy to" needs it), and the menu of
  // colleagues whose items "Send copy to" shows.
  std::function<bool()> connectedToShare;
  void setColleagueMenu(QMenu* colleagues);
  // Brings every caption and enabled state in line with the selected node.
  void update();
  // Runs a change of the tree's expanded nodes without following it node by node, then shows
  // the outcome in the view at once (`all`: every node is open).
  void expandCommand(const std::function<void()>& change, bool all = false);

 signals:
  // A command could not be carried out; the reason, for the log.
  void failed(const std::string& reason);
  // "Edit details" for this topic: the window opens its options dialog.
  void editRequested(TopicNode* node);

 protected:
  // Keeps the tree's own meaning of a key (Ctrl+Down moves the cursor, for one) from taking
  // over while the command on that key is not available here.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* make(const char* name, const QString& caption, const std::function<void()>& run);
  void makeAttributeActions();
  void buildPopMainView();
  void buildPopPriority();
  [[nodiscard]] TopicNode* selected() const;
  // Shows the selected node after a command that may have moved or added it.
  void followSelection();

  void addTopic(bool asSubTopic);
  void changeTopicType();
  void toggleFinished();

  Workspace& workspace_;
  TopicTreeModel& model_;
  QTreeView& tree_;
  QWidget& window_;
  std::map<std::string, QAction*> actions_;
  QMenu* popMainView_ = nullptr;
  QMenu* popPriority_ = nullptr;
  QMenu* menuSendto_ = nullptr;
  QAction* secondDivider_ = nullptr;
};

}  // namespace tarvo
