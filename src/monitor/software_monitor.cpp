#include "monitor/software_monitor.h"

#include <QNetworkAccessManager>

#include "base/date_text.h"
#include "base/text_scan.h"
#include "monitor/install_script.h"
#include "monitor/registration_intake.h"
#include "monitor/update_info.h"
#include "platform/channel.h"
#include "platform/process_helpers.h"
#include "store/file_system.h"
#include "store/safe_replace.h"

namespace tarvo {
namespace {

constexpr unsigned kSetupPermissions = 0755;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Clears a flag when the scope ends, however it ends.
class Running {
 public:
  explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
  ~Running() { flag_ = false; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  bool& flag_;
};

}  // namespace

SoftwareMonitor::SoftwareMonitor(MonitorSettings settings, QNetworkAccessManager& network, QObject* parent)
    : QObject(parent),
      settings_(std::move(settings)),
      log_(settings_.dataFolder + "VersionReg.log", settings_.dateOrder),
      register_(settings_.dataFolder + "VersionReg.lst"),
      downloader_(network, settings_.download) {}

SoftwareMonitor::~SoftwareMonitor() = default;

Result SoftwareMonitor::start() {
  Result loaded = register_.load();
  if (!loaded) LogMonitor("*** The register cannot be read: " + loaded.reason());
  return loaded;
}

void SoftwareMonitor::setClosing() {
  closing_ = true;
  downloader_.cancel();
}

void SoftwareMonitor::setDateOrder(int dateOrder) {
  settings_.dateOrder = dateOrder;
  log_.setDateOrder(dateOrder);
}

std::vector<SoftwareRow> SoftwareMonitor::rows() { return SoftwareRows(register_.records(), settings_.dateOrder); }

ChangesNote SoftwareMonitor::changesNoteFor(const std::string& version) const {
  return ChangesNoteFor(settings_.dataFolder, version);
}

void SoftwareMonitor::writeRegister() {
  if (Result written = register_.WriteRegister(); !written) {
    LogMonitor("*** The register cannot be written: " + written.reason());
  }
}

void SoftwareMonitor::SetCheckResult(SoftwareRecord& record, const std::string& text) {
  record.errorcodes = text;
  LogMonitor(record.application + " - " + text);
  writeRegister();
}

bool SoftwareMonitor::RunSoftwareMonitor(bool forced) {
  if (closing_ || running_ || !checkList_.empty()) return false;
  Running running(running_);
  const IntakeOutcome intake = TakeInRegistrations(register_, {settings_.dataFolder, settings_.programFolder}, log_);
  const bool changed = collectDueRecords(forced) || intake.changed;
  if (changed) emit listChanged();
  if (!checkList_.empty() && !settings_.firstRunAfterInstall) CheckForUpdates();
  checkList_.clear();
  settings_.firstRunAfterInstall = false;
  return true;
}

// A rejected registration does not hold back the checks of the other products: one broken
// file from one installer must not stop every update.
bool SoftwareMonitor::collectDueRecords(bool forced) {
  bool changed = false;
  std::vector<SoftwareRecord>& records = register_.records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    SoftwareRecord& record = records[i];
    if (!record.isActive()) continue;
    if (!fileSystem().isFolder(record.installfolder)) {
      record.status = kStatusRemoved;
      writeRegister();
      changed = true;
      continue;
    }
    if (!record.checksForUpdates()) continue;
    const bool due = forced || record.datelastchecked.size() != 8 ||
                     PeriodElapsed(record.datelastchecked, record.checkperiod, record.checknumber);
    if (!due) continue;
    checkList_.push_back(i);
    record.errorcodes.clear();
    record.datelastchecked = DateStamp();
    writeRegister();
    changed = true;
  }
  return changed;
}

void SoftwareMonitor::CheckForUpdates() {
  emit waitShown("Checking for updates - please wait ...", 0);
  for (std::size_t index : checkList_) {
    if (closing_) return;
    if (checkRecord(register_.records()[index])) return;  // this program ends for its update
    if (closing_) return;
  }
  checkList_.clear();
  emit listChanged();
  emit waitShown("No updates found", kClosingNoticeMilliseconds);
}

bool SoftwareMonitor::checkRecord(SoftwareRecord& record) {
  if (record.url.empty()) {
    record.url = settings_.defaultAddress + record.application + "/updatelist.txt";
    writeRegister();
  }
  if (!fetchUpdateList(record)) return false;
  const std::string listPath = settings_.dataFolder + "updatelist.txt";
  const ResultOf<UpdateInfo> info = ReadUpdateInfo(listPath);
  if (!info) {
    SetCheckResult(record, "*** Unable to open " + listPath);
    return false;
  }
  if (Lower(info->application) != Lower(record.application)) {
    SetCheckResult(record, "*** Application does not match: " + info->application);
    return false;
  }
  const std::int64_t offered = VersionValue(info->version);
  const std::int64_t installed = VersionValue(record.version);
  SetCheckResult(record, "Versions - update: " + std::to_string(offered) + " installed: " + std::to_string(installed));
  if (offered <= installed) {
    if (offered < installed) {
      LogMonitor("Downgrade refused - version " + info->version + " is older than the installed " + record.version);
    }
    SetCheckResult(record, "Up to date");
    return false;
  }
  SetCheckResult(record, "New version found - " + info->version);
  if (!fetchSetup(record, *info)) return false;
  SetCheckResult(record, "Up to date");
  return install(record, *info);
}

bool SoftwareMonitor::fetchUpdateList(SoftwareRecord& record) {
  const std::string listPath = settings_.dataFolder + "updatelist.txt";
  if (fileSystem().exists(listPath)) {
    if (Result removed = fileSystem().remove(listPath); !removed) LogMonitor("*** " + removed.reason());
  }
  FetchResult fetched = downloader_.fetchToMemory(record.url);
  if (fetched.outcome == FetchResult::Outcome::NoConnection) {
    LogMonitor(record.url + ": " + fetched.reason);
    SetCheckResult(record, "*** Unable to connect");
    return false;
  }
  if (!fetched.delivered()) {
    LogMonitor(record.url + ": " + fetched.reason);
    SetCheckResult(record, "*** download of update list failed");
    return false;
  }
  const Result saved = WriteFileSafely(listPath, std::string_view(fetched.body.constData(), static_cast<std::size_t>(fetched.body.size())));
  if (!saved || !fileSystem().exists(listPath)) {
    if (!saved) LogMonitor("*** " + saved.reason());
    SetCheckResult(record, "*** download of update list failed");
    return false;
  }
  return true;
}

bool SoftwareMonitor::fetchSetup(SoftwareRecord& record, const UpdateInfo& info) {
  const std::string folder = downloadFolder();
  const std::string setup = folder + "Setup";
  const std::string partial = setup + ".part";
  Result ready = fileSystem().isFolder(folder) ? Result() : fileSystem().makeFolder(folder);
  if (ready && fileSystem().exists(setup)) ready = fileSystem().remove(setup);
  if (!ready) {
    LogMonitor("*** " + ready.reason());
    SetCheckResult(record, "*** download of update file unsuccessful");
    return false;
  }
  FetchResult fetched = downloader_.fetchToFile(info.url, partial);
  if (fetched.outcome == FetchResult::Outcome::NoConnection) {
    LogMonitor(info.url + ": " + fetched.reason);
    SetCheckResult(record, "Unable to connect to: " + info.url);
    return false;
  }
  if (!fetched.delivered()) {
    LogMonitor(info.url + ": " + fetched.reason);
    SetCheckResult(record, "*** download of update file unsuccessful");
    return false;
  }
  if (info.signature.empty()) {
    LogMonitor("Setup program is unsigned - " + info.url);
  } else if (Result verified = VerifySetupSignature(partial, info.signature, settings_.releaseKey); !verified) {
    const Result removed = fileSystem().remove(partial);
    LogMonitor("*** Setup program refused - " + verified.reason() + " - " +
               (removed ? std::string("file deleted") : "cannot delete it: " + removed.reason()));
    SetCheckResult(record, "*** Setup program signature does not match");
    return false;
  } else {
    LogMonitor("Setup program signature verified - " + info.url);
  }
  Result named = fileSystem().setPermissions(partial, kSetupPermissions);
  if (named) named = fileSystem().rename(partial, setup);
  if (!named) {
    LogMonitor("*** " + named.reason());
    SetCheckResult(record, "*** download of update file unsuccessful");
    return false;
  }
  return true;
}

bool SoftwareMonitor::install(SoftwareRecord& record, const UpdateInfo& info) {
  bool mustRestart = false;
  for (const ExecEntry& entry : record.execs) {
    const std::string exec = Lower(entry.exec);
    if (exec == kLauncherName || exec == Lower(settings_.executableName)) {
      mustRestart = true;
      continue;
    }
    if (!IsPlainName(entry.pipe)) continue;  // a channel is a name in the user's runtime folder
    const Channel channel(entry.pipe);
    if (!PipeExists(channel)) continue;
    if (!SendToChannel(channel, nullptr, {entry.command})) {
      LogMonitor("*** Could not send to " + entry.exec + " on pipe " + entry.pipe);
    }
    LogMonitor("Closing " + entry.exec + " on pipe " + entry.pipe);
  }
  const std::string script = downloadFolder() + "install.sh";
  std::string text;
  for (const std::string& line :
       InstallScriptLines({record.application, settings_.programFolder, downloadFolder() + "Setup", settings_.dataFolder,
                           RestartCommand(settings_.programFolder, settings_.executableName, settings_.executablePath)})) {
    text += line + "\n";
  }
  if (Result written = WriteFileSafely(script, text); !written) {
    LogMonitor("*** The installation script cannot be written: " + written.reason());
    return false;
  }
  LogMonitor("Installing new version - Product=" + record.product + ", Version=" + info.version +
             ", Dir=" + record.installfolder);
  const std::string command = "/bin/sh \"" + script + "\"";
  if (mustRestart) {
    if (Result started = RunProgram(command, false, 0, kIdlePriority, kShowHidden); !started) {
      LogMonitor("*** The installation script cannot be started: " + started.reason());
      return false;
    }
    LogMonitor("Shutting down");
    emit waitShown(QString::fromStdString("Update found.  " + settings_.programTitle + " will now close down" +
                                          " and restart shortly."),
                   kShutdownNoticeMilliseconds);
    emit shutdownRequested();
    return true;
  }
  if (Result started = RunProgram(command, false, 0, kNoProcessFlags, kShowNormal); !started) {
    LogMonitor("*** The installation script cannot be started: " + started.reason());
  }
  return false;
}

}  // namespace tarvo
