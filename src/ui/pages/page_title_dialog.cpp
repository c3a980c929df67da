#include "ui/pages/page_title_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

TformTitle::TformTitle(const QString& title, QWidget* parent) : QDialog(parent) {
  setObjectName("formTitle");
  setWindowTitle("Page title");
  editTitle_ = new QLineEdit(title, this);
  editTitle_->setObjectName("editTitle");
  editTitle_->selectAll();
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("buttonOK");
  ok->setDefault(true);  // Enter in the field acts as OK
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Type in a new title for this page and click OK", this));
  layout->addWidget(editTitle_);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

QString TformTitle::title() const { return editTitle_->text().trimmed(); }

}  // namespace tarvo
