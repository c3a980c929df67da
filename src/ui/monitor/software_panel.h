#pragma once

// The software list on the main window: every registered product with its version, status,
// dates and last check result, the buttons "Check for updates" and "Display update log", and
// the wait window of the monitor's runs. It owns the monitor and its network access for the
// run; the work itself is the monitor's.

#include <QList>
#include <QWidget>
#include <memory>

#include "monitor/software_monitor.h"

class QAction;
class QNetworkAccessManager;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvo {

class Session;
class TformUpdateWait;
class ViewerRegistry;

// The monitor's settings for this run of the program, from the session's folders and settings.
MonitorSettings MonitorSettingsFor(const Session& session);

class TSoftwarePanel : public QWidget {
  Q_OBJECT

 public:
  explicit TSoftwarePanel(QWidget* parent = nullptr);
  ~TSoftwarePanel() override;

  // Creates the monitor, reads its register and fills the list. What the monitor cannot
  // write to its own log (and a register it cannot read) goes to `report`.
  void start(MonitorSettings settings, ViewerRegistry& viewers,
             std::function<void(const std::string&)> report = {});
  // The first run, shortly after start-up.
  void runAtStart();
  // The program is closing: a run stops between steps.
  void closeDown();

  void FillSoftwareList();
  void buttonCheckVersionClick();
  void buttonUpdateLogClick();
  void listSoftwareDblClick(QTreeWidgetItem* item);

  // "Check for updates" and "Display update log" for a menu.
  [[nodiscard]] QList<QAction*> menuActions() const { return menuActions_; }
  [[nodiscard]] SoftwareMonitor* monitor() { return monitor_.get(); }

 private:
  void connectMonitor();
  void endProgramForUpdate();

  std::unique_ptr<QNetworkAccessManager> network_;
  std::unique_ptr<SoftwareMonitor> monitor_;
  ViewerRegistry* viewers_ = nullptr;
  QTreeWidget* listSoftware_;
  QPushButton* buttonCheckVersion_;
  QPushButton* buttonUpdateLog_;
  TformUpdateWait* wait_ = nullptr;
  QList<QAction*> menuActions_;
};

}  // namespace tarvo
