#include "monitor/software_record.h"

namespace tarvo {

const std::vector<RecordKey>& RecordKeys() {
  static const std::vector<RecordKey> keys = {
      {"supplier", &SoftwareRecord::supplier},
      {"product", &SoftwareRecord::product},
      {"application", &SoftwareRecord::application},
      {"version", &SoftwareRecord::version},
      {"installfolder", &SoftwareRecord::installfolder},
      {"versiondate", &SoftwareRecord::versiondate},
      {"autoupgrade", &SoftwareRecord::autoupgrade},
      {"url", &SoftwareRecord::url},
      {"checkperiod", &SoftwareRecord::checkperiod},
      {"checknumber", &SoftwareRecord::checknumber},
      {"rollbackallowed", &SoftwareRecord::rollbackallowed},
      {"dateinstalled", &SoftwareRecord::dateinstalled},
      {"instance", &SoftwareRecord::instance},
      {"status", &SoftwareRecord::status},
      {"versionfolder", &SoftwareRecord::versionfolder},
      {"errorcodes", &SoftwareRecord::errorcodes},
      {"datelastchecked", &SoftwareRecord::datelastchecked},
      {"checkresult", &SoftwareRecord::checkresult},
  };
  return keys;
}

std::string* FieldOf(SoftwareRecord& record, std::string_view key) {
  for (const RecordKey& each : RecordKeys()) {
    if (each.key == key) return &(record.*each.field);
  }
  return nullptr;
}

std::string StatusText(std::string_view status) {
  if (status == kStatusActive) return "Active";
  if (status == kStatusRemoved) return "Removed";
  if (status == kStatusSuperseded) return "Old";
  return {};
}

}  // namespace tarvo
