#include "platform/single_instance.h"

namespace tarvo {

ResultOf<InstanceCheck> BecomeTheOnlyInstance(ChannelManager& channels, const ChannelMessages& requests) {
  ResultOf<bool> held = CreateMarkerChannel(channels, kMarkerChannel);
  if (!held) return held.status();
  if (!*held) return InstanceCheck::OnlyInstance;
  const Channel running(kCommandChannel);
  ChannelMessages batch{"wakeup=now"};
  batch.insert(batch.end(), requests.begin(), requests.end());
  if (PipeExists(running)) SendToChannel(running, &channels, batch);
  return InstanceCheck::AnotherRuns;
}

ResultOf<std::string> ViewRequest(const std::string& absolutePath) {
  std::string message = "view=" + absolutePath;
  if (message.size() > kMaxMessageBytes) {
    return Result::Failure("the path is longer than a request to the running instance can carry: " + absolutePath);
  }
  return message;
}

ChannelCommand SplitCommand(const std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) return {line, {}};
  return {line.substr(0, equals), line.substr(equals + 1)};
}

}  // namespace tarvo
