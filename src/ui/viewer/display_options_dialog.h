#pragma once

#include <QDialog>

#include "viewer/display_options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvo {

// "File Display Options": edits a display format in place. OK and Cancel set the format's
// reloadNeeded, columnsChanged and sortOptionChanged flags for the viewer to act on.
class TformFileDisplayOptions : public QDialog {
  Q_OBJECT

 public:
  explicit TformFileDisplayOptions(DisplayFormat& format, QWidget* parent = nullptr);

 private:
  void showChoices();
  void readChoices();
  void applyRules();
  void fillColumnList();
  void comboFontChange();
  void buttonSelectFileClick();
  void columnDoubleClick(QTreeWidgetItem* item);
  void buttonResetColumnsClick();
  void buttonCloseClick();
  void buttonCancelClick();

  DisplayFormat& format_;
  DisplayChoices choices_;
  std::vector<ColumnRow> rows_;

  QComboBox* comboFont_;
  QCheckBox* checkOptionEnd_;
  QCheckBox* checkOptionColumns_;
  QCheckBox* checkOptionsHeadings_;
  QCheckBox* checkHeadingsFromFile_;
  QLineEdit* editHeadingsFile_;
  QPushButton* buttonSelectFile_;
  QCheckBox* checkRotated_;
  QCheckBox* checkOptionsSort_;
  QCheckBox* checkShowTemplate_;
  QCheckBox* checkDoubledQuotes_;
  QTreeWidget* listView1_;
  QPushButton* buttonResetColumns_;
};

}  // namespace tarvo
