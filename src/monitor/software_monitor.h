#pragma once

// The software monitor: takes in registration files, decides which registered products are
// due for an update check, fetches each one's update list, downloads a newer setup program,
// asks the product's running programs to close over their command channels, and starts the
// installation script. Every step goes to its own log (VersionReg.log); every check result is
// stored in the record and shown in the software list.
//
// It has no window: what a window shows arrives as signals (the wait text, the download's
// progress, a changed list, the request to end the program for its own update). A run blocks
// its caller while the event loop keeps turning, so the window stays drawn and a download can
// be cancelled; a second run asked for meanwhile does nothing.
// Threading: user-interface thread only.

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "monitor/downloader.h"
#include "monitor/monitor_log.h"
#include "monitor/setup_signature.h"
#include "monitor/software_register.h"
#include "monitor/software_rows.h"
#include "monitor/update_info.h"

class QNetworkAccessManager;

namespace tarvo {

// Where update lists are when a record names none: this address + application + "/updatelist.txt".
inline constexpr const char* kDefaultUpdateAddress = "https://updates.tarvo.org/";
inline constexpr int kShutdownNoticeMilliseconds = 5000;
inline constexpr int kClosingNoticeMilliseconds = 1000;

struct MonitorSettings {
  std::string dataFolder;     // ends with the delimiter
  std::string programFolder;  // the program's own folder, ending with the delimiter: its helpers
  std::string executablePath;
  std::string executableName;  // without a folder
  std::string programTitle;
  std::string defaultAddress = kDefaultUpdateAddress;
  int dateOrder = 0;
  // The start after an installation takes in registrations but checks nothing.
  bool firstRunAfterInstall = false;
  DownloadOptions download;
  PublicKey releaseKey = ReleasePublicKey();
};

class SoftwareMonitor : public QObject {
  Q_OBJECT

 public:
  SoftwareMonitor(MonitorSettings settings, QNetworkAccessManager& network, QObject* parent = nullptr);
  ~SoftwareMonitor() override;

  // Reads the register (made empty when missing); a failure is logged and returned.
  Result start();
  // Registration intake, due checks, then the update checks; `forced` checks every product
  // that takes updates, whatever its interval. False when nothing ran (closing, or a run is
  // under way).
  bool RunSoftwareMonitor(bool forced);
  // The check, download and installation of every record of the check list.
  void CheckForUpdates();
  void SetCheckResult(SoftwareRecord& record, const std::string& text);
  void LogMonitor(const std::string& text) const { log_.LogMonitor(text); }

  // The program is closing: the run stops between steps, and a download under way ends.
  void setClosing();
  void cancelDownload() { downloader_.cancel(); }
  void setDateOrder(int dateOrder);
  void setFailureSink(std::function<void(const std::string&)> sink) { log_.setFailureSink(std::move(sink)); }

  [[nodiscard]] std::vector<SoftwareRow> rows();
  [[nodiscard]] ChangesNote changesNoteFor(const std::string& version) const;
  [[nodiscard]] const std::string& logPath() const { return log_.path(); }
  [[nodiscard]] SoftwareRegister& softwareRegister() { return register_; }
  [[nodiscard]] const MonitorSettings& settings() const { return settings_; }
  [[nodiscard]] bool running() const { return running_; }
  Downloader& downloader() { return downloader_; }

 signals:
  // Show the wait window with this text; after `milliseconds` close it (0: until waitClosed).
  void waitShown(const QString& text, int milliseconds);
  void waitClosed();
  void listChanged();
  // This program must end now so its update can be installed; the script restarts it.
  void shutdownRequested();

 private:
  // Due checks: removed installations are marked, due ones go to the check list.
  bool collectDueRecords(bool forced);
  // The check of one record; true when the program must end for its own update.
  bool checkRecord(SoftwareRecord& record);
  // Fetches the update list into updatelist.txt; false (result set) when there is none.
  bool fetchUpdateList(SoftwareRecord& record);
  // Downloads, checks and names the setup program; false (result set) when there is none.
  bool fetchSetup(SoftwareRecord& record, const UpdateInfo& info);
  bool install(SoftwareRecord& record, const UpdateInfo& info);
  void writeRegister();
  [[nodiscard]] std::string downloadFolder() const { return settings_.dataFolder + "Download/"; }

  MonitorSettings settings_;
  MonitorLog log_;
  SoftwareRegister register_;
  Downloader downloader_;
  std::vector<std::size_t> checkList_;  // records due for a check in this run
  bool running_ = false;
  bool closing_ = false;
};

}  // namespace tarvo
