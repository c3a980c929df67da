#include "monitor/registration_intake.h"

#include <vector>

#include "base/date_text.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "store/folder_listing.h"

namespace tarvo {
namespace {

void LogFailure(const MonitorLog& log, const std::string& what, const Result& result) {
  if (!result) log.LogMonitor("*** " + what + ": " + result.reason());
}

// The checks of a registration; each failure is logged. True when it may be accepted.
bool Acceptable(SoftwareRecord& record, const SoftwareRegister& softwareRegister,
                const IntakeFolders& folders, const MonitorLog& log) {
  bool ok = true;
  if (record.supplier.empty()) {
    log.LogMonitor("Invalid supplier");
    ok = false;
  }
  if (!IsPlainName(record.product)) {
    log.LogMonitor("Invalid product");
    ok = false;
  }
  if (!IsPlainName(record.version)) {
    log.LogMonitor("Invalid version");
    ok = false;
  }
  if (record.installfolder.empty()) record.installfolder = folders.program;
  if (!fileSystem().isFolder(record.installfolder)) {
    log.LogMonitor("Invalid installation folder name");
    ok = false;
  }
  for (const SoftwareRecord& existing : softwareRegister.records()) {
    if (existing.supplier == record.supplier && existing.product == record.product &&
        existing.version == record.version && existing.installfolder == record.installfolder &&
        existing.isActive()) {
      log.LogMonitor("Already installed");
      ok = false;
      break;
    }
  }
  return ok;
}

// The instance of the new record: that of the installation it replaces in the same folder
// (which becomes old, or replaced), else one more than the other folders' instances.
bool TakeInstance(SoftwareRecord& record, std::vector<SoftwareRecord>& records) {
  bool supersededAny = false;
  record.instance = "1";
  for (SoftwareRecord& existing : records) {
    if (existing.supplier != record.supplier || existing.product != record.product ||
        existing.installfolder != record.installfolder) {
      continue;
    }
    if (existing.version < record.version) {
      existing.status = kStatusSuperseded;
      existing.errorcodes.clear();
      supersededAny = true;
    } else {
      existing.status = kStatusReplaced;
    }
    record.instance = std::to_string(DecimalOr(existing.instance, 1));
  }
  for (const SoftwareRecord& existing : records) {
    if (existing.supplier != record.supplier || existing.product != record.product ||
        existing.installfolder == record.installfolder) {
      continue;
    }
    if (!(existing.instance < record.instance)) {
      record.instance = std::to_string(DecimalOr(existing.instance, 1) + 1);
    }
  }
  return supersededAny;
}

Result MakeFolder(const std::string& path) {
  if (fileSystem().isFolder(path)) return {};
  return fileSystem().makeFolder(path);
}

void Accept(SoftwareRecord record, SoftwareRegister& softwareRegister, const IntakeFolders& folders,
            const MonitorLog& log) {
  if (TakeInstance(record, softwareRegister.records())) {
    LogFailure(log, "The register cannot be written", softwareRegister.WriteRegister());
  }
  const std::string productFolder = folders.data + record.product + "_" + record.instance + "/";
  const std::string versionFolder = productFolder + record.version + "/";
  LogFailure(log, "The product folder cannot be made", MakeFolder(productFolder));
  LogFailure(log, "The version folder cannot be made", MakeFolder(versionFolder));
  record.versionfolder = versionFolder;
  record.status = kStatusActive;
  if (record.dateinstalled.empty()) record.dateinstalled = DateStamp();
  const std::string version = record.version;
  softwareRegister.records().push_back(std::move(record));
  LogFailure(log, "The register cannot be written", softwareRegister.WriteRegister());
  LogFailure(log, "The history cannot be written",
             AppendLine(productFolder + "History.lst", LogTimeText() + " New version: " + version));
}

}  // namespace

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

IntakeOutcome TakeInRegistrations(SoftwareRegister& softwareRegister, const IntakeFolders& folders,
                                  const MonitorLog& log) {
  IntakeOutcome outcome;
  std::vector<std::string> names;
  ListMatching(folders.data, "*.pre", kFiles, false, names);
  for (const std::string& name : names) {
    const std::string path = folders.data + name;
    log.LogMonitor("New file found - " + path);
    ResultOf<std::vector<SoftwareRecord>> read = ReadRegister(path, RegisterMode::Single);
    if (!read) {
      log.LogMonitor("No valid data found - file deleted - " + path);
      LogFailure(log, "The registration file cannot be deleted", fileSystem().remove(path));
      outcome.rejected = true;
      continue;
    }
    SoftwareRecord record = std::move(read->front());
    log.LogMonitor("Registration file found - " + path);
    log.LogMonitor("Supplier=" + record.supplier + ", Product=" + record.product +
                   ", Version=" + record.version + ", Dir=" + record.installfolder);
    outcome.rejected = !Acceptable(record, softwareRegister, folders, log);
    if (outcome.rejected) {
      log.LogMonitor("Version ignored due to errors");
    } else {
      Accept(std::move(record), softwareRegister, folders, log);
      outcome.changed = true;
      ++outcome.accepted;
      log.LogMonitor("Version accepted OK");
    }
    LogFailure(log, "The registration file cannot be deleted", fileSystem().remove(path));
  }
  return outcome;
}

}  // namespace tarvo
