#include "platform/channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QTimer>
#include <cerrno>
#include <cstdlib>

namespace tarvo {
namespace {

QString Path(const std::string& path) { return QString::fromStdString(path); }

bool PeerIs(const QLocalSocket& socket, uid_t user) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  const auto descriptor = static_cast<int>(socket.socketDescriptor());
  if (getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  return credentials.uid == user;
}

// Splits what arrives at zero bytes; a message that grows past the limit is dropped.
class MessageReader {
 public:
  MessageReader(ChannelManager& manager, std::size_t maxMessages)
      : manager_(manager), maxMessages_(maxMessages) {}

  void take(const QByteArray& bytes) {
    for (const char byte : bytes) {
      if (byte == '\0') {
        finish();
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
  ChannelMessages close() {
    if (!current_.empty() || overlong_) finish();
    return std::move(messages_);
  }

 private:
  void finish() {
    if (messages_.size() >= maxMessages_) {
      if (!overflowing_) {
        manager_.log("More than " + std::to_string(maxMessages_) + " messages on one connection; the rest dropped");
        overflowing_ = true;
      }
    } else if (overlong_) {
      manager_.log("Message longer than " + std::to_string(kMaxMessageBytes) + " bytes dropped");
    } else {
      manager_.log(current_);
      messages_.push_back(current_);
    }
    current_.clear();
    overlong_ = false;
  }

  ChannelManager& manager_;
  std::size_t maxMessages_;
  std::string current_;
  bool overlong_ = false;
  bool overflowing_ = false;
  ChannelMessages messages_;
};

// One client of a server channel, from its connection to the end of its batch. It belongs to
// its socket and goes with it.
class Client : public QObject {
 public:
  Client(QLocalSocket* socket, const std::string& pipePath, const ChannelHandler& handler,
         ChannelManager& manager, const ChannelOptions& options)
      : QObject(socket), socket_(socket), pipePath_(pipePath), handler_(handler),
        manager_(manager), reader_(manager, options.maxMessages) {
    idle_.setSingleShot(true);
    idle_.setInterval(options.idleClientMilliseconds);
    QObject::connect(&idle_, &QTimer::timeout, this, [this] { drop("InstanceThread ReadFile failed"); });
    deadline_.setSingleShot(true);
    deadline_.setInterval(options.deadlineMilliseconds);
    QObject::connect(&deadline_, &QTimer::timeout, this,
                     [this] { drop("InstanceThread: client took too long; the rest dropped"); });
    deadline_.start();
    QObject::connect(socket_, &QLocalSocket::readyRead, this, [this] { read(); });
    QObject::connect(socket_, &QLocalSocket::disconnected, this,
                     [this] { drop("InstanceThread: client disconnected"); });
    idle_.start();
    read();  // bytes may have arrived with the connection
  }

 private:
  void read() {
    if (done_) return;
    reader_.take(socket_->readAll());
    idle_.start();
  }
  // Ends the batch: hands it over once and lets the socket go.
  void drop(const char* why) {
    if (done_) return;
    read();
    done_ = true;
    idle_.stop();
    deadline_.stop();
    manager_.log(why);
    const ChannelMessages messages = reader_.close();
    if (handler_) handler_(messages);
    manager_.log(pipePath_ + " waiting");
    socket_->abort();
    socket_->deleteLater();
  }

  QLocalSocket* socket_;
  std::string pipePath_;
  ChannelHandler handler_;
  ChannelManager& manager_;
  MessageReader reader_;
  QTimer idle_;
  QTimer deadline_;  // the whole connection's time, however busy it keeps
  bool done_ = false;
};

}  // namespace

namespace {

std::string& FallbackFolder() {
  static std::string folder;
  return folder;
}

// Makes `folder` (its parent must exist) when missing, and accepts it only as a private folder
// of this user, never through a link.
Result PrivateFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return Result::FromErrno("cannot create the runtime folder", folder, errno);
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    return Result::FromErrno("cannot reach the runtime folder", folder, errno);
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
    return Result::Failure("the runtime folder " + folder +
                           " is not a folder of this user; it is not safe to use");
  }
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
    return Result::FromErrno("cannot make the runtime folder private", folder, errno);
  }
  return {};
}

}  // namespace

void SetFallbackChannelFolder(std::string folder) { FallbackFolder() = std::move(folder); }

ResultOf<std::string> ChannelFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string folder = runtime != nullptr && runtime[0] != '\0'
                                 ? std::string(runtime) + "/tarvo"
                                 : "/tmp/tarvo-" + std::to_string(getuid());
  const Result usable = PrivateFolder(folder);
  if (usable) return folder;
  const std::string& fallback = FallbackFolder();
  if (fallback.empty()) return usable;
  const std::string parent = fallback.substr(0, fallback.find_last_of('/'));
  if (::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) {
    return Result::Failure(usable.reason() + "; and " + Result::FromErrno("cannot create", parent, errno).reason());
  }
  if (Result own = PrivateFolder(fallback); !own) {
    return Result::Failure(usable.reason() + "; and " + own.reason());
  }
  return ResultOf<std::string>::Noted(fallback, "*** " + usable.reason() + "; the channels use " + fallback + " instead");
}

