#include "ui/viewer/display_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/viewer/column_details_dialog.h"

namespace tarvo {
namespace {

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

}  // namespace

TformFileDisplayOptions::TformFileDisplayOptions(DisplayFormat& format, QWidget* parent)
    : QDialog(parent), format_(format), choices_(DisplayChoices::Of(format)) {
  setObjectName("formFileDisplayOptions");
  setWindowTitle("File Display Options");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      "These options enable you to customise the way this file is displayed whenever you look at it",
      this));

  auto* sizeRow = new QHBoxLayout();
  sizeRow->addWidget(new QLabel("Text size:", this));
  comboFont_ = new QComboBox(this);
  comboFont_->setObjectName("comboFont");
  comboFont_->addItems({"6", "8", "9", "10", "11", "12", "13", "14"});
  sizeRow->addWidget(comboFont_);
  sizeRow->addStretch();
  layout->addLayout(sizeRow);

  checkOptionEnd_ = Check(this, "checkOptionEnd", "Always open the file at the end ");
  checkOptionColumns_ = Check(this, "checkOptionColumns", "The file has columns");
  checkOptionsHeadings_ = Check(this, "checkOptionsHeadings", "Column headings are in the first line");
  checkHeadingsFromFile_ = Check(this, "checkHeadingsFromFile", "Get column headings from a file:");
  editHeadingsFile_ = new QLineEdit(this);
  editHeadingsFile_->setObjectName("editHeadingsFile");
  buttonSelectFile_ = new QPushButton("Select file", this);
  buttonSelectFile_->setObjectName("buttonSelectFile");
  checkRotated_ = Check(this, "checkRotated", "Show table rotated");
  checkOptionsSort_ = Check(this, "checkOptionsSort", "Always open the file sorted by this column");
  checkShowTemplate_ = Check(this, "checkShowTemplate", "Show template fields");
  checkDoubledQuotes_ = Check(this, "checkDoubledQuotes", "Fields use doubled quotes");
  checkDoubledQuotes_->setToolTip("\"O\"\"Brien, Pat\" is the one field O\"Brien, Pat");
  for (QCheckBox* box : {checkOptionEnd_, checkOptionColumns_, checkOptionsHeadings_}) {
    layout->addWidget(box);
  }
  auto* headingRow = new QHBoxLayout();
  headingRow->addWidget(checkHeadingsFromFile_);
  headingRow->addWidget(editHeadingsFile_, 1);
  headingRow->addWidget(buttonSelectFile_);
  layout->addLayout(headingRow);
  for (QCheckBox* box : {checkRotated_, checkOptionsSort_, checkShowTemplate_, checkDoubledQuotes_}) {
    layout->addWidget(box);
  }

  layout->addWidget(new QLabel("Column Details", this));
  listView1_ = new QTreeWidget(this);
  listView1_->setObjectName("ListView1");
  listView1_->setHeaderLabels({"Heading", "Data type", "Display"});
  listView1_->setRootIsDecorated(false);
  layout->addWidget(listView1_, 1);

  auto* buttons = new QHBoxLayout();
  buttonResetColumns_ = new QPushButton("Reset column details", this);
  buttonResetColumns_->setObjectName("buttonResetColumns");
  auto* buttonClose = new QPushButton("OK", this);
  buttonClose->setObjectName("buttonClose");
  buttonClose->setDefault(true);
  auto* buttonCancel = new QPushButton("Cancel", this);
  buttonCancel->setObjectName("buttonCancel");
  buttons->addWidget(buttonResetColumns_);
  buttons->addStretch();
  buttons->addWidget(buttonClose);
  buttons->addWidget(buttonCancel);
  layout->addLayout(buttons);

  showChoices();
  rows_ = ColumnRowsOf(format_);
  fillColumnList();

  for (QCheckBox* box : {checkOptionEnd_, checkOptionColumns_, checkOptionsHeadings_,
                         checkHeadingsFromFile_, checkOptionsSort_}) {
    connect(box, &QCheckBox::clicked, this, [this] {
      readChoices();
      applyRules();
    });
  }
  connect(comboFont_, &QComboBox::currentTextChanged, this, &TformFileDisplayOptions::comboFontChange);
  connect(buttonSelectFile_, &QPushButton::clicked, this, &TformFileDisplayOptions::buttonSelectFileClick);
  connect(listView1_, &QTreeWidget::itemDoubleClicked, this, &TformFileDisplayOptions::columnDoubleClick);
  connect(buttonResetColumns_, &QPushButton::clicked, this, &TformFileDisplayOptions::buttonResetColumnsClick);
  connect(buttonClose, &QPushButton::clicked, this, &TformFileDisplayOptions::buttonCloseClick);
  connect(buttonCancel, &QPushButton::clicked, this, &TformFileDisplayOptions::buttonCancelClick);
}

