#include "ui/viewer/find_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
  setObjectName("barFind");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  editFind_ = new QLineEdit(this);
  editFind_->setObjectName("editFind");
  editFind_->setPlaceholderText("Find");
  editFind_->setClearButtonEnabled(true);
  checkRegularExpression_ = new QCheckBox("Regular expression", this);
  checkRegularExpression_->setObjectName("checkRegularExpression");
  checkMatchCase_ = new QCheckBox("Match case", this);
  checkMatchCase_->setObjectName("checkMatchCase");
  comboColumn_ = new QComboBox(this);
  comboColumn_->setObjectName("comboFindColumn");
  comboColumn_->hide();
  buttonPrevious_ = new QPushButton("Previous", this);
  buttonPrevious_->setObjectName("buttonFindPrevious");
  buttonNext_ = new QPushButton("Next", this);
  buttonNext_->setObjectName("buttonFindNext");
  editFilter_ = new QLineEdit(this);
  editFilter_->setObjectName("editFilter");
  editFilter_->setPlaceholderText("Filter");
  editFilter_->setClearButtonEnabled(true);
  labelFound_ = new QLabel(this);
  labelFound_->setObjectName("labelFound");
  layout->addWidget(editFind_, 2);
  layout->addWidget(checkRegularExpression_);
  layout->addWidget(checkMatchCase_);
  layout->addWidget(comboColumn_);
  layout->addWidget(buttonPrevious_);
  layout->addWidget(buttonNext_);
  layout->addWidget(editFilter_, 2);
  layout->addWidget(labelFound_);

  connect(editFind_, &QLineEdit::returnPressed, this, &FindBar::findChanged);
  connect(buttonNext_, &QPushButton::clicked, this, &FindBar::findNext);
  connect(buttonPrevious_, &QPushButton::clicked, this, &FindBar::findPrevious);
  connect(editFilter_, &QLineEdit::returnPressed, this, &FindBar::filterChanged);
  // Clearing the filter box (its clear button or the last character) shows the whole file.
  connect(editFilter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (text.isEmpty()) emit filterChanged();
  });
  for (QCheckBox* option : {checkRegularExpression_, checkMatchCase_}) {
    connect(option, &QCheckBox::toggled, this, [this] {
      if (!editFind_->text().isEmpty()) emit findChanged();
      if (!editFilter_->text().isEmpty()) emit filterChanged();
    });
  }
  connect(comboColumn_, &QComboBox::currentIndexChanged, this, [this] {
    if (!editFind_->text().isEmpty()) emit findChanged();
    if (!editFilter_->text().isEmpty()) emit filterChanged();
  });
}

void FindBar::setColumns(const QStringList& headings) {
  QSignalBlocker quiet(comboColumn_);
  comboColumn_->clear();
  comboColumn_->addItem("All columns");
  comboColumn_->addItems(headings);
  comboColumn_->setVisible(!headings.isEmpty());
}

void FindBar::openForFind() {
  show();
  editFind_->setFocus();
  editFind_->selectAll();
}

void FindBar::showResult(const QString& text) { labelFound_->setText(text); }

TextQuery FindBar::queryFor(const QString& text) const {
  TextQuery query;
  query.pattern = text.toStdString();
  query.regularExpression = checkRegularExpression_->isChecked();
  query.matchCase = checkMatchCase_->isChecked();
  query.column = !comboColumn_->isHidden() ? comboColumn_->currentIndex() - 1 : -1;
  return query;
}

TextQuery FindBar::findQuery() const { return queryFor(editFind_->text()); }

std::optional<TextQuery> FindBar::filterQuery() const {
  if (editFilter_->text().isEmpty()) return std::nullopt;
  return queryFor(editFilter_->text());
}

}  // namespace tarvo
