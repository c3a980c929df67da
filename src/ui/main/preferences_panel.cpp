#include "ui/main/preferences_panel.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "workspace/session.h"
#include "base/date_text.h"

namespace tarvo {

TPreferencesPanel::TPreferencesPanel(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("panelPreferences");
  auto* layout = new QVBoxLayout(this);
  auto* dates = new QGroupBox("Date format", this);
  auto* dateLayout = new QVBoxLayout(dates);
  radioDDMMYY_ = new QRadioButton("dd/mm/yyyy", dates);
  radioMMDDYY_ = new QRadioButton("mm/dd/yyyy", dates);
  radioYYMMDD_ = new QRadioButton("yyyy/mm/dd", dates);
  radioDDMMYY_->setObjectName("radioDDMMYY");
  radioMMDDYY_->setObjectName("radioMMDDYY");
  radioYYMMDD_->setObjectName("radioYYMMDD");
  for (QRadioButton* radio : {radioDDMMYY_, radioMMDDYY_, radioYYMMDD_}) {
    dateLayout->addWidget(radio);
    connect(radio, &QRadioButton::clicked, this, &TPreferencesPanel::radioDDMMYYClick);
  }
  layout->addWidget(dates);

  checksSoundfx_ = new QCheckBox("Sound effects on", this);
  checksSoundfx_->setObjectName("checksSoundfx");
  connect(checksSoundfx_, &QCheckBox::clicked, this, &TPreferencesPanel::checksSoundfxClick);
  checkSummary_ = new QCheckBox("Show summary at start up", this);
  checkSummary_->setObjectName("checkSummary");
  connect(checkSummary_, &QCheckBox::clicked, this, &TPreferencesPanel::checkSummaryClick);
  buttonNormalFont_ = new QPushButton("Change details page normal font settings", this);
  buttonNormalFont_->setObjectName("buttonNormalFont");
  connect(buttonNormalFont_, &QPushButton::clicked, this, &TPreferencesPanel::buttonNormalFontClick);
  layout->addWidget(checksSoundfx_);
  layout->addWidget(checkSummary_);
  layout->addWidget(buttonNormalFont_, 0, Qt::AlignLeft);
  layout->addStretch();
  showPreferences();
}

void TPreferencesPanel::showPreferences() {
  const Preferences& preferences = session_.preferences;
  QRadioButton* checked = preferences.dateFormat == kMonthFirst ? radioMMDDYY_
                          : preferences.dateFormat == kDayFirst ? radioDDMMYY_
                                                                : radioYYMMDD_;
  checked->setChecked(true);
  checksSoundfx_->setChecked(preferences.soundEffects);
  checkSummary_->setChecked(preferences.showSummary);
}

void TPreferencesPanel::radioDDMMYYClick() {
  const int format = radioDDMMYY_->isChecked() ? kDayFirst
                     : radioMMDDYY_->isChecked() ? kMonthFirst
                                                 : kYearFirst;
  if (format == session_.preferences.dateFormat) return;
  session_.setDateFormat(format);
  emit dateFormatChanged();
}

void TPreferencesPanel::checksSoundfxClick() { session_.setSoundEffects(checksSoundfx_->isChecked()); }

void TPreferencesPanel::checkSummaryClick() { session_.setShowSummary(checkSummary_->isChecked()); }

void TPreferencesPanel::buttonNormalFontClick() {
  const Preferences& preferences = session_.preferences;
  QFont current(QString::fromStdString(preferences.fontName), preferences.fontSize);
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, current, this, "Details page normal font");
  if (!chosen) return;
  session_.setNotesFont(font.family().toStdString(), font.pointSize(), preferences.fontColour,
                        preferences.fontCharset);
}

}  // namespace tarvo
