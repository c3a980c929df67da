#include "platform/channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

constexpr int kGenerous = 20000;  // bounds for waits, never expected to be reached

// Collects the batches a server hands over and the log lines.
struct Inbox {
  std::vector<ChannelMessages> batches;
  std::vector<std::string> lines;

  ChannelHandler handler() {
    return [this](const ChannelMessages& messages) { batches.push_back(messages); };
  }
  ChannelLog log() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
  bool waitFor(std::size_t count) {
    return QTest::qWaitFor([&] { return batches.size() >= count; }, kGenerous);
  }
  bool logged(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  bool waitForLine(const std::string& line) {
    return QTest::qWaitFor([&] { return logged(line); }, kGenerous);
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

  std::string socketPath(const std::string& name) const { return runtime_.path() + "/tarvo/" + name; }

  test::TempFolder runtime_;
  std::string previous_;
  Inbox inbox_;
  ChannelManager manager_;
};

TEST_F(ChannelTest, MessagesOfOneConnectionArriveAsOneListInOrderAndNoServerIsAFailure) {
  const Channel client("commands");
  EXPECT_FALSE(PipeExists(client));
  EXPECT_FALSE(SendToChannel(client, &manager_, {"wakeup=now"}));
  EXPECT_TRUE(inbox_.logged("Could not open pipe(1): commands"));

  ASSERT_FALSE(CreateServerChannel(manager_, "commands", inbox_.handler()));
  EXPECT_TRUE(inbox_.logged("Channel created OK: commands"));
  EXPECT_EQ(client.pipePath(), socketPath("commands"));
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

// The marker is held by one process at a time, and the socket and lock files a crashed run
// leaves behind never block the next start. Lines logged before a log exists are kept.
TEST_F(ChannelTest, MarkerIsExclusiveAndALeftoverNeverBlocks) {
  ASSERT_TRUE(ChannelFolder());
  std::ofstream(socketPath("tarvo_active")) << "stale";
  std::ofstream(socketPath("tarvo_active.lock")) << "";

  const ResultOf<bool> first = CreateMarkerChannel(manager_, "tarvo_active");
  ASSERT_TRUE(first) << first.reason();
  EXPECT_FALSE(*first) << "this process holds it now";
  EXPECT_TRUE(PipeExists(Channel("tarvo_active")));
  {
    ChannelManager second;
    const ResultOf<bool> again = CreateMarkerChannel(second, "tarvo_active");
    ASSERT_TRUE(again);
    EXPECT_TRUE(*again) << "another holder exists";
  }
  DisposeChannel(*manager_.channels().front());
  ChannelManager next;  // without a log yet
  EXPECT_FALSE(CreateMarkerChannel(next, "tarvo_active").value()) << "released: the next start holds it";
  Inbox later;
  next.setLog(later.log());
  ASSERT_GE(later.lines.size(), 2u);
  EXPECT_EQ(later.lines.back(), "Channel created OK: tarvo_active") << "handed over in order";
  next.log("after");
  EXPECT_EQ(later.lines.back(), "after");
}

TEST_F(ChannelTest, AnUnusableRuntimeFolderIsAFailureNotAnotherInstance) {
  std::ofstream(runtime_.path() + "/tarvo") << "a file where the folder belongs";
  ChannelManager manager;
  const ResultOf<bool> marker = CreateMarkerChannel(manager, "tarvo_active");
  ASSERT_FALSE(marker);
  EXPECT_NE(marker.reason().find(runtime_.path() + "/tarvo"), std::string::npos) << marker.reason();
  EXPECT_NE(marker.reason().find("not a folder"), std::string::npos) << marker.reason();
}

TEST_F(ChannelTest, OverlongMessagesAreDroppedAndTheRestDelivered) {
  ASSERT_FALSE(CreateServerChannel(manager_, "long", inbox_.handler()));
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(socketPath("long")));
  ASSERT_TRUE(socket.waitForConnected(kGenerous));
  QByteArray bytes(3000, 'x');
  bytes.append('\0').append("after", 5).append('\0');
  socket.write(bytes);
  while (socket.bytesToWrite() > 0) ASSERT_TRUE(socket.waitForBytesWritten(kGenerous));
  socket.disconnectFromServer();
  ASSERT_TRUE(inbox_.waitFor(1));
  EXPECT_EQ(inbox_.batches[0], ChannelMessages{"after"});
  EXPECT_TRUE(inbox_.logged("Message longer than 2047 bytes dropped"));

  const Channel client("long");
  EXPECT_FALSE(SendToChannel(client, &manager_, {std::string(2048, 'y')}));
  EXPECT_TRUE(inbox_.logged("WriteFile failed: long"));
}

// A client that connects and says nothing is dropped after the idle time, with what it sent
// handed over; and disposing of a channel cuts its clients off at once instead of waiting.
TEST_F(ChannelTest, SilentClientsAreDroppedAndNeverHoldTheChannel) {
  ASSERT_FALSE(CreateServerChannel(manager_, "idle", inbox_.handler(), {.idleClientMilliseconds = 50}));
  QLocalSocket silent;
  silent.connectToServer(QString::fromStdString(socketPath("idle")));
  ASSERT_TRUE(silent.waitForConnected(kGenerous));
  silent.write(QByteArray("half", 4));  // no closing zero byte: still a message when dropped
  silent.flush();
  ASSERT_TRUE(inbox_.waitForLine("InstanceThread ReadFile failed"));
  ASSERT_TRUE(inbox_.waitFor(1));
  EXPECT_EQ(inbox_.batches[0], ChannelMessages{"half"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return silent.state() == QLocalSocket::UnconnectedState; }, kGenerous));

  ChannelManager patient;
  Inbox never;
  ASSERT_FALSE(CreateServerChannel(patient, "patient", never.handler()));
  QLocalSocket waiting;
  waiting.connectToServer(QString::fromStdString(socketPath("patient")));
  ASSERT_TRUE(waiting.waitForConnected(kGenerous));
  ASSERT_TRUE(QTest::qWaitFor([&] { return patient.channels().front()->isListening(); }, kGenerous));
  QTest::qWait(0);  // let the server take the connection
  patient.dispose("patient");
  EXPECT_FALSE(patient.channels().front()->isListening());
  EXPECT_TRUE(QTest::qWaitFor([&] { return waiting.state() == QLocalSocket::UnconnectedState; }, kGenerous));
  EXPECT_TRUE(never.batches.empty()) << "nothing is handed over while the channel goes";
}

// A client that keeps talking, a little at a time, is cut off at the connection's deadline
// with what it sent; a flood of messages is cut at the batch's limit with one log line.
TEST_F(ChannelTest, NoConnectionHoldsTheChannelOrFillsTheMemory) {
  ASSERT_FALSE(CreateServerChannel(manager_, "busy", inbox_.handler(),
                                   {.idleClientMilliseconds = 60000, .deadlineMilliseconds = 200, .maxMessages = 3}));
  QLocalSocket trickle;
  trickle.connectToServer(QString::fromStdString(socketPath("busy")));
  ASSERT_TRUE(trickle.waitForConnected(kGenerous));
  trickle.write(QByteArray("one\0", 4));
  trickle.flush();
  // Never silent for long, so only the deadline can end it.
  EXPECT_TRUE(QTest::qWaitFor([&] {
    if (trickle.state() == QLocalSocket::ConnectedState) {
      trickle.write("x", 1);
      trickle.flush();
    }
    return inbox_.logged("InstanceThread: client took too long; the rest dropped");
  }, kGenerous));
  ASSERT_TRUE(inbox_.waitFor(1));
  EXPECT_EQ(inbox_.batches[0].front(), "one");

  ASSERT_TRUE(SendToChannel(Channel("busy"), nullptr, {"a", "b", "c", "d", "e"}));
  ASSERT_TRUE(inbox_.waitFor(2));
  EXPECT_EQ(inbox_.batches[1], (ChannelMessages{"a", "b", "c"}));
  EXPECT_EQ(std::count(inbox_.lines.begin(), inbox_.lines.end(),
                       "More than 3 messages on one connection; the rest dropped"), 1);
}

// The server asks the kernel who connected: a peer whose user id is not the one allowed is
// refused and its messages never reach the handler.
TEST_F(ChannelTest, PeersOfAnotherUserAreRefusedByTheirCredentials) {
  ASSERT_FALSE(CreateServerChannel(manager_, "private", inbox_.handler(), {.allowedUser = getuid() + 1}));
  ASSERT_TRUE(SendToChannel(Channel("private"), nullptr, {"close"})) << "the connection itself is made";
  ASSERT_TRUE(inbox_.waitForLine("private refused a client of another user"));
  EXPECT_TRUE(inbox_.batches.empty()) << "the connection was cut before anything was read";
}

TEST_F(ChannelTest, ARealOtherUserIsRefusedToo) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ASSERT_FALSE(CreateServerChannel(manager_, "shared", inbox_.handler()));
  // Open the way to the socket, so that only the credential check stands between.
  ASSERT_EQ(chmod((runtime_.path() + "/tarvo").c_str(), 0755), 0);
  ASSERT_EQ(chmod(runtime_.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(socketPath("shared").c_str(), 0777), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Plain system calls only: the forked child must not touch the parent's Qt objects.
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    const std::string path = socketPath("shared");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) _exit(4);
    const bool sent = write(descriptor, "close", 6) == 6;
    _exit(sent ? 0 : 5);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "the other user reached the socket";
  ASSERT_TRUE(inbox_.waitForLine("shared refused a client of another user"));
  ASSERT_TRUE(SendToChannel(Channel("shared"), nullptr, {"mine"}));
  ASSERT_TRUE(inbox_.waitFor(1));
  ASSERT_EQ(inbox_.batches.size(), 1u);
  EXPECT_EQ(inbox_.batches.front(), ChannelMessages{"mine"});
}

}  // namespace
}  // namespace tarvo
