#include "ui/main/topic_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "base/date_text.h"
#include "structure/topic_record.h"
#include "ui/main/topic_tree_model.h"
#include "ui/viewer/accessible_names.h"

namespace tarvo {
namespace {

constexpr const char* kMidnight = "00:00:00";

const char* DatePattern(int dateOrder) {
  switch (dateOrder) {
    case kMonthFirst: return "MM'/'dd'/'yyyy";
    case kYearFirst: return "yyyy'/'MM'/'dd";
    default: return "dd'/'MM'/'yyyy";
  }
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QLineEdit* NumberField(QWidget* parent, const char* name) {
  auto* field = Named(new QLineEdit(parent), name);
  field->setMaxLength(2);
  field->setMaximumWidth(48);
  return field;
}

QComboBox* PeriodList(QWidget* parent, const char* name) {
  auto* periods = Named(new QComboBox(parent), name);
  for (int unit = 0; unit < 6; ++unit) periods->addItem(PeriodWord(unit, false));
  return periods;
}

QDateEdit* DatePicker(QWidget* parent, const char* name, int dateOrder) {
  auto* picker = Named(new QDateEdit(QDate::currentDate(), parent), name);
  picker->setDisplayFormat(DatePattern(dateOrder));
  picker->setCalendarPopup(true);
  return picker;
}

QTimeEdit* TimePicker(QWidget* parent, const char* name) {
  auto* picker = Named(new QTimeEdit(QTime(0, 0), parent), name);
  picker->setDisplayFormat("HH:mm");
  return picker;
}

// The title of the active detail group is bold, the other one regular; what is inside keeps
// the regular font.
void KeepContentsRegular(QGroupBox* group) {
  QFont regular = group->font();
  regular.setBold(false);  // set, not inherited, so the title's weight does not reach them
  for (QWidget* inside : group->findChildren<QWidget*>()) inside->setFont(regular);
}

void Emphasise(QGroupBox* group, bool active) {
  QFont font = group->font();
  font.setBold(active);
  group->setFont(font);
  group->setEnabled(active);
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TformProgress::TformProgress(const TopicRecord& record, bool hasChildren, bool hasSubTasks, int dateOrder,
                             QWidget* parent)
    : QDialog(parent),
      isTask_(record.isTask()),
      isEvent_(record.ttype == kEvent),
      showTaskPanel_((record.isTask() || record.ttype == kEvent) && !record.sys && !record.isSection()),
      hasSubTasks_(hasSubTasks),
      finished_(record.isTask() && record.status == kFinished) {
  setObjectName("formProgress");
  setWindowTitle("Topic options");
  auto* layout = new QVBoxLayout(this);
  editTopicName_ = Named(new QLineEdit(this), "editTopicName");
  editTopicName_->setAccessibleName("Name");
  layout->addWidget(editTopicName_);
  buildInformation(record, hasChildren, dateOrder);
  buildTaskPanel(dateOrder);
  layout->addWidget(panelTask_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("buttonOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("buttonCancel");
  // The program's own topics are shown, not changed.
  buttons->button(QDialogButtonBox::Ok)->setEnabled(!record.sys);
  editTopicName_->setReadOnly(record.sys);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  TopicRecord shown = record;
  MakePercentConsistent(shown, hasSubTasks);
  showOptions(OptionsOf(shown, QDate::currentDate()));
  refreshLayout();
  NameControlsForAccessibility(*this);
}

void TformProgress::buildInformation(const TopicRecord& record, bool hasChildren, int dateOrder) {
  auto* information = new QWidget(this);
  auto* grid = new QFormLayout(information);
  auto* imageType = Named(new QLabel(information), "imageType");
  const int image = NodeImageIndex(record);
  if (image >= 0 && static_cast<std::size_t>(image) < TopicTreeModel::Images().size()) {
    imageType->setPixmap(TopicTreeModel::Images()[static_cast<std::size_t>(image)].pixmap(24, 24));
  }
  grid->addRow(imageType, Named(new QLabel(Text(TopicKindText(record, hasChildren)), information), "labelTopicType"));
  QString system;
  if (record.isSection()) system = "System section";
  else if (record.sys) system = "System topic";
  if (!system.isEmpty()) grid->addRow(Named(new QLabel(system, information), "labelSystemTopic"));
  if (!record.cre.empty()) {
    grid->addRow(Named(new QLabel("Created: " + Text(DisplayStamp(record.cre, dateOrder)), information), "labelCreated"));
  }
  if (!record.sta.empty()) {
    grid->addRow(Named(new QLabel("Started: " + Text(DisplayStamp(record.sta, dateOrder)), information), "labelStarted"));
  }
  QString urgent;
  if (record.urgent) urgent = "Urgent";
  else if (record.urgentCount >= 1 && hasChildren) urgent = "Contains urgent sub-topics";
  if (!urgent.isEmpty()) {
    auto* label = Named(new QLabel(urgent, information), "labelUrgent");
    label->setStyleSheet("color: rgb(255, 0, 0)");
    grid->addRow(label);
  }
  if (!record.from.empty()) {
    grid->addRow(Named(new QLabel("Sent from: " + Text(record.from.str()), information), "labelSentBy"),
                 Named(new QLabel(Text(DisplayStamp(record.sent.str(), dateOrder)), information), "labelSentDate"));
  }
  if ((isTask_ || isEvent_) && !record.fdate.empty()) {
    QString done = Text(DisplayDate(record.fdate, dateOrder));
    if (!record.fTime.empty() && record.fTime != kMidnight) done += " " + Text(record.fTime.str());
    auto* panelLastDone = Named(new QWidget(information), "panelLastDone");
    auto* row = new QHBoxLayout(panelLastDone);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel("Last completed: ", panelLastDone));
    row->addWidget(Named(new QLabel(done, panelLastDone), "labelLastDone"));
    row->addStretch();
    grid->addRow(panelLastDone);
  }
  layout()->addWidget(information);
}

void TformProgress::buildTaskPanel(int dateOrder) {
  panelTask_ = Named(new QWidget(this), "panelTask");
  auto* task = new QVBoxLayout(panelTask_);
  task->setContentsMargins(0, 0, 0, 0);
  labelType_ = Named(new QLabel(panelTask_), "labelType");
  task->addWidget(labelType_);

  auto* numbers = new QFormLayout();
  comboPriority_ = Named(new QComboBox(panelTask_), "comboPriority");
  for (int priority = 1; priority <= 9; ++priority) comboPriority_->addItem(QString::number(priority));
  comboPercent_ = Named(new QComboBox(panelTask_), "comboPercent");
  for (int percent = 0; percent <= 100; percent += 10) comboPercent_->addItem(QString::number(percent));
  labelPriority_ = new QLabel("Priority:", panelTask_);
  labelPercent_ = new QLabel("Percentage complete:", panelTask_);
  numbers->addRow(labelPriority_, comboPriority_);
  numbers->addRow(labelPercent_, comboPercent_);
  task->addLayout(numbers);
  checkCalcProgress_ = Named(new QCheckBox("Get percentage complete from sub-tasks", panelTask_), "checkCalcProgress");
  checkAutoComplete_ = Named(new QCheckBox("Mark as complete automatically after due date/time", panelTask_),
                             "checkAutoComplete");
  task->addWidget(checkCalcProgress_);
  task->addWidget(checkAutoComplete_);

  auto* panelUrgent = Named(new QWidget(panelTask_), "panelUrgent");
  auto* urgent = new QHBoxLayout(panelUrgent);
  urgent->setContentsMargins(0, 0, 0, 0);
  editFlagNo_ = NumberField(panelUrgent, "editFlagNo");
  editFlagNo_->setAccessibleName("Flag as urgent, days before");
  urgent->addWidget(new QLabel("Flag as urgent", panelUrgent));
  urgent->addWidget(editFlagNo_);
  urgent->addWidget(new QLabel("days before", panelUrgent));
  urgent->addStretch();
  task->addWidget(panelUrgent);

  auto* kinds = new QHBoxLayout();
  radioOneOff_ = Named(new QRadioButton("One-off", panelTask_), "radioOneOff");
  radioRecur_ = Named(new QRadioButton("Recurring", panelTask_), "radioRecur");
  kinds->addWidget(radioOneOff_);
  kinds->addWidget(radioRecur_);
  kinds->addStretch();
  task->addLayout(kinds);

  panelOneOff_ = Named(new QGroupBox("One-off details", panelTask_), "panelOneOff");
  auto* oneOff = new QFormLayout(panelOneOff_);
  checkDeadLine_ = Named(new QCheckBox("Date due required", panelOneOff_), "checkDeadLine");
  pickerDeadDate_ = DatePicker(panelOneOff_, "pickerDeadDate", dateOrder);
  pickerDeadDate_->setAccessibleName("Date due");
  pickerDeadTime_ = TimePicker(panelOneOff_, "pickerDeadTime");
  pickerDeadTime_->setAccessibleName("Time due");
  checkDeadTime_ = Named(new QCheckBox("Time:", panelOneOff_), "checkDeadTime");
  oneOff->addRow(checkDeadLine_);
  oneOff->addRow("Date due:", pickerDeadDate_);
  oneOff->addRow(checkDeadTime_, pickerDeadTime_);
  task->addWidget(panelOneOff_);

  panelRecur_ = Named(new QGroupBox("Recurring details", panelTask_), "panelRecur");
  auto* recur = new QFormLayout(panelRecur_);
  labelRecur_ = Named(new QLabel(panelRecur_), "labelRecur");
  editRecurNo_ = NumberField(panelRecur_, "editRecurNo");
  editRecurNo_->setAccessibleName("Recurs every");
  comboRecurPeriod_ = PeriodList(panelRecur_, "comboRecurPeriod");
  comboRecurPeriod_->setAccessibleName("Recurrence period");
  auto* every = new QHBoxLayout();
  every->addWidget(editRecurNo_);
  every->addWidget(comboRecurPeriod_);
  recur->addRow(labelRecur_, every);
  pickerRecurDate_ = DatePicker(panelRecur_, "pickerRecurDate", dateOrder);
  pickerRecurDate_->setAccessibleName("Next date due");
  pickerRecurTime_ = TimePicker(panelRecur_, "pickerRecurTime");
  pickerRecurTime_->setAccessibleName("Next time due");
  checkRecurTime_ = Named(new QCheckBox("Time:", panelRecur_), "checkRecurTime");
  recur->addRow("Next date due:", pickerRecurDate_);
  recur->addRow(checkRecurTime_, pickerRecurTime_);
  task->addWidget(panelRecur_);

  auto* duration = new QHBoxLayout();
  labelDuration_ = Named(new QLabel("Event duration", panelTask_), "labelDuration");
  editDurationNo_ = NumberField(panelTask_, "editDurationNo");
  editDurationNo_->setAccessibleName("Event duration");
  comboDurationPeriod_ = PeriodList(panelTask_, "comboDurationPeriod");
  comboDurationPeriod_->setAccessibleName("Event duration period");
  duration->addWidget(labelDuration_);
  duration->addWidget(editDurationNo_);
  duration->addWidget(comboDurationPeriod_);
  duration->addStretch();
  task->addLayout(duration);
  KeepContentsRegular(panelOneOff_);
  KeepContentsRegular(panelRecur_);

  for (QAbstractButton* box : std::initializer_list<QAbstractButton*>{
           radioOneOff_, radioRecur_, checkDeadLine_, checkDeadTime_, checkRecurTime_, checkCalcProgress_,
           checkAutoComplete_}) {
    connect(box, &QAbstractButton::clicked, this, &TformProgress::refreshLayout);
  }
  connect(radioRecur_, &QRadioButton::clicked, this, &TformProgress::radioRecurClick);
  connect(editRecurNo_, &QLineEdit::textChanged, this, [this](const QString& number) { wordPeriods(comboRecurPeriod_, number); });
  connect(editDurationNo_, &QLineEdit::textChanged, this,
          [this](const QString& number) { wordPeriods(comboDurationPeriod_, number); });
}

void TformProgress::wordPeriods(QComboBox* periods, const QString& number) {
  const bool singular = number == "1";
  for (int unit = 0; unit < periods->count(); ++unit) periods->setItemText(unit, PeriodWord(unit, singular));
}

void TformProgress::showOptions(const TopicOptions& options) {
  editTopicName_->setText(Text(options.name));
  checkDeadLine_->setChecked(options.dueRequired);
  pickerDeadDate_->setDate(options.dueDate);
  checkDeadTime_->setChecked(options.dueTime.has_value());
  if (options.dueTime) pickerDeadTime_->setTime(*options.dueTime);
  (options.recurring ? radioRecur_ : radioOneOff_)->setChecked(true);
  editRecurNo_->setText(Text(options.recurNumber));
  comboRecurPeriod_->setCurrentIndex(options.recurUnit);
  pickerRecurDate_->setDate(options.recurDate);
  checkRecurTime_->setChecked(options.recurTime.has_value());
  if (options.recurTime) pickerRecurTime_->setTime(*options.recurTime);
  editDurationNo_->setText(Text(options.durationNumber));
  comboDurationPeriod_->setCurrentIndex(options.durationUnit);
  editFlagNo_->setText(Text(options.flagDays));
  comboPriority_->setCurrentIndex(options.priority - 1);  // -1: none chosen
  checkAutoComplete_->setChecked(options.autoComplete);
  checkCalcProgress_->setChecked(options.progressFromSubTasks);
  comboPercent_->setCurrentIndex(options.percent < 0 ? -1 : options.percent / 10);
}

TopicOptions TformProgress::options() const {
  TopicOptions options;
  options.name = editTopicName_->text().trimmed().toStdString();
  options.recurring = radioRecur_->isChecked();
  options.dueRequired = checkDeadLine_->isChecked();
  options.dueDate = pickerDeadDate_->date();
  if (checkDeadTime_->isChecked()) options.dueTime = pickerDeadTime_->time();
  options.recurNumber = editRecurNo_->text().toStdString();
  options.recurUnit = comboRecurPeriod_->currentIndex();
  options.recurDate = pickerRecurDate_->date();
  if (checkRecurTime_->isChecked()) options.recurTime = pickerRecurTime_->time();
  options.durationNumber = editDurationNo_->text().toStdString();
  options.durationUnit = comboDurationPeriod_->currentIndex();
  options.flagDays = editFlagNo_->text().toStdString();
  options.autoComplete = checkAutoComplete_->isChecked();
  options.progressFromSubTasks = checkCalcProgress_->isChecked();
  options.priority = comboPriority_->currentIndex() + 1;
  options.percent = comboPercent_->currentIndex() < 0 ? -1 : comboPercent_->currentIndex() * 10;
  return options;
}

void TformProgress::refreshLayout() {
  panelTask_->setVisible(showTaskPanel_);
  labelType_->setText(isEvent_ ? "Choose type of event" : "Choose type of task");
  labelRecur_->setText(isEvent_ ? "Event recurs every:" : "Task recurs every:");
  for (QWidget* taskOnly : std::initializer_list<QWidget*>{labelPriority_, comboPriority_, labelPercent_, comboPercent_,
                                                           checkCalcProgress_}) {
    taskOnly->setVisible(!isEvent_);
  }
  for (QWidget* eventOnly : std::initializer_list<QWidget*>{labelDuration_, editDurationNo_, comboDurationPeriod_}) {
    eventOnly->setVisible(isEvent_);
  }
  const bool oneOff = radioOneOff_->isChecked();
  Emphasise(panelOneOff_, oneOff);
  Emphasise(panelRecur_, !oneOff);
  const bool due = checkDeadLine_->isChecked();
  pickerDeadDate_->setEnabled(due);
  checkDeadTime_->setEnabled(due);
  pickerDeadTime_->setEnabled(due && checkDeadTime_->isChecked());
  pickerRecurTime_->setEnabled(checkRecurTime_->isChecked());
  checkAutoComplete_->setEnabled(oneOff ? due : true);
  editFlagNo_->setEnabled((oneOff && due) || !oneOff);
  checkCalcProgress_->setEnabled(hasSubTasks_);
  comboPercent_->setEnabled(!(hasSubTasks_ && checkCalcProgress_->isChecked()) && !finished_);
}

// A one-off date still ahead becomes the first date of the recurrence.
void TformProgress::radioRecurClick() {
  const QDate today = QDate::currentDate();
  if (pickerDeadDate_->date() > today && pickerRecurDate_->date() <= today) {
    pickerRecurDate_->setDate(pickerDeadDate_->date());
    pickerRecurTime_->setTime(pickerDeadTime_->time());
    checkRecurTime_->setChecked(checkDeadTime_->isChecked());
  }
  refreshLayout();
}

}  // namespace tarvo
