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
// dropped with a log line; so is everything a connection sends past its deadline or past the
// number of messages one batch may hold.
//
// Threading: a server channel listens on the event loop of the thread that created it (the
// user-interface thread) without a thread of its own; its handler runs there, one batch per
// connection as each connection ends. A client that stays silent is dropped after a short
// time, and disposing of a channel never waits for a client. Sending blocks the caller (up to
// kBusyWaitMilliseconds per step) and may be used from any thread.

#include <sys/types.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"

class QLocalServer;

namespace tarvo {

inline constexpr std::size_t kMaxMessageBytes = 2047;
inline constexpr int kProbeMilliseconds = 200;
inline constexpr int kBusyWaitMilliseconds = 2000;
inline constexpr int kIdleClientMilliseconds = 2000;
inline constexpr int kConnectionDeadlineMilliseconds = 10000;
inline constexpr std::size_t kMaxMessagesPerBatch = 256;

using ChannelMessages = std::vector<std::string>;
using ChannelHandler = std::function<void(const ChannelMessages&)>;
using ChannelLog = std::function<void(const std::string&)>;

// The folder that holds the channels: $XDG_RUNTIME_DIR/tarvo, else /tmp/tarvo-<uid>; created
// with mode 0700. A failure says why it cannot be made safe (for example, owned by another
// user).
// When that folder is not safe (another user made it, or a link stands there), the channels
// use the fallback folder set here instead (the program sets one inside its data folder), and
// the result's note says so.
ResultOf<std::string> ChannelFolder();
void SetFallbackChannelFolder(std::string folder);

// Who may talk to a server channel, how long a silent client is waited for, how long any one
// connection may last and how many messages it may bring: no client can hold the channel or
// fill the memory.
struct ChannelOptions {
  uid_t allowedUser = getuid();
  int idleClientMilliseconds = kIdleClientMilliseconds;
  int deadlineMilliseconds = kConnectionDeadlineMilliseconds;
  std::size_t maxMessages = kMaxMessagesPerBatch;
};

class ChannelManager;

class Channel {
 public:
  explicit Channel(std::string name);
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  // The socket's path; empty when the runtime folder is not usable.
  [[nodiscard]] const std::string& pipePath() const { return pipePath_; }
  // Why there is no path, when there is none.
  [[nodiscard]] const std::string& problem() const { return problem_; }
  [[nodiscard]] bool isListening() const { return server_ != nullptr; }

 private:
  friend class ChannelManager;
  friend ResultOf<bool> CreateMarkerChannel(ChannelManager&, const std::string&);
  friend bool CreateServerChannel(ChannelManager&, const std::string&, ChannelHandler,
                                  const ChannelOptions&);
  friend void DisposeChannel(Channel&);

  bool listen(ChannelHandler handler, ChannelManager& manager, const ChannelOptions& options);

  std::string name_;
  std::string pipePath_;
  std::string problem_;
  std::string folderNote_;  // why the fallback folder is used, when it is
  int lockDescriptor_ = -1;  // the marker's lock
  std::unique_ptr<QLocalServer> server_;
};

class ChannelManager {
 public:
  ChannelManager() = default;
  ~ChannelManager();
  ChannelManager(const ChannelManager&) = delete;
  ChannelManager& operator=(const ChannelManager&) = delete;

  // Where log lines go; none: lines are kept until a sink is set, then handed over in order.
  void setLog(ChannelLog log);
  void log(const std::string& line);

  [[nodiscard]] const std::vector<std::unique_ptr<Channel>>& channels() const { return channels_; }
  // Stops serving the named channel (a window does this before it dies).
  void dispose(const std::string& name);

 private:
  friend ResultOf<bool> CreateMarkerChannel(ChannelManager&, const std::string&);
  friend bool CreateServerChannel(ChannelManager&, const std::string&, ChannelHandler,
                                  const ChannelOptions&);

  ChannelLog log_;
  std::vector<std::string> pending_;  // lines logged before there was a sink
  std::vector<std::unique_ptr<Channel>> channels_;
};

// True when a server of this channel answers within 200 ms.
bool PipeExists(const Channel& channel);
// Whether another instance holds the marker (true) or this process now holds it (false); a
// failure when the runtime folder or the lock cannot be made, which is not the same as
// another instance running.
ResultOf<bool> CreateMarkerChannel(ChannelManager& manager, const std::string& name);
// True when the channel is already served (or cannot be); false when this process now
// serves it.
bool CreateServerChannel(ChannelManager& manager, const std::string& name, ChannelHandler handler,
                         const ChannelOptions& options = {});
// Sends the messages on one connection; true when every one was delivered. `log` may be null.
bool SendToChannel(const Channel& channel, ChannelManager* log, const ChannelMessages& messages);
// Stops the server (dropping its clients at once) or releases the marker.
void DisposeChannel(Channel& channel);

}  // namespace tarvo
