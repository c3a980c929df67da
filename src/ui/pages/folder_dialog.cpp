#include "ui/pages/folder_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStorageInfo>

namespace tarvo {

namespace {

const QString kUp = "..";

// Names that cannot be made here, or would not survive on a shared folder read from elsewhere.
bool ValidFolderName(const QString& name) {
  static const QString refused = "/\\:*?\"<>|";
  if (name.trimmed().isEmpty() || name == "." || name == kUp) return false;
  return std::none_of(name.begin(), name.end(), [](QChar c) { return refused.contains(c) || c.unicode() < 32; });
}

}  // namespace

TSelectFolder::TSelectFolder(const QString& suggestedName, const QString& startFolder, QWidget* parent)
    : QDialog(parent), suggested_(suggestedName) {
  setObjectName("SelectFolder");
  setWindowTitle("Choose a folder or create a new folder");
  warn = [this](const QString& text) { QMessageBox::warning(this, "Fenwyk warning", text); };

  DriveComboBox1_ = new QComboBox(this);
  DriveComboBox1_->setObjectName("DriveComboBox1");
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) DriveComboBox1_->addItem(volume.rootPath());
  }
  if (DriveComboBox1_->findText(QDir::homePath()) < 0) DriveComboBox1_->addItem(QDir::homePath());
  DirectoryListBox1_ = new QListWidget(this);
  DirectoryListBox1_->setObjectName("DirectoryListBox1");
  DirectoryListBox1_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* create = new QAction("&Create new sub-folder", DirectoryListBox1_);
  DirectoryListBox1_->addAction(create);
  FileListBox1_ = new QListWidget(this);
  FileListBox1_->setObjectName("FileListBox1");
  FileListBox1_->setEnabled(false);
  editNewProjPath_ = new QLineEdit(this);
  editNewProjPath_->setObjectName("editNewProjPath");
  editNewSubFolder_ = new QLineEdit(suggestedName, this);
  editNewSubFolder_->setObjectName("editNewSubFolder");
  auto* button1 = new QPushButton("Create subfolder", this);
  button1->setObjectName("Button1");
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("buttonOK");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("buttonCancel");

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Drives:", this), 0, 0);
  grid->addWidget(DriveComboBox1_, 0, 1, 1, 2);
  grid->addWidget(new QLabel("Folder list:", this), 1, 0);
  grid->addWidget(new QLabel("Files in this folder:", this), 1, 1);
  grid->addWidget(DirectoryListBox1_, 2, 0);
  grid->addWidget(FileListBox1_, 2, 1, 1, 2);
  grid->addWidget(new QLabel("Folder name:", this), 3, 0);
  grid->addWidget(editNewProjPath_, 3, 1, 1, 2);
  grid->addWidget(new QLabel("New sub-folder name:", this), 4, 0);
  grid->addWidget(editNewSubFolder_, 4, 1);
  grid->addWidget(button1, 4, 2);
  grid->addWidget(ok, 5, 1);
  grid->addWidget(cancel, 5, 2);

  connect(DriveComboBox1_, &QComboBox::textActivated, this, &TSelectFolder::openFolder);
  connect(DirectoryListBox1_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { directoryClick(item->text()); });
  connect(create, &QAction::triggered, this, [this] {
    editNewSubFolder_->setText(suggested_);
    editNewSubFolder_->setFocus();
  });
  connect(button1, &QPushButton::clicked, this, &TSelectFolder::createSubfolder);
  connect(ok, &QPushButton::clicked, this, [this] {
    result_ = editNewProjPath_->text();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    result_.clear();
    reject();
  });
  openFolder(QDir(startFolder).exists() && !startFolder.isEmpty() ? startFolder : QDir::rootPath());
}

void TSelectFolder::openFolder(const QString& folder) {
  current_ = QDir::cleanPath(QDir(folder).absolutePath());
  editNewProjPath_->setText(current_);
  fillLists();
}

void TSelectFolder::fillLists() {
  DirectoryListBox1_->clear();
  FileListBox1_->clear();
  const QDir folder(current_);
  if (!folder.isRoot()) DirectoryListBox1_->addItem(kUp);
  DirectoryListBox1_->addItems(folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
  FileListBox1_->addItems(folder.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void TSelectFolder::directoryClick(const QString& name) {
  openFolder(name == kUp ? QFileInfo(current_).path() : QDir(current_).filePath(name));
}

void TSelectFolder::createSubfolder() {
  const QString name = editNewSubFolder_->text();
  if (name.isEmpty()) return;
  const QString path = QDir(current_).filePath(name);
  if (!ValidFolderName(name) || !QDir().mkpath(path)) {
    warn("The folder name is invalid and cannot be created.");
    editNewSubFolder_->setFocus();
    return;
  }
  editNewSubFolder_->clear();
  openFolder(path);
}

}  // namespace tarvo
