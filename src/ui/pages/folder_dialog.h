#pragma once

// Picks an existing folder, or creates a sub-folder of the one on show and picks that.

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace tarvo {

class TSelectFolder : public QDialog {
  Q_OBJECT

 public:
  // `suggestedName` is offered for a new sub-folder; `startFolder` is shown first (the root of
  // the file system when it does not exist).
  TSelectFolder(const QString& suggestedName, const QString& startFolder, QWidget* parent = nullptr);

  // The chosen folder; empty when cancelled.
  [[nodiscard]] const QString& result() const { return result_; }
  [[nodiscard]] QString currentFolder() const { return current_; }
  void openFolder(const QString& folder);
  void createSubfolder();
  // Says why a sub-folder was not made; a message box unless a test puts its own.
  std::function<void(const QString&)> warn;

 private:
  void fillLists();
  void directoryClick(const QString& name);

  QComboBox* DriveComboBox1_;
  QListWidget* DirectoryListBox1_;
  QListWidget* FileListBox1_;
  QLineEdit* editNewProjPath_;
  QLineEdit* editNewSubFolder_;
  QString suggested_;
  QString current_;
  QString result_;
};

}  // namespace tarvo
