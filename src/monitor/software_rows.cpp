#include "monitor/software_rows.h"

#include "base/date_text.h"

namespace tarvo {

std::vector<SoftwareRow> SoftwareRows(std::vector<SoftwareRecord>& records, int dateOrder) {
  std::vector<SoftwareRow> rows;
  for (SoftwareRecord& record : records) {
    if (record.status.empty()) continue;
    if (record.status == kStatusSuperseded) record.errorcodes.clear();
    rows.push_back({record.product, record.version, StatusText(record.status),
                    DisplayDate(record.dateinstalled, dateOrder),
                    DisplayDate(record.datelastchecked, dateOrder), record.errorcodes});
  }
  return rows;
}

ChangesNote ChangesNoteFor(const std::string& dataFolder, const std::string& version) {
  const std::string start = version.substr(0, 4);
  ChangesNote note;
  note.path = dataFolder + start + ".vsn";
  note.title = "Changes in version: " + start;
  note.usable = !start.empty() && start.find('/') == std::string::npos && start.find('\0') == std::string::npos;
  return note;
}

}  // namespace tarvo
