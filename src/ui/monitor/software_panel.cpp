#include "ui/monitor/software_panel.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/date_text.h"
#include "store/file_system.h"
#include "ui/monitor/update_wait_window.h"
#include "ui/viewer/text_display_window.h"
#include "workspace/session.h"

namespace tarvo {

MonitorSettings MonitorSettingsFor(const Session& session) {
  MonitorSettings settings;
  settings.dataFolder = session.folders.data + "/";
  // The helpers an update's script runs are installed beside the program.
  settings.programFolder = QCoreApplication::applicationDirPath().toStdString() + "/";
  settings.executablePath = QCoreApplication::applicationFilePath().toStdString();
  settings.executableName = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
  settings.programTitle = kProductName;
  settings.dateOrder = session.preferences.dateFormat;
  settings.firstRunAfterInstall = session.install.freshInstallation;
  return settings;
}

TSoftwarePanel::TSoftwarePanel(QWidget* parent) : QWidget(parent) {
  setObjectName("panelSoftware");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  listSoftware_ = new QTreeWidget(this);
  listSoftware_->setObjectName("listSoftware");
  listSoftware_->setAccessibleName("Installed software");
  listSoftware_->setToolTip("Double-click a line for more details about the version");
  listSoftware_->setHeaderLabels({"Software", "Version", "Status", "Installed", "Last checked", ""});
  listSoftware_->setRootIsDecorated(false);
  listSoftware_->setUniformRowHeights(true);
  listSoftware_->header()->setStretchLastSection(true);
  connect(listSoftware_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { listSoftwareDblClick(item); });
  layout->addWidget(listSoftware_, 1);

  auto* buttons = new QHBoxLayout();
  buttonCheckVersion_ = new QPushButton("Check for updates", this);
  buttonCheckVersion_->setObjectName("buttonCheckVersion");
  buttonUpdateLog_ = new QPushButton("Display update log", this);
  buttonUpdateLog_->setObjectName("buttonUpdateLog");
  connect(buttonCheckVersion_, &QPushButton::clicked, this, &TSoftwarePanel::buttonCheckVersionClick);
  connect(buttonUpdateLog_, &QPushButton::clicked, this, &TSoftwarePanel::buttonUpdateLogClick);
  buttons->addWidget(buttonCheckVersion_);
  buttons->addWidget(buttonUpdateLog_);
  buttons->addStretch();
  layout->addLayout(buttons);

  auto* check = new QAction("Check for &updates", this);
  check->setObjectName("MVCheckForUpdates");
  connect(check, &QAction::triggered, this, &TSoftwarePanel::buttonCheckVersionClick);
  auto* log = new QAction("Display update &log", this);
  log->setObjectName("MVUpdateLog");
  connect(log, &QAction::triggered, this, &TSoftwarePanel::buttonUpdateLogClick);
  menuActions_ = {check, log};
  setEnabled(false);  // until the monitor is started
}

TSoftwarePanel::~TSoftwarePanel() = default;

void TSoftwarePanel::start(MonitorSettings settings, ViewerRegistry& viewers,
                           std::function<void(const std::string&)> report) {
  viewers_ = &viewers;
  network_ = std::make_unique<QNetworkAccessManager>();
  const QString title = QString::fromStdString(settings.programTitle);
  monitor_ = std::make_unique<SoftwareMonitor>(std::move(settings), *network_);
  monitor_->setFailureSink(report);
  // A register that cannot be read is kept as it is; the monitor goes on without it.
  if (Result loaded = monitor_->start(); !loaded && report) {
    report("*** The software register cannot be read: " + loaded.reason());
  }
  wait_ = new TformUpdateWait(title, this);
  connectMonitor();
  setEnabled(true);
  FillSoftwareList();
}

void TSoftwarePanel::connectMonitor() {
  SoftwareMonitor* monitor = monitor_.get();
  connect(monitor, &SoftwareMonitor::waitShown, wait_, &TformUpdateWait::showText);
  connect(monitor, &SoftwareMonitor::waitClosed, wait_, &QWidget::hide);
  connect(monitor, &SoftwareMonitor::listChanged, this, &TSoftwarePanel::FillSoftwareList);
  connect(monitor, &SoftwareMonitor::shutdownRequested, this, &TSoftwarePanel::endProgramForUpdate);
  Downloader* downloader = &monitor->downloader();
  connect(downloader, &Downloader::started, wait_, &TformUpdateWait::showDownload);
  connect(downloader, &Downloader::progress, wait_, &TformUpdateWait::showProgress);
  connect(downloader, &Downloader::ended, wait_, &TformUpdateWait::hideDownload);
  connect(wait_, &TformUpdateWait::cancelRequested, monitor, &SoftwareMonitor::cancelDownload);
}

void TSoftwarePanel::runAtStart() {
  if (monitor_ != nullptr) monitor_->RunSoftwareMonitor(false);
}

void TSoftwarePanel::closeDown() {
  if (monitor_ != nullptr) monitor_->setClosing();
}

void TSoftwarePanel::FillSoftwareList() {
  listSoftware_->clear();
  if (monitor_ == nullptr) return;
  for (const SoftwareRow& row : monitor_->rows()) {
    auto* item = new QTreeWidgetItem(listSoftware_);
    const std::string* cells[] = {&row.product, &row.version, &row.status, &row.installed, &row.lastChecked, &row.errorcodes};
    for (int column = 0; column < 6; ++column) item->setText(column, QString::fromStdString(*cells[column]));
  }
}

void TSoftwarePanel::buttonCheckVersionClick() {
  if (monitor_ == nullptr || monitor_->running()) return;
  listSoftware_->clear();
  listSoftware_->repaint();
  monitor_->RunSoftwareMonitor(true);
  FillSoftwareList();
}

void TSoftwarePanel::buttonUpdateLogClick() {
  if (monitor_ == nullptr || viewers_ == nullptr) return;
  TformTextDisplay* viewer = viewers_->OpenTextDisplay(monitor_->logPath(), "text");
  viewer->setTitle(QString::fromStdString("Software monitor Log - " + LogTimeText()));
  viewer->setClearAllowed(true);
  viewer->showViewer();
}

void TSoftwarePanel::listSoftwareDblClick(QTreeWidgetItem* item) {
  if (item == nullptr || monitor_ == nullptr || viewers_ == nullptr) return;
  const ChangesNote note = monitor_->changesNoteFor(item->text(1).toStdString());
  if (!note.usable || !fileSystem().exists(note.path)) return;
  TformTextDisplay* viewer = viewers_->OpenTextDisplay(note.path, "text");
  viewer->setTitle(QString::fromStdString(note.title));
  viewer->setClearAllowed(false);
  viewer->showViewer();
}

// The notice stays for its five seconds, then the program ends; the script starts it again.
void TSoftwarePanel::endProgramForUpdate() {
  QTimer::singleShot(kShutdownNoticeMilliseconds, this, [this] {
    wait_->hide();
    window()->close();
    QApplication::quit();
  });
}

}  // namespace tarvo
