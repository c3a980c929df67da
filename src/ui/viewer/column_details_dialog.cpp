#include "ui/viewer/column_details_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvo {
namespace {

constexpr std::array<const char*, 6> kTypeCaptions = {
    "text",
    "number",
    "date - dd/mm/yy or dd/mm/yyyy",
    "date - mm/dd/yy or mm/dd/yyyy",
    "date - yy/mm/dd or yyyy/mm/dd",
    "date - yyyymmdd",
};

}  // namespace

TFileDisplayColumnForm::TFileDisplayColumnForm(const std::string& heading, const std::string& type,
                                               const std::string& display, QWidget* parent)
    : QDialog(parent), heading_(heading), type_(type), display_(display) {
  setObjectName("FileDisplayColumnForm");
  setWindowTitle("File Display - Column Details");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Column heading text", this));
  editHeadingText_ = new QLineEdit(QString::fromStdString(heading), this);
  editHeadingText_->setObjectName("editHeadingText");
  layout->addWidget(editHeadingText_);

  auto* types = new QGroupBox(" Data type for sorting ", this);
  auto* typeLayout = new QVBoxLayout(types);
  for (std::size_t i = 0; i < kTypeWords.size(); ++i) {
    typeButtons_[i] = new QRadioButton(kTypeCaptions[i], types);
    typeButtons_[i]->setObjectName(QString("radioType_") + kTypeWords[i]);
    typeButtons_[i]->setChecked(type == kTypeWords[i]);
    typeLayout->addWidget(typeButtons_[i]);
  }
  layout->addWidget(types);

  auto* displays = new QGroupBox(" Column Display ", this);
  auto* displayLayout = new QVBoxLayout(displays);
  radioVisible_ = new QRadioButton("visible", displays);
  radioVisible_->setObjectName("radioVisible");
  radioHidden_ = new QRadioButton("hidden", displays);
  radioHidden_->setObjectName("radioHidden");
  radioVisible_->setChecked(display == "visible");
  radioHidden_->setChecked(display == "hidden");
  displayLayout->addWidget(radioVisible_);
  displayLayout->addWidget(radioHidden_);
  layout->addWidget(displays);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("buttonOk");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("buttonCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &TFileDisplayColumnForm::buttonOkClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TFileDisplayColumnForm::buttonOkClick() {
  heading_ = editHeadingText_->text().toStdString();
  for (std::size_t i = 0; i < kTypeWords.size(); ++i) {
    if (typeButtons_[i]->isChecked()) {
      type_ = kTypeWords[i];
      break;
    }
  }
  if (radioVisible_->isChecked()) display_ = "visible";
  if (radioHidden_->isChecked()) display_ = "hidden";
  accept();
}

}  // namespace tarvo
