#pragma once

// The send file: a copy of one topic with its whole subtree, as a structure file headed by a
// group record ("From: ann - 20260305-090703") under which the receiver hangs the topics.
//
// A send file comes from a shared folder, so reading it trusts nothing: it is used only when
// the whole file parsed, its first record is the header, every other record has an id that can
// name a file, no id comes twice, and the levels step down one at a time. Sizes are bounded so
// that a file dropped into an inbox cannot stall or exhaust the program.

#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "structure/topic_record.h"
#include "structure/topic_tree.h"

namespace tarvo {

inline constexpr const char* kHeaderId = "-1";
inline constexpr std::uint64_t kMaxSendFileBytes = 64ull << 20;
inline constexpr std::size_t kMaxSentTopics = 20000;

struct SendOptions {
  std::string senderName;  // as the user typed it
  std::string stamp;       // StampText of the moment of sending
  std::string shortStamp;  // ShortStampText of the same moment
  bool lock = false;       // receivers may not change the topics
};

using RecordList = std::vector<std::unique_ptr<TopicRecord>>;

// The records of a send file for `topic` and its subtree: the header first, then copies in
// display order with their exchange ids, levels from 2 down. A failure when the subtree holds
// more topics than a send file may.
ResultOf<RecordList> SendRecordsOf(const TopicNode& topic, const SendOptions& options);

// Writes the records as a structure file under a temporary name beside `path`, forced to disk,
// then renamed: the file appears complete or not at all.
Result WriteSendFile(const std::string& path, const RecordList& records);

struct ReceivedFile {
  std::unique_ptr<TopicRecord> header;
  RecordList records;  // the topics in file order, levels as sent (2 and deeper)
};

// Reads a send file whole, or fails with the reason and reads nothing.
ResultOf<ReceivedFile> ReadSendFile(const std::string& path);
// The same for a file in a folder others write: it is opened once, as a plain file (never a
// link, pipe or device), its bytes copied into `scratchFolder` under the same name, and that
// copy is read, so nobody can swap the file between the check and the reading.
ResultOf<ReceivedFile> ReadSendFile(const std::string& path, const std::string& scratchFolder);

}  // namespace tarvo
