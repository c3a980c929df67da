#include "ui/main/topic_tree_model.h"

#include <QColor>
#include <QFont>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QTreeView>
#include <algorithm>
#include <map>
#include <unordered_map>

#include "structure/topic_record.h"
#include "structure/topic_tree.h"
#include "workspace/workspace.h"

// Resources compiled into a static library register only when asked to.
static void RegisterArtwork() { Q_INIT_RESOURCE(tarvo); }

namespace tarvo {
namespace {

constexpr int kImageCount = 17;
// A drag carries the dragged topic's id; only this program's tree understands it.
constexpr const char* kTopicMimeType = "application/x-tarvo-topic";

const QColor kSectionText(16, 16, 16);
const QColor kUrgentText(255, 0, 0);
const QColor kFinishedText(0, 128, 0);
const QColor kTopicText(0, 0, 128);

QString StatusWords(const TopicRecord& record) {
  if (!record.isTask()) return {};
  switch (record.status) {
    case kNotStarted:
      return "Not started";
    case kInProgress:
      return record.prog ? QString("%1 %").arg(int{record.progress}) : QString("In progress");
    case kFinished:
      return "Finished";
    case kOnHold:
      return "On hold";
    case kWaiting:
      return "Waiting";
    default:
      return {};
  }
}

QColor TextColour(const TopicRecord& record) {
  if (record.isSection()) return kSectionText;
  if (record.urgent) return kUrgentText;
  if (record.isTask() && record.status == kFinished) return kFinishedText;
  return kTopicText;
}

// Rows of the tree as the view counts them; a level of more than INT_MAX nodes is not made.
int Row(std::size_t row) { return static_cast<int>(row); }

}  // namespace

TopicTreeModel::TopicTreeModel(Workspace& workspace, QObject* parent)
    : QAbstractItemModel(parent), workspace_(workspace), tree_(workspace.tree()) {
  workspace_.addTreeObserver(this);
}

TopicTreeModel::~TopicTreeModel() { workspace_.removeTreeObserver(this); }

const std::vector<QIcon>& TopicTreeModel::Images() {
  static const std::vector<QIcon> images = [] {
    RegisterArtwork();
    std::vector<QIcon> loaded;
    for (int i = 0; i < kImageCount; ++i) {
      loaded.emplace_back(QString(":/icons/topic-%1.svg").arg(i, 2, 10, QChar('0')));
    }
    return loaded;
  }();
  return images;
}

namespace {

constexpr int kImageSide = 16;
constexpr int kImageGap = 2;

// The type image of a row: a topic's type, a section's type − 1.
int TypeImageIndex(const TopicRecord& record) { return record.isSection() ? record.type - 1 : record.ttype; }

bool HasImage(int index) { return index >= 0 && index < kImageCount; }

}  // namespace

QSize TopicTreeModel::DecorationSize() { return {2 * kImageSide + kImageGap, kImageSide}; }

QIcon TopicTreeModel::RowDecoration(int typeImage, int nodeImage) {
  // A tree shows few pairs; each is drawn once.
  static std::map<std::pair<int, int>, QIcon> drawn;
  const auto key = std::pair(typeImage, nodeImage);
  if (const auto found = drawn.find(key); found != drawn.end()) return found->second;
  QIcon icon;
  for (const qreal scale : {1.0, 2.0}) {
    QPixmap pixmap(DecorationSize() * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (HasImage(typeImage)) Images()[static_cast<std::size_t>(typeImage)].paint(&painter, 0, 0, kImageSide, kImageSide);
    if (HasImage(nodeImage) && nodeImage != typeImage) {
      Images()[static_cast<std::size_t>(nodeImage)].paint(&painter, kImageSide + kImageGap, 0, kImageSide, kImageSide);
    }
    painter.end();
    icon.addPixmap(pixmap);
  }
  return drawn.emplace(key, icon).first->second;
}

void TopicTreeModel::openLikeTheTree(QTreeView& view, const TopicNode* top) const {
  std::vector<const TopicNode*> pending{top};
  while (!pending.empty()) {
    const TopicNode* parent = pending.back();
    pending.pop_back();
    for (const auto& child : parent == nullptr ? tree_.roots() : parent->children()) {
      if (!child->expanded()) continue;
      view.setExpanded(indexOf(child.get()), true);
      pending.push_back(child.get());
    }
  }
}

void TopicTreeModel::treeAboutToBeReset() { beginResetModel(); }

void TopicTreeModel::treeReset() { endResetModel(); }

void TopicTreeModel::nodesAboutToBeInserted(TopicNode* parent, std::size_t first, std::size_t last) {
  beginInsertRows(indexOf(parent), Row(first), Row(last));
}

void TopicTreeModel::nodesInserted(TopicNode*, std::size_t, std::size_t) { endInsertRows(); }

void TopicTreeModel::nodesAboutToBeRemoved(TopicNode* parent, std::size_t first, std::size_t last) {
  beginRemoveRows(indexOf(parent), Row(first), Row(last));
}

void TopicTreeModel::nodesRemoved(TopicNode*, std::size_t, std::size_t) { endRemoveRows(); }

void TopicTreeModel::nodeAboutToBeMoved(TopicNode* node, TopicNode* newParent, std::size_t row) {
  // Qt counts the destination row with the node still at its old place.
  const bool down = newParent == node->parent() && row > node->row();
  beginMoveRows(indexOf(node->parent()), Row(node->row()), Row(node->row()), indexOf(newParent),
                Row(down ? row + 1 : row));
}

void TopicTreeModel::nodeMoved(TopicNode*, TopicNode*, std::size_t) { endMoveRows(); }

void TopicTreeModel::childrenAboutToBeReordered(TopicNode* parent) {
  emit layoutAboutToBeChanged({QPersistentModelIndex(indexOf(parent))}, VerticalSortHint);
  reordering_ = persistentIndexList();
}

void TopicTreeModel::childrenReordered(TopicNode* parent) {
  // The nodes stayed the same objects; only their rows changed.
  QModelIndexList moved;
  moved.reserve(reordering_.size());
  for (const QModelIndex& old : reordering_) moved.append(indexOf(nodeAt(old), old.column()));
  changePersistentIndexList(reordering_, moved);
  reordering_.clear();
  emit layoutChanged({QPersistentModelIndex(indexOf(parent))}, VerticalSortHint);
}

void TopicTreeModel::nodeChanged(TopicNode* node) {
  // A row under a closed node is not on show: the view asks for its data when it opens. Telling
  // the view of it anyway costs a search for the row, and the clock's pass changes thousands.
  for (const TopicNode* up = node->parent(); up != nullptr; up = up->parent()) {
    if (!up->expanded()) return;
  }
  const QModelIndex first = indexOf(node, kTopicColumn);
  if (first.isValid()) emit dataChanged(first, indexOf(node, kStatusColumn));
}

// One range per parent: the view repaints a range at once instead of looking up every row.
// Rows under a closed node are left out (the view asks for them when it opens); nodes arrive
// in tree order, so the parent of the last one is the one asked about most.
void TopicTreeModel::nodesChanged(const std::vector<TopicNode*>& nodes) {
  struct Range {
    std::size_t first;
    std::size_t last;
    bool shown;
  };
  std::unordered_map<TopicNode*, Range> rows;
  TopicNode* lastParent = nullptr;
  Range* lastRange = nullptr;
  for (TopicNode* node : nodes) {
    TopicNode* parent = node->parent();
    if (parent != lastParent || lastRange == nullptr) {
      auto [range, added] = rows.try_emplace(parent, Range{node->row(), node->row(), true});
      if (added) {
        for (const TopicNode* up = parent; up != nullptr && range->second.shown; up = up->parent()) {
          range->second.shown = up->expanded();
        }
      }
      lastParent = parent;
      lastRange = &range->second;
    }
    if (!lastRange->shown) continue;
    lastRange->first = std::min(lastRange->first, node->row());
    lastRange->last = std::max(lastRange->last, node->row());
  }
  for (const auto& [parent, range] : rows) {
    if (!range.shown) continue;
    const QModelIndex under = indexOf(parent);
    emit dataChanged(index(Row(range.first), kTopicColumn, under), index(Row(range.last), kStatusColumn, under));
  }
}

void TopicTreeModel::nodeExpandedChanged(TopicNode* node) {
  emit expandedChanged(indexOf(node), node->expanded());
}

TopicNode* TopicTreeModel::nodeAt(const QModelIndex& index) const {
  return index.isValid() ? static_cast<TopicNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TopicTreeModel::indexOf(const TopicNode* node, int column) const {
  if (node == nullptr) return {};
  return createIndex(Row(node->row()), column, const_cast<TopicNode*>(node));
}

QModelIndex TopicTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kColumnCount) return {};
  const TopicNode* up = nodeAt(parent);
  const auto& siblings = up == nullptr ? tree_.roots() : up->children();
  if (static_cast<std::size_t>(row) >= siblings.size()) return {};
  return createIndex(row, column, siblings[static_cast<std::size_t>(row)].get());
}

QModelIndex TopicTreeModel::parent(const QModelIndex& child) const {
  const TopicNode* node = nodeAt(child);
  return node == nullptr ? QModelIndex() : indexOf(node->parent());
}

int TopicTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const TopicNode* node = nodeAt(parent);
  return Row(node == nullptr ? tree_.roots().size() : node->childCount());
}

