#pragma once

// Channels between processes of the same user on this computer: a marker whose existence
// shows that an instance runs, and command channels that receive short text messages.
//
// A channel is a local socket in the user's runtime folder (<runtime>/<name>), a folder only
// the user can enter; a connecting peer of another user id is refused as well. The marker is
// an exclusive lock on <runtime>/<name>.lock held for the run, so a crashed run never blocks
// the next start and two starts at once leave exactly one holder.
//
// Wire format: each message is its bytes followed by one zero byte; a connection carries any
// number of messages and its end ends the batch. A message longer than kMaxMessageBytes is
// dropped with a log line.
//
// Threading: a server channel listens on a thread of its own and calls the handler there, one
// batch at a time in arrival order. Log lines come from both threads; the log sink is called
// under one lock.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThread;

namespace tarvo {

inline constexpr std::size_t kMaxMessageBytes = 2047;
inline constexpr int kProbeMilliseconds = 200;
inline constexpr int kBusyWaitMilliseconds = 2000;

using ChannelMessages = std::vector<std::string>;
using ChannelHandler = std::function<void(const ChannelMessages&)>;
using ChannelLog = std::function<void(const std::string&)>;

// The folder that holds the channels: $XDG_RUNTIME_DIR/tarvo, else /tmp/tarvo-<uid>; created
// with mode 0700. Empty when it cannot be made safe (for example, owned by another user).
std::string ChannelFolder();

class Channel {
 public:
  explicit Channel(std::string name);
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  // The socket's path.
  [[nodiscard]] const std::string& pipePath() const { return pipePath_; }
  [[nodiscard]] bool isListening() const { return listener_ != nullptr; }

 private:
  friend class ChannelManager;
  friend bool CreateMarkerChannel(class ChannelManager&, const std::string&);
  friend bool CreateServerChannel(class ChannelManager&, const std::string&, ChannelHandler);
  friend void DisposeChannel(Channel&);

  void listen(ChannelHandler handler, class ChannelManager* manager);

  std::string name_;
  std::string pipePath_;
  int lockDescriptor_ = -1;  // the marker's lock
  std::atomic<bool> stopping_{false};
  std::unique_ptr<QThread> listener_;  // a QThread: Qt's sockets need one
};

class ChannelManager {
 public:
  ChannelManager() = default;
  ~ChannelManager();
  ChannelManager(const ChannelManager&) = delete;
  ChannelManager& operator=(const ChannelManager&) = delete;

  // Where log lines go; none: nothing is logged.
  void setLog(ChannelLog log);
  void log(const std::string& line);

  [[nodiscard]] const std::vector<std::unique_ptr<Channel>>& channels() const { return channels_; }

 private:
  friend bool CreateMarkerChannel(ChannelManager&, const std::string&);
  friend bool CreateServerChannel(ChannelManager&, const std::string&, ChannelHandler);

  std::mutex logMutex_;
  ChannelLog log_;
  std::vector<std::unique_ptr<Channel>> channels_;
};

// True when a server of this channel answers within 200 ms.
bool PipeExists(const Channel& channel);
// True when another instance holds the marker; false when this process now holds it.
bool CreateMarkerChannel(ChannelManager& manager, const std::string& name);
// True when the channel is already served; false when this process now serves it.
bool CreateServerChannel(ChannelManager& manager, const std::string& name, ChannelHandler handler);
// Sends the messages on one connection; true when every one was delivered. `log` may be null.
bool SendToChannel(const Channel& channel, ChannelManager* log, const ChannelMessages& messages);
// Stops the listener or releases the marker.
void DisposeChannel(Channel& channel);

}  // namespace tarvo
