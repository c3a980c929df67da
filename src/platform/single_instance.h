#pragma once

// One instance per user: the first start holds the marker channel; a later start wakes the
// running instance and ends without touching any data file.

#include "platform/channel.h"

namespace tarvo {

inline constexpr const char* kMarkerChannel = "tarvo_active";
inline constexpr const char* kCommandChannel = "tarvoslavemode";

// True when this process is now the only instance. Otherwise the running instance was sent
// "wakeup=now" (when its command channel answers) and this process must end.
bool BecomeTheOnlyInstance(ChannelManager& channels);

// The command's word and value of a channel line "word=value".
struct ChannelCommand {
  std::string word;
  std::string value;
};
ChannelCommand SplitCommand(const std::string& line);

}  // namespace tarvo