Channel::Channel(std::string name) : name_(std::move(name)) {
  ResultOf<std::string> folder = ChannelFolder();
  if (folder) {
    pipePath_ = *folder + "/" + name_;
    folderNote_ = folder.note();
  } else {
    problem_ = folder.reason();
  }
}

Channel::~Channel() { DisposeChannel(*this); }

bool Channel::listen(ChannelHandler handler, ChannelManager& manager, const ChannelOptions& options) {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(Path(pipePath_));  // a leftover of a crashed run
  if (!server_->listen(Path(pipePath_))) {
    manager.log("Channel could not listen: " + name_ + " (" + server_->errorString().toStdString() + ")");
    server_.reset();
    return false;
  }
  QLocalServer* server = server_.get();
  QObject::connect(server, &QLocalServer::newConnection, server,
                   [this, server, handler = std::move(handler), &manager, options] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      if (!PeerIs(*socket, options.allowedUser)) {
        manager.log(name_ + " refused a client of another user");
        socket->abort();
        socket->deleteLater();
        continue;
      }
      manager.log(name_ + " client connected");
      new Client(socket, pipePath_, handler, manager, options);
    }
  });
  manager.log(pipePath_ + " waiting");
  return true;
}

ChannelManager::~ChannelManager() {
  for (auto& channel : channels_) DisposeChannel(*channel);
}

void ChannelManager::setLog(ChannelLog log) {
  log_ = std::move(log);
  if (!log_) return;
  std::vector<std::string> earlier = std::move(pending_);
  pending_.clear();
  for (const std::string& line : earlier) log_(line);
}

void ChannelManager::log(const std::string& line) {
  if (log_) {
    log_(line);
  } else {
    pending_.push_back(line);
  }
}

void ChannelManager::dispose(const std::string& name) {
  for (auto& channel : channels_) {
    if (channel->name() == name) DisposeChannel(*channel);
  }
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

ResultOf<bool> CreateMarkerChannel(ChannelManager& manager, const std::string& name) {
  auto channel = std::make_unique<Channel>(name);
  if (channel->pipePath_.empty()) {
    return Result::Failure("the instance marker cannot be made: " + channel->problem_);
  }
  const std::string lockPath = channel->pipePath_ + ".lock";
  channel->lockDescriptor_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (channel->lockDescriptor_ < 0) return Result::FromErrno("cannot open the lock", lockPath, errno);
  if (::flock(channel->lockDescriptor_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) return Result::FromErrno("cannot take the lock", lockPath, errno);
    manager.log("Channel already exists: " + name);
    return true;
  }
  if (!channel->folderNote_.empty()) manager.log(channel->folderNote_);
  // The socket lets others see the instance; the lock is what makes it exclusive.
  channel->listen(nullptr, manager, {});
  manager.log("Channel created OK: " + name);
  manager.channels_.push_back(std::move(channel));
  return false;
}

bool CreateServerChannel(ChannelManager& manager, const std::string& name, ChannelHandler handler,
                         const ChannelOptions& options) {
  auto channel = std::make_unique<Channel>(name);
  if (channel->pipePath_.empty() || PipeExists(*channel)) {
    manager.log("Channel already exists: " + name);
    return true;
  }
  manager.log("Channel created OK: " + name);
  if (!channel->listen(std::move(handler), manager, options)) return true;
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
  // Closing the server ends its clients too: their sockets are its children. They are cut off
  // first, so no batch is handed over while the channel goes.
  if (channel.server_ != nullptr) {
    for (QLocalSocket* socket : channel.server_->findChildren<QLocalSocket*>()) {
      QObject::disconnect(socket, nullptr, nullptr, nullptr);
      socket->abort();
    }
  }
  channel.server_.reset();
  if (channel.lockDescriptor_ >= 0) {
    ::close(channel.lockDescriptor_);
    channel.lockDescriptor_ = -1;
  }
}

}  // namespace tarvo