int TopicTreeModel::columnCount(const QModelIndex& /*parent*/) const { return kColumnCount; }

QVariant TopicTreeModel::data(const QModelIndex& index, int role) const {
  const TopicNode* node = nodeAt(index);
  if (node == nullptr) return {};
  const TopicRecord* record = node->record;
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (record == nullptr) return {};
      if (column == kTopicColumn) return QString::fromUtf8(record->text.data(), static_cast<qsizetype>(record->text.size()));
      if (column == kDueColumn) return QString::fromUtf8(record->statusText.data(), static_cast<qsizetype>(record->statusText.size()));
      return {};  // the column is drawn as pictures; its words are for tips and screen readers
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
      if (record == nullptr || column != kStatusColumn) return {};
      return StatusWords(*record);
    case Qt::DecorationRole: {
      if (column != kTopicColumn || record == nullptr) return {};
      return RowDecoration(TypeImageIndex(*record), NodeImageIndex(*record));
    }
    case ImageIndexRole:
      return record == nullptr ? QVariant() : QVariant(NodeImageIndex(*record));
    case TypeImageIndexRole:
      return record == nullptr ? QVariant() : QVariant(TypeImageIndex(*record));
    case Qt::ForegroundRole:
      return record == nullptr ? QVariant() : QVariant(TextColour(*record));
    case Qt::FontRole: {
      if (record == nullptr || column != kTopicColumn) return {};
      const int level = node->level();
      QFont font;
      font.setBold(level <= 2);
      return font;
    }
    case Qt::BackgroundRole:
      if (column != kDueColumn || record == nullptr || record->statusText.empty()) return {};
      return QColor(static_cast<QRgb>(record->statusColour));
    default:
      return {};
  }
}

