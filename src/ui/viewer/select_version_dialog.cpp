#include "ui/viewer/select_version_dialog.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "store/file_system.h"

namespace tarvo {

TFormSelectVersion::TFormSelectVersion(const std::vector<std::string>& paths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormSelectVersion");
  setWindowTitle("File versions");
  auto* layout = new QVBoxLayout(this);
  listFiles_ = new QTreeWidget(this);
  listFiles_->setObjectName("listFiles");
  listFiles_->setHeaderLabels({"Name", "Date/time"});
  listFiles_->setRootIsDecorated(false);
  for (const std::string& path : paths) {
    const QFileInfo info(QString::fromStdString(path));
    auto* row = new QTreeWidgetItem(listFiles_);
    row->setText(0, QString::fromStdString(NameOf(path)));
    row->setText(1, info.lastModified().toString("yyyy-MM-dd HH:mm:ss"));
  }
  layout->addWidget(listFiles_);

  auto* buttons = new QHBoxLayout();
  buttonOpen_ = new QPushButton("Display", this);
  buttonOpen_->setObjectName("buttonOpen");
  buttonOpen_->setVisible(false);
  auto* buttonCancel = new QPushButton("Cancel", this);
  buttonCancel->setObjectName("buttonCancel");
  buttons->addStretch();
  buttons->addWidget(buttonOpen_);
  buttons->addWidget(buttonCancel);
  layout->addLayout(buttons);

  connect(listFiles_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    selectedIndex_ = listFiles_->indexOfTopLevelItem(item);
    buttonOpen_->setVisible(true);
  });
  connect(listFiles_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    selectedIndex_ = listFiles_->indexOfTopLevelItem(item);
    buttonOpenClick();
  });
  connect(buttonOpen_, &QPushButton::clicked, this, &TFormSelectVersion::buttonOpenClick);
  connect(buttonCancel, &QPushButton::clicked, this, &TFormSelectVersion::buttonCancelClick);
  connect(this, &QDialog::rejected, this, [this] { cancelled_ = true; });  // Escape too
}

void TFormSelectVersion::buttonOpenClick() {
  cancelled_ = false;
  accept();
}

void TFormSelectVersion::buttonCancelClick() {
  cancelled_ = true;
  reject();
}

}  // namespace tarvo
