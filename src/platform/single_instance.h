#pragma once

// One instance per user: the first start holds the marker channel; a later start wakes the
// running instance and ends without touching any data file.

#include "platform/channel.h"

namespace tarvo {

inline constexpr const char* kMarkerChannel = "tarvo_active";
inline constexpr const char* kCommandChannel = "tarvoslavemode";

enum class InstanceCheck {
  OnlyInstance,  // this process now holds the marker and goes on
  AnotherRuns,   // the running instance was sent "wakeup=now"; this process ends
};

// Whether this process is the only instance. A failure (the runtime folder or the lock cannot
// be made) is not "another instance runs": the caller says so and ends with an error. When
// another runs, `requests` follow "wakeup=now" in the same batch.
ResultOf<InstanceCheck> BecomeTheOnlyInstance(ChannelManager& channels, const ChannelMessages& requests = {});

// The request to show a file in the viewer ("view=<path>"); fails when the path would make a
// message longer than a channel carries.
ResultOf<std::string> ViewRequest(const std::string& absolutePath);

// The command's word and value of a channel line "word=value".
struct ChannelCommand {
  std::string word;
  std::string value;
};
ChannelCommand SplitCommand(const std::string& line);

}  // namespace tarvo
