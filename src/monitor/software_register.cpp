#include "monitor/software_register.h"

#include <optional>

#include "store/data_file.h"
#include "store/file_system.h"
#include "store/pair_file.h"

namespace tarvo {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

ResultOf<std::vector<SoftwareRecord>> RecordsFromPairs(const PairList& pairs, RegisterMode mode) {
  std::vector<SoftwareRecord> records;
  std::optional<SoftwareRecord> current;
  bool anyKey = false;
  if (mode == RegisterMode::Single) current.emplace();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string key = Lower(pairs.key(i));
    const std::string_view value = pairs.value(i);
    std::string* field = nullptr;
    if (key == "supplier" && mode == RegisterMode::List) {
      if (current) records.push_back(std::move(*current));
      current.emplace();
    }
    if (key == "exec") {
      if (!current) current.emplace();
      current->execs.push_back({std::string(value), {}, {}});
      anyKey = true;
      continue;
    }
    if (key == "pipe" || key == "command") {
      // Before any "exec" these fill nothing, so they do not make the file a record.
      if (!current || current->execs.empty()) continue;
      anyKey = true;
      field = key == "pipe" ? &current->execs.back().pipe : &current->execs.back().command;
      *field = value;
      continue;
    }
    if (!current) current.emplace();
    field = FieldOf(*current, key);
    if (field == nullptr) continue;
    anyKey = true;
    *field = value;
    if (key == "errorcodes" && value == "in progress") field->clear();
  }
  if (!anyKey) return Result::Failure("it holds no software record");
  if (current) records.push_back(std::move(*current));
  return records;
}

ResultOf<std::vector<SoftwareRecord>> ReadRegister(const std::string& path, RegisterMode mode) {
  if (!fileSystem().exists(path)) return Result::Failure(path + " does not exist");
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs); !loaded) return loaded;
  ResultOf<std::vector<SoftwareRecord>> records = RecordsFromPairs(pairs, mode);
  if (!records) return Result::Failure(path + ": " + records.reason());
  return records;
}

PairList RegisterPairs(const std::vector<SoftwareRecord>& records) {
  PairList pairs;
  for (const SoftwareRecord& record : records) {
    for (const RecordKey& key : RecordKeys()) pairs.add(key.key, record.*key.field);
    for (const ExecEntry& entry : record.execs) {
      pairs.add("exec", entry.exec);
      pairs.add("pipe", entry.pipe);
      pairs.add("command", entry.command);
    }
  }
  return pairs;
}

SoftwareRegister::SoftwareRegister(std::string path) : path_(std::move(path)) {}

Result SoftwareRegister::load() {
  records_.clear();
  unreadable_.clear();
  if (!fileSystem().exists(path_)) return WriteRegister();
  PairList pairs;
  if (Result loaded = LoadPairFile(path_, pairs); !loaded) {
    unreadable_ = loaded.reason();
    return loaded;
  }
  if (pairs.empty()) return {};
  ResultOf<std::vector<SoftwareRecord>> records = RecordsFromPairs(pairs, RegisterMode::List);
  if (!records) {
    unreadable_ = path_ + ": " + records.reason();
    return Result::Failure(unreadable_ + "; it is kept as it is");
  }
  records_ = std::move(*records);
  return {};
}

Result SoftwareRegister::WriteRegister() const {
  if (!unreadable_.empty()) {
    return Result::Failure("the register is not written over, because it could not be read: " + unreadable_);
  }
  return SavePairFile(path_, RegisterPairs(records_), kRegisterBackups);
}

}  // namespace tarvo
