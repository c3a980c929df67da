#pragma once

// Draws a row of the topic tree: selecting a row changes its background only; the caption
// keeps the colour of its state (urgent red, finished green, navy) so a user sees it while it
// is selected too. The "Due" column shows the due text in a box of the deadline's colour; the
// "Status" column shows small pictures in fixed slots: pages, favourite or urgent mark, the
// task's state or progress, and its priority.

#include <QStyledItemDelegate>

namespace tarvo {

struct TopicRecord;

class TopicItemDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  static void paintDue(QPainter& painter, const QRect& cell, const TopicRecord& record);
  static void paintStatus(QPainter& painter, const QRect& cell, const TopicRecord& record, bool collapsed);
};

}  // namespace tarvo
