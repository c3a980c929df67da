#pragma once

// The item model through which the tree view shows the workspace's topic tree: column 0 the
// caption with the node's image, column 1 the due state ("Due"), column 2 the task state
// ("Status"). It holds nothing of its own: it hears every change of the tree and reports it as
// inserted, removed, moved or reordered rows (a reset only when the whole tree is loaded), so
// the view keeps its selection, expanded nodes and scroll position across edits.

#include <QAbstractItemModel>
#include <QIcon>
#include <vector>

#include "structure/topic_tree.h"

class QTreeView;

namespace tarvo {

class Workspace;

class TopicTreeModel : public QAbstractItemModel, private TreeObserver {
  Q_OBJECT

 public:
  enum Column { kTopicColumn = 0, kDueColumn = 1, kStatusColumn = 2, kColumnCount = 3 };
  // The node image (a task's status, any other topic's type, a section's type) and the type
  // image shown before it (a topic's type, a section's type).
  enum Role { ImageIndexRole = Qt::UserRole + 1, TypeImageIndexRole };
  // Room for both images side by side.
  static QSize DecorationSize();

  explicit TopicTreeModel(Workspace& workspace, QObject* parent = nullptr);
  ~TopicTreeModel() override;

  [[nodiscard]] TopicNode* nodeAt(const QModelIndex& index) const;
  [[nodiscard]] QModelIndex indexOf(const TopicNode* node, int column = kTopicColumn) const;
  // Opens in `view` the nodes below `top` (null: the whole tree) that the tree has open, as far
  // as they can be seen; those under a closed node follow when it is opened. A list of work
  // instead of recursion: a deep tree must not run out of stack.
  void openLikeTheTree(QTreeView& view, const TopicNode* top = nullptr) const;

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Captions are edited in place (a blank one is refused); topics are dragged onto a node of
  // their own level and section type, and land in front of it.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

  // The tree's image list, by image index.
  static const std::vector<QIcon>& Images();
  // The type image and the node image side by side; the second is left out when it would
  // only repeat the first.
  static QIcon RowDecoration(int typeImage, int nodeImage);

 signals:
  // The tree expanded or collapsed a node (a command did, not the view).
  void expandedChanged(const QModelIndex& index, bool expanded);

 private:
  void treeAboutToBeReset() override;
  void treeReset() override;
  void nodesAboutToBeInserted(TopicNode* parent, std::size_t first, std::size_t last) override;
  void nodesInserted(TopicNode* parent, std::size_t first, std::size_t last) override;
  void nodesAboutToBeRemoved(TopicNode* parent, std::size_t first, std::size_t last) override;
  void nodesRemoved(TopicNode* parent, std::size_t first, std::size_t last) override;
  void nodeAboutToBeMoved(TopicNode* node, TopicNode* newParent, std::size_t row) override;
  void nodeMoved(TopicNode* node, TopicNode* oldParent, std::size_t oldRow) override;
  void childrenAboutToBeReordered(TopicNode* parent) override;
  void childrenReordered(TopicNode* parent) override;
  void nodeChanged(TopicNode* node) override;
  void nodesChanged(const std::vector<TopicNode*>& nodes) override;
  void nodeExpandedChanged(TopicNode* node) override;

  // The dragged node of a drag from this model, and the node a drop would land in front of.
  [[nodiscard]] TopicNode* draggedNode(const QMimeData* data) const;
  [[nodiscard]] TopicNode* dropTarget(int row, const QModelIndex& parent) const;

  Workspace& workspace_;
  const TopicTree& tree_;
  QModelIndexList reordering_;  // persistent indexes while children are reordered
};

}  // namespace tarvo
