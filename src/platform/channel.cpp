#include "platform/channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cstdlib>
#include <future>

namespace tarvo {
namespace {

constexpr int kAcceptPollMilliseconds = 100;
// A client that stays silent this long ends its batch, so it cannot hold the channel.
constexpr int kIdleClientMilliseconds = 5000;

QString Path(const std::string& path) { return QString::fromStdString(path); }

bool PeerIsThisUser(const QLocalSocket& socket) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  const auto descriptor = static_cast<int>(socket.socketDescriptor());
  if (getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  return credentials.uid == getuid();
}

// Splits what arrives at zero bytes; a message that grows past the limit is dropped.
class MessageReader {
 public:
  explicit MessageReader(ChannelManager* manager) : manager_(manager) {}

  void take(const QByteArray& bytes, ChannelMessages& messages) {
    for (const char byte : bytes) {
      if (byte == '\0') {
        finish(messages);
      } else if (!overlong_) {
        current_.push_back(byte);
        if (current_.size() > kMaxMessageBytes) {
          overlong_ = true;
          current_.clear();
        }
      }
    }
  }
  // The connection ended: bytes after the last zero still make a message.
  void close(ChannelMessages& messages) {
    if (!current_.empty() || overlong_) finish(messages);
  }

 private:
  void finish(ChannelMessages& messages) {
    if (overlong_) {
      manager_->log("Message longer than " + std::to_string(kMaxMessageBytes) + " bytes dropped");
    } else {
      manager_->log(current_);
      messages.push_back(current_);
    }
    current_.clear();
    overlong_ = false;
  }

  ChannelManager* manager_;
  std::string current_;
  bool overlong_ = false;
};

ChannelMessages ReadBatch(QLocalSocket& socket, ChannelManager* manager,
                          const std::atomic<bool>& stopping) {
  ChannelMessages messages;
  MessageReader reader(manager);
  for (;;) {
    if (socket.bytesAvailable() > 0) {
      reader.take(socket.readAll(), messages);
      continue;
    }
    if (socket.state() != QLocalSocket::ConnectedState) {
      manager->log("InstanceThread: client disconnected");
      break;
    }
    if (stopping || !socket.waitForReadyRead(kIdleClientMilliseconds)) {
      if (socket.bytesAvailable() > 0) continue;
      manager->log(socket.state() == QLocalSocket::ConnectedState
                       ? "InstanceThread ReadFile failed"
                       : "InstanceThread: client disconnected");
      break;
    }
  }
  reader.close(messages);
  return messages;
}

}  // namespace

std::string ChannelFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = runtime != nullptr && runtime[0] != '\0'
                                 ? std::string(runtime) + "/tarvo"
                                 : "/tmp/tarvo-" + std::to_string(getuid());
  ::mkdir(folder.c_str(), 0700);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
    return {};
  }
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
  return folder;
}

Channel::Channel(std::string name) : name_(std::move(name)) {
  const std::string folder = ChannelFolder();
  pipePath_ = folder.empty() ? std::string() : folder + "/" + name_;
}

Channel::~Channel() { DisposeChannel(*this); }

void Channel::listen(ChannelHandler handler, ChannelManager* manager) {
  std::promise<bool> ready;
  std::future<bool> listening = ready.get_future();
  listener_.reset(QThread::create([this, handler = std::move(handler), manager, &ready] {
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(Path(pipePath_));  // a leftover of a crashed run
    const bool ok = server.listen(Path(pipePath_));
    ready.set_value(ok);
    if (!ok) return;
    manager->log(pipePath_ + " waiting");
    while (!stopping_) {
      if (!server.waitForNewConnection(kAcceptPollMilliseconds)) continue;
      std::unique_ptr<QLocalSocket> socket(server.nextPendingConnection());
      if (!socket) continue;
      if (!PeerIsThisUser(*socket)) {
        manager->log(name_ + " refused a client of another user");
        continue;
      }
      manager->log(name_ + " client connected");
      const ChannelMessages messages = ReadBatch(*socket, manager, stopping_);
      if (handler) handler(messages);
      socket->disconnectFromServer();
      manager->log(pipePath_ + " waiting");
    }
  }));
  listener_->start();
  if (!listening.get()) {
    listener_->wait();
    listener_.reset();
    manager->log("Channel could not listen: " + name_);
  }
}

