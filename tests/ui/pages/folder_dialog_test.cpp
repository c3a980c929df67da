#include "ui/pages/folder_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

TEST(FolderDialog, CreatesAndPicksASubFolderRefusesBadNamesAndCancelGivesNothing) {
  test::TempFolder root;
  test::WriteBytes(root.file("notes.txt"), "x");
  TSelectFolder dialog("LANTarvo", QString::fromStdString(root.path()));
  QStringList warnings;
  dialog.warn = [&warnings](const QString& text) { warnings << text; };
  auto* files = dialog.findChild<QListWidget*>("FileListBox1");
  EXPECT_FALSE(files->isEnabled());
  EXPECT_EQ(files->count(), 1) << "the files are shown for information";
  EXPECT_EQ(dialog.findChild<QLineEdit*>("editNewSubFolder")->text(), "LANTarvo");

  dialog.findChild<QPushButton*>("Button1")->click();
  const QString made = QString::fromStdString(root.file("LANTarvo"));
  EXPECT_TRUE(QFileInfo(made).isDir());
  EXPECT_EQ(dialog.currentFolder(), made) << "the new folder is opened";
  EXPECT_EQ(dialog.findChild<QLineEdit*>("editNewSubFolder")->text(), "");
  EXPECT_TRUE(warnings.isEmpty());

  auto* folders = dialog.findChild<QListWidget*>("DirectoryListBox1");
  dialog.findChild<QLineEdit*>("editNewSubFolder")->setText("a:b?");
  dialog.createSubfolder();
  EXPECT_EQ(warnings, QStringList{"The folder name is invalid and cannot be created."});
  EXPECT_EQ(folders->count(), 1) << "only the way up: nothing was made";
  EXPECT_EQ(dialog.currentFolder(), made);

  QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualItemRect(folders->item(0)).center());
  EXPECT_EQ(dialog.currentFolder(), QString::fromStdString(root.path())) << "\"..\" goes up";
  dialog.openFolder(made);
  dialog.findChild<QPushButton*>("buttonOK")->click();
  EXPECT_EQ(dialog.result(), made);

  TSelectFolder cancelled("LANTarvo", "/no/such/folder");
  EXPECT_EQ(cancelled.currentFolder(), "/") << "a start folder that is gone shows the root";
  cancelled.findChild<QPushButton*>("buttonCancel")->click();
  EXPECT_TRUE(cancelled.result().isEmpty());
}

}  // namespace
}  // namespace tarvo
