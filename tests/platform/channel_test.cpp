#include "platform/channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLocalSocket>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;

// Collects the batches a server hands over and the log lines, from any thread.
struct Inbox {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<ChannelMessages> batches;
  std::vector<std::string> lines;

  ChannelHandler handler() {
    return [this](const ChannelMessages& messages) {
      const std::lock_guard lock(mutex);
      batches.push_back(messages);
      arrived.notify_all();
    };
  }
  ChannelLog log() {
    return [this](const std::string& line) {
      const std::lock_guard lock(mutex);
      lines.push_back(line);
    };
  }
  // Waits for `count` batches; a generous bound so a slow machine never fails the test.
  bool waitFor(std::size_t count) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, 20s, [&] { return batches.size() >= count; });
  }
  bool logged(const std::string& line) {
    const std::lock_guard lock(mutex);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

// Each test gets a runtime folder of its own, so tests may run side by side.
class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    previous_ = previous != nullptr ? previous : "";
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    manager_.setLog(inbox_.log());
  }
  void TearDown() override { setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1); }

  test::TempFolder runtime_;
  std::string previous_;
  Inbox inbox_;
  ChannelManager manager_;
};

TEST_F(ChannelTest, MessagesOfOneConnectionArriveAsOneListInOrder) {
  ASSERT_FALSE(CreateServerChannel(manager_, "commands", inbox_.handler()));
  EXPECT_TRUE(inbox_.logged("Channel created OK: commands"));
  const Channel client("commands");
  EXPECT_EQ(client.pipePath(), runtime_.path() + "/tarvo/commands");
  ASSERT_TRUE(SendToChannel(client, &manager_, {"wakeup=now", "run=a,b", "päivä"}));
  ASSERT_TRUE(SendToChannel(client, nullptr, {}));
  ASSERT_TRUE(inbox_.waitFor(2));
  EXPECT_EQ(inbox_.batches[0], (ChannelMessages{"wakeup=now", "run=a,b", "päivä"}));
  EXPECT_TRUE(inbox_.batches[1].empty()) << "a connection without messages is an empty batch";
  EXPECT_TRUE(inbox_.logged("Writing data: run=a,b"));
  EXPECT_TRUE(inbox_.logged("commands client connected"));

  Inbox second;
  ChannelManager other;
  EXPECT_TRUE(CreateServerChannel(other, "commands", second.handler())) << "already served";
}

TEST_F(ChannelTest, SendingToNoServerFailsAndLogs) {
  const Channel nobody("nobody");
  EXPECT_FALSE(PipeExists(nobody));
  EXPECT_FALSE(SendToChannel(nobody, &manager_, {"wakeup=now"}));
  EXPECT_TRUE(inbox_.logged("Could not open pipe(1): nobody"));
}

TEST_F(ChannelTest, MarkerIsExclusiveAndALeftoverNeverBlocks) {
  // A crashed run leaves its socket file and lock file behind.
  ASSERT_FALSE(ChannelFolder().empty());
  std::ofstream(runtime_.path() + "/tarvo/tarvo_active") << "stale";
  std::ofstream(runtime_.path() + "/tarvo/tarvo_active.lock") << "";

  ASSERT_FALSE(CreateMarkerChannel(manager_, "tarvo_active"));
  EXPECT_TRUE(PipeExists(Channel("tarvo_active")));
  {
    ChannelManager second;
    EXPECT_TRUE(CreateMarkerChannel(second, "tarvo_active"));
  }
  DisposeChannel(*manager_.channels().front());
  ChannelManager next;
  EXPECT_FALSE(CreateMarkerChannel(next, "tarvo_active")) << "released: the next start holds it";
}

TEST_F(ChannelTest, OverlongMessagesAreDroppedAndTheRestDelivered) {
  ASSERT_FALSE(CreateServerChannel(manager_, "long", inbox_.handler()));
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(runtime_.path() + "/tarvo/long"));
  ASSERT_TRUE(socket.waitForConnected(5000));
  QByteArray bytes(3000, 'x');
  bytes.append('\0').append("after", 5).append('\0');
  socket.write(bytes);
  while (socket.bytesToWrite() > 0) ASSERT_TRUE(socket.waitForBytesWritten(5000));
  socket.disconnectFromServer();
  ASSERT_TRUE(inbox_.waitFor(1));
  EXPECT_EQ(inbox_.batches[0], ChannelMessages{"after"});
  EXPECT_TRUE(inbox_.logged("Message longer than 2047 bytes dropped"));

  const Channel client("long");
  EXPECT_FALSE(SendToChannel(client, &manager_, {std::string(2048, 'y')}));
  EXPECT_TRUE(inbox_.logged("WriteFile failed: long"));
}

TEST_F(ChannelTest, OtherUsersCannotReachTheChannel) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ASSERT_FALSE(CreateServerChannel(manager_, "private", inbox_.handler()));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Plain system calls only: the forked child must not touch the parent's threads.
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    const std::string path = runtime_.path() + "/tarvo/private";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) _exit(0);
    const bool sent = write(descriptor, "close", 6) == 6;
    _exit(sent ? 1 : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the other user's message was delivered";
  ASSERT_TRUE(SendToChannel(Channel("private"), nullptr, {"mine"}));
  ASSERT_TRUE(inbox_.waitFor(1));
  EXPECT_EQ(inbox_.batches.back(), ChannelMessages{"mine"});
  for (const ChannelMessages& batch : inbox_.batches) {
    EXPECT_EQ(std::count(batch.begin(), batch.end(), "close"), 0);
  }
}

}  // namespace
}  // namespace tarvo