ChannelManager::~ChannelManager() {
  for (auto& channel : channels_) DisposeChannel(*channel);
}

void ChannelManager::setLog(ChannelLog log) {
  const std::lock_guard lock(logMutex_);
  log_ = std::move(log);
}

void ChannelManager::log(const std::string& line) {
  const std::lock_guard lock(logMutex_);
  if (log_) log_(line);
}

bool PipeExists(const Channel& channel) {
  if (channel.pipePath().empty()) return false;
  QLocalSocket probe;
  probe.connectToServer(Path(channel.pipePath()));
  const bool answered = probe.waitForConnected(kProbeMilliseconds);
  if (answered) {
    probe.disconnectFromServer();
    if (probe.state() != QLocalSocket::UnconnectedState) probe.waitForDisconnected(kProbeMilliseconds);
  }
  return answered;
}

bool CreateMarkerChannel(ChannelManager& manager, const std::string& name) {
  auto channel = std::make_unique<Channel>(name);
  bool held = false;
  if (!channel->pipePath_.empty()) {
    const std::string lockPath = channel->pipePath_ + ".lock";
    channel->lockDescriptor_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    held = channel->lockDescriptor_ >= 0 && ::flock(channel->lockDescriptor_, LOCK_EX | LOCK_NB) == 0;
  }
  if (!held) {
    manager.log("Channel already exists: " + name);
    return true;
  }
  // The socket lets others see the instance; the lock is what makes it exclusive.
  channel->listen(nullptr, &manager);
  manager.log("Channel created OK: " + name);
  manager.channels_.push_back(std::move(channel));
  return false;
}

bool CreateServerChannel(ChannelManager& manager, const std::string& name, ChannelHandler handler) {
  auto channel = std::make_unique<Channel>(name);
  if (channel->pipePath_.empty() || PipeExists(*channel)) {
    manager.log("Channel already exists: " + name);
    return true;
  }
  manager.log("Channel created OK: " + name);
  channel->listen(std::move(handler), &manager);
  manager.channels_.push_back(std::move(channel));
  return false;
}

bool SendToChannel(const Channel& channel, ChannelManager* log, const ChannelMessages& messages) {
  const auto say = [log](const std::string& line) {
    if (log != nullptr) log->log(line);
  };
  say("Connecting to: " + channel.pipePath());
  QLocalSocket socket;
  socket.connectToServer(Path(channel.pipePath()));
  if (!socket.waitForConnected(kBusyWaitMilliseconds)) {
    const bool absent = socket.error() == QLocalSocket::ServerNotFoundError ||
                        socket.error() == QLocalSocket::ConnectionRefusedError ||
                        channel.pipePath().empty();
    say((absent ? "Could not open pipe(1): " : "Could not open pipe(2): ") + channel.name());
    return false;
  }
  for (const std::string& text : messages) {
    say("Writing data: " + text);
    QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    bytes.append('\0');
    bool written = text.size() <= kMaxMessageBytes && text.find('\0') == std::string::npos &&
                   socket.write(bytes) == bytes.size();
    while (written && socket.bytesToWrite() > 0) {
      written = socket.waitForBytesWritten(kBusyWaitMilliseconds);
    }
    if (!written) {
      say("WriteFile failed: " + channel.name());
      return false;
    }
  }
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kBusyWaitMilliseconds);
  return true;
}

void DisposeChannel(Channel& channel) {
  channel.stopping_ = true;
  if (channel.listener_ != nullptr) {
    channel.listener_->wait();
    channel.listener_.reset();
  }
  if (channel.lockDescriptor_ >= 0) {
    ::close(channel.lockDescriptor_);
    channel.lockDescriptor_ = -1;
  }
}

}  // namespace tarvo
