#include "sharing/send_file.h"

#include <unordered_set>

#include "sharing/exchange_names.h"
#include "store/file_system.h"
#include "store/pair_file.h"
#include "structure/structure.h"
#include "structure/structure_file.h"

namespace tarvo {
namespace {

std::unique_ptr<TopicRecord> HeaderRecord(const TopicRecord& sent, const SendOptions& options) {
  auto header = std::make_unique<TopicRecord>(kHeaderId);
  header->lev = 1;
  header->ttype = kGeneralTopic;
  header->status = kNoStatus;
  header->type = sent.type;
  header->text = "From: " + options.senderName + " - " + options.shortStamp;
  header->lock = options.lock;
  return header;
}

std::unique_ptr<TopicRecord> SentCopy(const TopicRecord& source, int level, const SendOptions& options) {
  auto copy = std::make_unique<TopicRecord>(ExchangeId(source.uni.view(), options.senderName));
  CopyTopicAttributes(*copy, source);
  copy->type = source.type;
  copy->lock = options.lock;
  copy->from = options.senderName;
  copy->sent = options.stamp;
  copy->lev = level;
  return copy;
}

Result Damaged(const std::string& path, const std::string& why) {
  return Result::Failure("the send file " + NameOf(path) + " is damaged: " + why);
}

Result TooLarge(const std::string& path, std::uint64_t size) {
  return Damaged(path, "it holds " + std::to_string(size >> 20) + " MB, more than a send file may (" +
                           std::to_string(kMaxSendFileBytes >> 20) + " MB)");
}

}  // namespace

ResultOf<RecordList> SendRecordsOf(const TopicNode& topic, const SendOptions& options) {
  RecordList records;
  if (topic.record == nullptr) return Result::Failure("there is no topic to send");
  records.push_back(HeaderRecord(*topic.record, options));
  bool tooMany = false;
  TopicTree::VisitSubtree(const_cast<TopicNode&>(topic), 2, [&](TopicNode& node, int level) {
    if (records.size() > kMaxSentTopics) {
      tooMany = true;
      return;
    }
    if (node.record != nullptr) records.push_back(SentCopy(*node.record, level, options));
  });
  if (tooMany) {
    return Result::Failure("the topic holds more than " + std::to_string(kMaxSentTopics) +
                           " sub-topics, more than one send file may carry");
  }
  return records;
}

Result WriteSendFile(const std::string& path, const RecordList& records) {
  const std::string temporary = path + ".partial";
  Result written = SaveStreamedThrough(temporary, path, 0, [&records](BlockWriter& writer) {
    for (const auto& record : records) AppendRecordPairs(*record, writer);
  });
  (void)fileSystem().remove(temporary);  // gone already after a rename; left over after a failure
  return written;
}

ResultOf<ReceivedFile> ReadSendFile(const std::string& path) {
  const std::optional<FileStamp> stamp = fileSystem().stamp(path);
  if (!stamp) return Result::Failure("the send file " + NameOf(path) + " cannot be reached");
  if (stamp->size > kMaxSendFileBytes) return TooLarge(path, stamp->size);
  Structure parsed;  // no counter file: a record without id is a damage, not a new topic
  const StructureLoad load = LoadStructure(parsed, path);
  if (load.outcome == StructureLoad::Outcome::Missing) return Result::Failure("the send file " + NameOf(path) + " is gone");
  if (!load.loaded()) return Damaged(path, load.message);
  if (parsed.size() < 2) return Damaged(path, "it holds no topic");
  if (parsed.size() > kMaxSentTopics + 1) {
    return Damaged(path, "it holds " + std::to_string(parsed.size() - 1) + " topics, more than a send file may (" +
                             std::to_string(kMaxSentTopics) + ")");
  }

  std::vector<TopicRecord*> order;
  order.reserve(parsed.size());
  for (std::size_t i = 0; i < parsed.size(); ++i) order.push_back(parsed.record(i));
  if (order.front()->uni.view() != kHeaderId || order.front()->lev != 1) {
    return Damaged(path, "it does not start with the sender's header");
  }
  if (order.front()->type < 0 || order.front()->type >= kSectionTypeCount) {
    return Damaged(path, "its section type " + std::to_string(order.front()->type) + " does not exist");
  }
  std::unordered_set<std::string_view> ids;
  int previousLevel = 1;
  for (std::size_t i = 1; i < order.size(); ++i) {
    const TopicRecord& record = *order[i];
    if (!IsSafeEntryName(record.uni.view()) || record.uni.view() == kHeaderId) {
      return Damaged(path, "topic " + std::to_string(i) + " has the id \"" + record.uni.str() +
                               "\", which cannot name a file");
    }
    if (!ids.insert(record.uni.view()).second) {
      return Damaged(path, "the id \"" + record.uni.str() + "\" comes twice");
    }
    if (record.lev < 2 || record.lev > previousLevel + 1) {
      return Damaged(path, "topic \"" + record.uni.str() + "\" has the level " + std::to_string(record.lev) +
                               " after " + std::to_string(previousLevel));
    }
    previousLevel = record.lev;
  }

  ReceivedFile received;
  for (TopicRecord* record : order) {
    std::unique_ptr<TopicRecord> taken = parsed.release(record);
    if (!received.header) {
      received.header = std::move(taken);
    } else {
      received.records.push_back(std::move(taken));
    }
  }
  return received;
}

ResultOf<ReceivedFile> ReadSendFile(const std::string& path, const std::string& scratchFolder) {
  if (const std::optional<FileStamp> stamp = fileSystem().stamp(path); stamp && stamp->size > kMaxSendFileBytes) {
    return TooLarge(path, stamp->size);
  }
  ResultOf<std::string> bytes = ReadWholeFile(path, OpenIntent::ReadPlainFile);
  if (!bytes) return bytes.status();
  if (bytes->size() > kMaxSendFileBytes) return TooLarge(path, bytes->size());
  const std::string copy = JoinPath(scratchFolder, NameOf(path));
  {
    ResultOf<FileHandle> target = fileSystem().open(copy, OpenIntent::CreateEmpty);
    if (!target) return target.status();
    if (Result written = fileSystem().write(*target, bytes->data(), bytes->size()); !written) return written;
  }
  ResultOf<ReceivedFile> received = ReadSendFile(copy);
  (void)fileSystem().remove(copy);
  return received;
}

}  // namespace tarvo
