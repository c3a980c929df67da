#pragma once

// "Topic options": the modal dialog that edits one topic's name, deadline, recurrence, event
// duration, early-urgency warning, priority and progress. It shows TopicOptions and gives them
// back; reading and applying them is the workspace's (topic_options.h).

#include <QDialog>

#include "workspace/topic_options.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;

namespace tarvo {

class TformProgress : public QDialog {
  Q_OBJECT

 public:
  // `record` as it is (with its percentage made consistent), whether its node has children and
  // sub-tasks, and the user's date order for the date fields.
  TformProgress(const TopicRecord& record, bool hasChildren, bool hasSubTasks, int dateOrder,
                QWidget* parent = nullptr);

  // The values as the controls hold them (what OK confirms).
  [[nodiscard]] TopicOptions options() const;

 private:
  void buildInformation(const TopicRecord& record, bool hasChildren, int dateOrder);
  void buildTaskPanel(int dateOrder);
  void showOptions(const TopicOptions& options);
  // Enables, shows and words the controls as the choices made so far ask for.
  void refreshLayout();
  void radioRecurClick();
  // The period lists read "Day" while their number is exactly "1", "Days" otherwise.
  static void wordPeriods(QComboBox* periods, const QString& number);

  bool isTask_;
  bool isEvent_;
  bool showTaskPanel_;
  bool hasSubTasks_;
  bool finished_;
  QLineEdit* editTopicName_ = nullptr;
  QWidget* panelTask_ = nullptr;
  QLabel* labelType_ = nullptr;
  QLabel* labelPriority_ = nullptr;
  QComboBox* comboPriority_ = nullptr;
  QLabel* labelPercent_ = nullptr;
  QComboBox* comboPercent_ = nullptr;
  QCheckBox* checkCalcProgress_ = nullptr;
  QCheckBox* checkAutoComplete_ = nullptr;
  QLineEdit* editFlagNo_ = nullptr;
  QRadioButton* radioOneOff_ = nullptr;
  QRadioButton* radioRecur_ = nullptr;
  QGroupBox* panelOneOff_ = nullptr;
  QCheckBox* checkDeadLine_ = nullptr;
  QDateEdit* pickerDeadDate_ = nullptr;
  QTimeEdit* pickerDeadTime_ = nullptr;
  QCheckBox* checkDeadTime_ = nullptr;
  QGroupBox* panelRecur_ = nullptr;
  QLabel* labelRecur_ = nullptr;
  QLineEdit* editRecurNo_ = nullptr;
  QComboBox* comboRecurPeriod_ = nullptr;
  QDateEdit* pickerRecurDate_ = nullptr;
  QTimeEdit* pickerRecurTime_ = nullptr;
  QCheckBox* checkRecurTime_ = nullptr;
  QLabel* labelDuration_ = nullptr;
  QLineEdit* editDurationNo_ = nullptr;
  QComboBox* comboDurationPeriod_ = nullptr;
};

}  // namespace tarvo
