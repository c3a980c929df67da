#pragma once

// One registered installation of a software product, as the register file and the
// registration files ("*.pre") hold it: key=value lines in a fixed order, each record starting
// with its "supplier" line and followed by one "exec", "pipe", "command" triple per program to
// close before an update.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// A program to close before an update: its name, the command channel it listens on, and the
// line that asks it to close.
struct ExecEntry {
  std::string exec;
  std::string pipe;
  std::string command;
};

// Status letters of a record.
inline constexpr std::string_view kStatusActive = "A";
inline constexpr std::string_view kStatusRemoved = "D";
inline constexpr std::string_view kStatusSuperseded = "S";
inline constexpr std::string_view kStatusReplaced = "R";

struct SoftwareRecord {
  std::string supplier;
  std::string product;
  std::string application;
  std::string version;
  std::string installfolder;
  std::string versiondate;
  std::string autoupgrade;
  std::string url;
  std::string checkperiod;
  std::string checknumber;
  std::string rollbackallowed;
  std::string dateinstalled;
  std::string instance;
  std::string status;
  std::string versionfolder;
  std::string errorcodes;
  std::string datelastchecked;
  std::string checkresult;
  std::vector<ExecEntry> execs;

  [[nodiscard]] bool isActive() const { return status == kStatusActive; }
  [[nodiscard]] bool checksForUpdates() const { return autoupgrade == "Y"; }
};

// The record's keys in file order, each with the field it fills.
struct RecordKey {
  std::string_view key;
  std::string SoftwareRecord::*field;
};
const std::vector<RecordKey>& RecordKeys();

// The field a lower-case key names, or null when the key is not one of the record's.
std::string* FieldOf(SoftwareRecord& record, std::string_view key);

// The words the software list shows for a status letter ("Active", "Removed", "Old").
std::string StatusText(std::string_view status);

}  // namespace tarvo
