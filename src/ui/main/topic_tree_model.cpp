#include "ui/main/topic_tree_model.h"

#include <QColor>
#include <QFont>

#include "structure/topic_record.h"
#include "structure/topic_tree.h"

// Resources compiled into a static library register only when asked to.
static void RegisterArtwork() { Q_INIT_RESOURCE(tarvo); }

namespace tarvo {
namespace {

constexpr int kImageCount = 17;

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
      return record.prog ? QString("%1 %").arg(record.progress) : QString("In progress");
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

}  // namespace

TopicTreeModel::TopicTreeModel(TopicTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {}

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

void TopicTreeModel::reset() {
  beginResetModel();
  endResetModel();
}

void TopicTreeModel::refresh(TopicNode* node) {
  const QModelIndex first = indexOf(node, kTopicColumn);
  if (first.isValid()) emit dataChanged(first, indexOf(node, kStatusColumn));
}

TopicNode* TopicTreeModel::nodeAt(const QModelIndex& index) const {
  return index.isValid() ? static_cast<TopicNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TopicTreeModel::indexOf(const TopicNode* node, int column) const {
  if (node == nullptr) return {};
  return createIndex(static_cast<int>(node->row()), column, const_cast<TopicNode*>(node));
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
  return static_cast<int>(node == nullptr ? tree_.roots().size() : node->children().size());
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
      if (column == kTopicColumn) return QString::fromStdString(node->caption);
      if (record == nullptr) return {};
      if (column == kDueColumn) return QString::fromStdString(record->statusText);
      return StatusWords(*record);
    case Qt::DecorationRole: {
      if (column != kTopicColumn || record == nullptr) return {};
      const int image = NodeImageIndex(*record);
      return image >= 0 && image < kImageCount ? Images()[static_cast<std::size_t>(image)] : QIcon();
    }
    case ImageIndexRole:
      return record == nullptr ? QVariant() : QVariant(NodeImageIndex(*record));
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
