#include "ui/main/topic_type_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "structure/topic_record.h"
#include "ui/main/topic_tree_model.h"

namespace tarvo {

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  // Like a button: a press dragged off the caption before release picks nothing.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
}

TformTopicSelect::TformTopicSelect(int currentType, QWidget* parent) : QDialog(parent) {
  setObjectName("formTopicSelect");
  setWindowTitle("Select topic type");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Choose one of these  topic types:", this));

  // Created top to bottom, so Tab walks the options in the order they are shown.
  auto* grid = new QGridLayout();
  options_ = {addOption(grid, "Things", "Things to do", kTask),
              addOption(grid, "Info", "Information", kNotesTopic),
              addOption(grid, "Ideas", "Ideas", kIdeaTopic),
              addOption(grid, "Money", "Finances", kFinanceTopic)};
  layout->addLayout(grid);

  layout->addLayout(buttonRow());
  connect(this, &QDialog::rejected, this, [this] { chosenType_ = -1; });  // Escape too
  markChosen(currentType);
}

TformTopicSelect::Option TformTopicSelect::addOption(QGridLayout* grid, const QString& name,
                                                     const QString& caption, int type) {
  auto* button = new QToolButton(this);
  button->setObjectName("button" + name);
  button->setIcon(TopicTreeModel::Images()[static_cast<std::size_t>(type)]);
  button->setFocusPolicy(Qt::StrongFocus);
  button->setAccessibleName(caption);
  auto* label = new TClickLabel(caption, this);
  label->setObjectName("label" + name);
  const int row = grid->rowCount();
  grid->addWidget(button, row, 0);
  grid->addWidget(label, row, 1);
  connect(button, &QToolButton::clicked, this, [this, type] { markChosen(type); });
  connect(label, &TClickLabel::clicked, this, [this, type] { markChosen(type); });
  return {label, type};
}

QHBoxLayout* TformTopicSelect::buttonRow() {
  auto* buttons = new QHBoxLayout();
  auto* buttonOK = new QPushButton("OK", this);
  buttonOK->setObjectName("buttonOK");
  buttonOK->setDefault(true);  // Enter confirms unless the focus is on Cancel
  auto* buttonCancel = new QPushButton("Cancel", this);
  buttonCancel->setObjectName("buttonCancel");
  buttons->addStretch();
  buttons->addWidget(buttonOK);
  buttons->addWidget(buttonCancel);
  connect(buttonOK, &QPushButton::clicked, this, &TformTopicSelect::buttonOKClick);
  connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
  return buttons;
}

// The bold caption is the choice: any other type (general, event) leaves all four regular.
void TformTopicSelect::markChosen(int type) {
  for (const Option& option : options_) {
    QFont font = option.label->font();
    font.setBold(option.type == type);
    option.label->setFont(font);
  }
}

// Reads the choice back from the captions, so what OK returns is what the user sees.
void TformTopicSelect::buttonOKClick() {
  chosenType_ = -1;
  for (const Option& option : options_) {
    if (option.label->font().bold()) {
      chosenType_ = option.type;
      break;
    }
  }
  accept();
}

int TformTopicSelect::Choose(int currentType, QWidget* parent) {
  TformTopicSelect dialog(currentType, parent);
  dialog.exec();
  return dialog.chosenType();
}

}  // namespace tarvo