void TformFileDisplayOptions::showChoices() {
  const QSignalBlocker blockCombo(comboFont_);
  const int at = comboFont_->findText(QString::number(choices_.fontSize));
  if (at >= 0) {
    comboFont_->setCurrentIndex(at);
  } else {
    // A stored size the list does not offer is shown as it is.
    comboFont_->setEditable(true);
    comboFont_->setEditText(QString::number(choices_.fontSize));
  }
  checkOptionEnd_->setChecked(choices_.openEnd);
  checkOptionColumns_->setChecked(choices_.columns);
  checkOptionsHeadings_->setChecked(choices_.headings);
  checkHeadingsFromFile_->setChecked(choices_.headingsFromFile);
  editHeadingsFile_->setText(QString::fromStdString(choices_.headingFile));
  checkRotated_->setChecked(choices_.rotated);
  checkOptionsSort_->setChecked(choices_.sorted);
  checkShowTemplate_->setChecked(choices_.showTemplate);
  checkDoubledQuotes_->setChecked(choices_.doubledQuotes);
  applyRules();
}

void TformFileDisplayOptions::readChoices() {
  choices_.openEnd = checkOptionEnd_->isChecked();
  choices_.columns = checkOptionColumns_->isChecked();
  choices_.headings = checkOptionsHeadings_->isChecked();
  choices_.headingsFromFile = checkHeadingsFromFile_->isChecked();
  choices_.headingFile = editHeadingsFile_->text().toStdString();
  choices_.rotated = checkRotated_->isChecked();
  choices_.sorted = checkOptionsSort_->isChecked();
  choices_.showTemplate = checkShowTemplate_->isChecked();
  choices_.doubledQuotes = checkDoubledQuotes_->isChecked();
}

void TformFileDisplayOptions::applyRules() {
  const DisplayEnabling enabling = ApplyDisplayRules(choices_, format_.sortActive);
  checkOptionsHeadings_->setChecked(choices_.headings);
  checkHeadingsFromFile_->setChecked(choices_.headingsFromFile);
  checkOptionsHeadings_->setEnabled(enabling.headings);
  checkHeadingsFromFile_->setEnabled(enabling.headingsFromFile);
  editHeadingsFile_->setEnabled(enabling.headingFileBox);
  buttonSelectFile_->setEnabled(enabling.headingFileBox);
  checkRotated_->setEnabled(enabling.rotated);
  checkOptionsSort_->setEnabled(enabling.sorted);
  checkShowTemplate_->setEnabled(enabling.showTemplate);
  checkDoubledQuotes_->setEnabled(enabling.doubledQuotes);
  listView1_->setEnabled(enabling.columnList);
  buttonResetColumns_->setEnabled(enabling.columnList);
}

void TformFileDisplayOptions::fillColumnList() {
  listView1_->clear();
  for (const ColumnRow& row : rows_) {
    auto* item = new QTreeWidgetItem(listView1_);
    item->setText(0, QString::fromStdString(row.heading));
    item->setText(1, QString::fromStdString(row.type));
    item->setText(2, QString::fromStdString(row.display));
  }
}

void TformFileDisplayOptions::comboFontChange() {
  bool number = false;
  const int size = comboFont_->currentText().toInt(&number);
  choices_.fontSize = number ? size : 10;
  format_.fontSize = choices_.fontSize;  // stored at once; Cancel keeps it
}

void TformFileDisplayOptions::buttonSelectFileClick() {
  const QString current = editHeadingsFile_->text();
  const QString start = current.isEmpty() ? QString("/") : current;
  const QString chosen = QFileDialog::getOpenFileName(this, "Select file", start, "All Files (*)");
  if (!chosen.isEmpty()) editHeadingsFile_->setText(chosen);
  readChoices();
}

void TformFileDisplayOptions::columnDoubleClick(QTreeWidgetItem* item) {
  const auto index = static_cast<std::size_t>(listView1_->indexOfTopLevelItem(item));
  if (index >= rows_.size()) return;
  ColumnRow& row = rows_[index];
  TFileDisplayColumnForm form(row.heading, row.type, row.display, this);
  form.exec();
  if (form.heading() == row.heading && form.type() == row.type && form.display() == row.display) {
    return;
  }
  row = {form.heading(), form.type(), form.display()};
  item->setText(0, QString::fromStdString(row.heading));
  item->setText(1, QString::fromStdString(row.type));
  item->setText(2, QString::fromStdString(row.display));
  format_.columnsChanged = true;
}

void TformFileDisplayOptions::buttonResetColumnsClick() {
  ResetColumnHeadings(format_);
  rows_ = ColumnRowsOf(format_);
  fillColumnList();
}

void TformFileDisplayOptions::buttonCloseClick() {
  readChoices();
  ConfirmDisplayChoices(format_, choices_, rows_);
  accept();
}

void TformFileDisplayOptions::buttonCancelClick() {
  CancelDisplayChoices(format_);
  reject();
}

}  // namespace tarvo
