#include "ui/main/topic_list_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "structure/topic_record.h"
#include "ui/main/topic_tree_model.h"
#include "ui/viewer/accessible_names.h"

namespace tarvo {
namespace {

constexpr int kRowHeight = 18;
const QColor kNavy(0, 0, 128);

QString Text(const ShortText& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QTableWidgetItem* Cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setForeground(kNavy);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

TformSelection::TformSelection(const QString& title, const std::vector<const TopicRecord*>& topics, QWidget* parent)
    : QDialog(parent) {
  setObjectName("formSelection");
  setWindowTitle("Topic Selection");
  resize(560, 420);
  auto* layout = new QVBoxLayout(this);
  auto* labTitle = new QLabel(title, this);
  labTitle->setObjectName("labTitle");
  layout->addWidget(labTitle);

  grid_ = new QTableWidget(static_cast<int>(topics.size()), 3, this);
  grid_->setObjectName("StringGrid1");
  grid_->setAccessibleName(title);
  grid_->setHorizontalHeaderLabels({"Due", "Status", "Topics"});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setTabKeyNavigation(false);
  QPalette palette = grid_->palette();
  palette.setColor(QPalette::Highlight, QColor(229, 229, 229));
  palette.setColor(QPalette::HighlightedText, kNavy);
  grid_->setPalette(palette);
  for (std::size_t row = 0; row < topics.size(); ++row) {
    const TopicRecord& record = *topics[row];
    const int at = static_cast<int>(row);
    QTableWidgetItem* due = Cell(Text(record.statusText));
    if (!record.statusText.empty()) due->setBackground(QColor(static_cast<QRgb>(record.statusColour)));
    due->setTextAlignment(Qt::AlignCenter);
    grid_->setItem(at, 0, due);
    QTableWidgetItem* status = Cell({});
    const int image = NodeImageIndex(record);
    if (image >= 0 && static_cast<std::size_t>(image) < TopicTreeModel::Images().size()) {
      status->setIcon(TopicTreeModel::Images()[static_cast<std::size_t>(image)]);
    }
    if (record.isTask() && record.pri > 0) status->setText(QString("P%1").arg(int{record.pri}));
    grid_->setItem(at, 1, status);
    grid_->setItem(at, 2, Cell(Text(record.text)));
  }
  layout->addWidget(grid_, 1);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  buttonSelect_ = new QPushButton("Select topic", this);
  buttonSelect_->setObjectName("buttonSelect");
  buttonSelect_->setDefault(true);
  buttonSelect_->setEnabled(false);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("Cancel");
  buttons->addWidget(buttonSelect_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  connect(grid_, &QTableWidget::itemSelectionChanged, this,
          [this] { buttonSelect_->setEnabled(!grid_->selectedItems().isEmpty()); });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { choose(row); });
  connect(buttonSelect_, &QPushButton::clicked, this, [this] {
    if (!grid_->selectedItems().isEmpty()) choose(grid_->selectedItems().front()->row());
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // The first topic is chosen already, so Enter takes it without a click.
  if (!topics.empty()) grid_->selectRow(0);
  NameControlsForAccessibility(*this);
}

void TformSelection::choose(int row) {
  if (row < 0) return;
  chosen_ = row + 1;
  accept();
}

}  // namespace tarvo
