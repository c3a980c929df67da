#pragma once

// The register of installed software (VersionReg.lst) and the registration files ("*.pre")
// that installers leave in the data folder; both are key=value files of records.
//
// Reading turns every key to lower case. In list mode every "supplier" line starts a new
// record; in single mode every key fills the one record. "exec" starts a program entry of the
// current record, "pipe" and "command" fill the latest one (and are ignored before any
// "exec"); an "errorcodes" of "in progress" reads as empty; other keys are ignored.
// Threading: none of its own; the owner's thread.

#include <string>
#include <vector>

#include "base/result.h"
#include "monitor/software_record.h"
#include "store/pair_list.h"

namespace tarvo {

enum class RegisterMode { List, Single };

inline constexpr int kRegisterBackups = 5;

// The records of the pairs; a failure when none of the pairs is a key of a record.
ResultOf<std::vector<SoftwareRecord>> RecordsFromPairs(const PairList& pairs, RegisterMode mode);
// The records of a register (list mode) or of one registration file (single mode: one record).
// A failure when the file is missing, cannot be read or holds no key of a record.
ResultOf<std::vector<SoftwareRecord>> ReadRegister(const std::string& path, RegisterMode mode);
// The pairs of the records in the register's order.
PairList RegisterPairs(const std::vector<SoftwareRecord>& records);

class SoftwareRegister {
 public:
  explicit SoftwareRegister(std::string path);

  // Reads the register file; a missing file is made empty. A file that holds something but no
  // record is kept as it is and never written over (writes then fail), so nothing in it is
  // lost to a rewrite.
  Result load();
  // Writes every record, keeping numbered backups of the old file.
  Result WriteRegister() const;

  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] std::vector<SoftwareRecord>& records() { return records_; }
  [[nodiscard]] const std::vector<SoftwareRecord>& records() const { return records_; }

 private:
  std::string path_;
  std::vector<SoftwareRecord> records_;
  std::string unreadable_;  // why the file on disk must not be written over; empty when it may
};

}  // namespace tarvo
