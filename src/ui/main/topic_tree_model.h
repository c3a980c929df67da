#pragma once

// The item model through which the tree view shows the headless topic tree: column 0 the
// caption with the node's image, column 1 the due state ("Due"), column 2 the task state
// ("Status"). It holds nothing of its own; reset() after the tree was rebuilt.

#include <QAbstractItemModel>
#include <QIcon>
#include <vector>

namespace tarvo {

class TopicNode;
class TopicTree;

class TopicTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Column { kTopicColumn = 0, kDueColumn = 1, kStatusColumn = 2, kColumnCount = 3 };
  enum Role { ImageIndexRole = Qt::UserRole + 1 };

  explicit TopicTreeModel(TopicTree& tree, QObject* parent = nullptr);

  // Tells the views that the whole tree changed.
  void reset();
  // Tells the views that the shown state of a node changed.
  void refresh(TopicNode* node);

  [[nodiscard]] TopicNode* nodeAt(const QModelIndex& index) const;
  [[nodiscard]] QModelIndex indexOf(const TopicNode* node, int column = kTopicColumn) const;

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The tree's image list, by image index.
  static const std::vector<QIcon>& Images();

 private:
  TopicTree& tree_;
};

}  // namespace tarvo