Qt::ItemFlags TopicTreeModel::flags(const QModelIndex& index) const {
  const TopicNode* node = nodeAt(index);
  if (node == nullptr) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  if (index.column() == kTopicColumn && node->record != nullptr) flags |= Qt::ItemIsEditable;
  if (node->record != nullptr && !node->record->isSection()) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

bool TopicTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != kTopicColumn) return false;
  // A refused caption changes nothing; the view shows the record's text again.
  return workspace_.renameTopic(nodeAt(index), value.toString().toStdString());
}

QStringList TopicTreeModel::mimeTypes() const { return {kTopicMimeType}; }

QMimeData* TopicTreeModel::mimeData(const QModelIndexList& indexes) const {
  const TopicNode* node = indexes.isEmpty() ? nullptr : nodeAt(indexes.front());
  if (node == nullptr || node->record == nullptr) return nullptr;
  auto* data = new QMimeData;
  data->setData(kTopicMimeType, QByteArray::fromStdString(node->record->uni.str()));
  return data;
}

TopicNode* TopicTreeModel::draggedNode(const QMimeData* data) const {
  if (data == nullptr || !data->hasFormat(kTopicMimeType)) return nullptr;
  const TopicRecord* record = workspace_.master().recordOf(data->data(kTopicMimeType).toStdString());
  return record == nullptr ? nullptr : record->treeNode;
}

TopicNode* TopicTreeModel::dropTarget(int row, const QModelIndex& parent) const {
  TopicNode* onto = nodeAt(parent);
  if (row < 0) return onto;  // dropped on the node itself
  const NodeList& children = onto == nullptr ? tree_.roots() : onto->children();
  return static_cast<std::size_t>(row) < children.size() ? children[static_cast<std::size_t>(row)].get() : nullptr;
}

bool TopicTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int /*column*/,
                                     const QModelIndex& parent) const {
  return action == Qt::MoveAction && Workspace::canDrop(draggedNode(data), dropTarget(row, parent));
}

bool TopicTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                  const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  workspace_.dropOnto(draggedNode(data), dropTarget(row, parent));
  // The move is done here; the view must not remove the dragged rows as well.
  return false;
}

QVariant TopicTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kTopicColumn:
      return QString("Topics");
    case kDueColumn:
      return QString("Due");
    case kStatusColumn:
      return QString("Status");
    default:
      return {};
  }
}

}  // namespace tarvo
