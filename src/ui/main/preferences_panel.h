#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tarvo {

class Session;

// The preferences shown for the topic of the settings section: date order, sound effects,
// the summary at start-up and the notes font. Each change is stored at once.
class TPreferencesPanel : public QWidget {
  Q_OBJECT

 public:
  TPreferencesPanel(Session& session, QWidget* parent = nullptr);

  // Shows the stored values.
  void showPreferences();

 signals:
  void dateFormatChanged();

 private:
  void radioDDMMYYClick();
  void checksSoundfxClick();
  void checkSummaryClick();
  void buttonNormalFontClick();

  Session& session_;
  QRadioButton* radioDDMMYY_;
  QRadioButton* radioMMDDYY_;
  QRadioButton* radioYYMMDD_;
  QCheckBox* checksSoundfx_;
  QCheckBox* checkSummary_;
  QPushButton* buttonNormalFont_;
};

}  // namespace tarvo
