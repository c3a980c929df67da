#include "sharing/shared_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <string>
#include <vector>

#include "base/date_text.h"
#include "store/data_file.h"
#include "store/pair_file.h"
#include "store/pair_list.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

const QDateTime kMorning(QDate(2026, 3, 4), QTime(5, 6, 7));

ConnectionEntries Entries(const std::string& folder, const std::string& user,
                          const std::string& password) {
  return {folder, password, user, false};
}

AskCreateConnection Answer(bool yes, int* asked = nullptr) {
  return [yes, asked] {
    if (asked != nullptr) ++*asked;
    return yes;
  };
}

std::string SharedPassword(const std::string& path) {
  PairList pairs;
  EXPECT_TRUE(LoadPairFile(path, pairs, /*secure=*/true).ok());
  EXPECT_EQ(pairs.size(), 1u);
  return std::string(pairs.valueOf("pw"));
}

void MakeLink(const std::string& target, const std::string& link) {
  ASSERT_TRUE(QFile::link(QString::fromStdString(target), QString::fromStdString(link)));
}

TEST(SharedFolder, ResolvesOnlyAnExistingFolderAndEndsItWithTheDelimiter) {
  test::TempFolder root;
  root.put("file.txt", "x");
  ResultOf<std::string> resolved = ResolveNetworkPath(root.path());
  ASSERT_TRUE(resolved.ok());
  EXPECT_EQ(*resolved, root.path() + "/");
  ResultOf<std::string> again = ResolveNetworkPath(root.path() + "/");
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(*again, root.path() + "/") << "no second delimiter";
  EXPECT_FALSE(ResolveNetworkPath(root.file("missing")).ok());
  EXPECT_FALSE(ResolveNetworkPath(root.file("file.txt")).ok()) << "a file is not a folder";
  EXPECT_FALSE(ResolveNetworkPath("").ok());
}

TEST(SharedFolder, TheConnectButtonNeedsEveryEntryAndTheSamePasswordTwice) {
  const ConnectionEntries full = Entries("/srv/share", "ann", "secret");
  EXPECT_TRUE(CanConnect(full, "secret"));
  EXPECT_FALSE(CanConnect(full, "Secret")) << "the repeat is compared exactly";
  EXPECT_FALSE(CanConnect(full, ""));
  EXPECT_FALSE(CanConnect(Entries("", "ann", "secret"), "secret"));
  EXPECT_FALSE(CanConnect(Entries("/srv/share", "", "secret"), "secret"));
  EXPECT_FALSE(CanConnect(Entries("/srv/share", "ann", ""), ""));
}

TEST(SharedFolder, TheFirstUserCreatesTheConnectionAndLaterOnesNeedItsPassword) {
  test::TempFolder share;
  NetSettings ann;
  int asked = 0;
  ConnectOutcome outcome = ConnectSharedFolder(ann, Entries(share.path(), "Ann", "Secret"),
                                               Answer(true, &asked), kMorning, kYearFirst);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(outcome.connected);
  EXPECT_EQ(outcome.status, "Connected OK");
  EXPECT_TRUE(ann.connected);
  EXPECT_TRUE(ann.autoConnect);
  EXPECT_TRUE(ann.changed);
  EXPECT_EQ(ann.resolvedFolder, share.path() + "/");
  EXPECT_EQ(ann.users, std::vector<std::string>{"Ann"});
  ASSERT_TRUE(share.has("Tarvo.dat"));
  EXPECT_TRUE(share.read("Tarvo.dat").starts_with("QZENCR01"));
  EXPECT_EQ(share.read("Tarvo.dat").find("Secret"), std::string::npos);
  EXPECT_EQ(SharedPassword(share.file("Tarvo.dat")), "Secret");
  EXPECT_EQ(share.read("Ann.usr"), "2026/03/04 05:06:07\r\n");

  // A colleague with another password, an empty one, or the right one in another case.
  for (const char* wrong : {"Other", "", "secret"}) {
    NetSettings bob;
    bob.users = {"from before"};
    outcome = ConnectSharedFolder(bob, Entries(share.path(), "Bob", wrong), Answer(true, &asked),
                                  kMorning, kDayFirst);
    EXPECT_FALSE(outcome.connected) << wrong;
    EXPECT_EQ(outcome.status, "*** LAN Tarvo password incorrect") << wrong;
    EXPECT_FALSE(bob.connected);
    EXPECT_FALSE(bob.autoConnect);
    EXPECT_EQ(bob.users, std::vector<std::string>{"from before"}) << "the list stays as it was";
    EXPECT_FALSE(share.has("Bob.usr")) << wrong;
  }
  EXPECT_EQ(asked, 1) << "the folder exists now: nobody is asked again";
  EXPECT_EQ(SharedPassword(share.file("Tarvo.dat")), "Secret") << "never rewritten";

  NetSettings bob;
  outcome = ConnectSharedFolder(bob, Entries(share.path(), "Bob", "Secret"), Answer(false),
                                kMorning, kDayFirst);
  EXPECT_EQ(outcome.status, "Connected OK");
  EXPECT_EQ(share.read("Bob.usr"), "04/03/2026 05:06:07\r\n") << "in Bob's own date order";
  EXPECT_EQ(bob.users, (std::vector<std::string>{"Ann", "Bob"}));

  ann.connected = false;
  outcome = ConnectSharedFolder(ann, Entries(share.path(), "Ann", "Secret"), Answer(false),
                                kMorning.addDays(1), kMonthFirst);
  EXPECT_TRUE(outcome.connected);
  EXPECT_EQ(share.read("Ann.usr"), "2026/03/04 05:06:07\r\n03/05/2026 05:06:07\r\n")
      << "one line per connection";
}

TEST(SharedFolder, DecliningToCreateChangesNothingAndAMissingFolderIsNotAccessible) {
  test::TempFolder share;
  NetSettings settings;
  ConnectOutcome outcome = ConnectSharedFolder(settings, Entries(share.path(), "ann", "pw"),
                                               Answer(false), kMorning, kDayFirst);
  EXPECT_FALSE(outcome.connected);
  EXPECT_TRUE(outcome.status.empty()) << "the status on show stays";
  EXPECT_TRUE(share.names().empty());
  EXPECT_FALSE(settings.autoConnect);

  int asked = 0;
  outcome = ConnectSharedFolder(settings, Entries(share.file("gone"), "ann", "pw"),
                                Answer(true, &asked), kMorning, kDayFirst);
  EXPECT_EQ(outcome.status, "*** LAN Tarvo not accessible");
  EXPECT_NE(outcome.detail.find("gone"), std::string::npos) << outcome.detail;
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(settings.connected);
  EXPECT_EQ(settings.folder, share.file("gone")) << "the typed entries are taken in all the same";
}

TEST(SharedFolder, AUserNameThatWouldLeaveTheFolderIsRefusedBeforeAnythingIsWritten) {
  test::TempFolder root;
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(root.file("share"))));
  for (const char* name : {"../x", "a/b", "..", "x.", "tab\tname"}) {
    NetSettings settings;
    int asked = 0;
    const ConnectOutcome outcome = ConnectSharedFolder(
        settings, Entries(root.file("share"), name, "pw"), Answer(true, &asked), kMorning, 0);
    EXPECT_FALSE(outcome.connected) << name;
    EXPECT_EQ(outcome.status, "*** This user name cannot be used in a LAN Tarvo") << name;
    EXPECT_EQ(asked, 0) << name;
  }
  EXPECT_EQ(root.names(), std::vector<std::string>{"share"}) << "nothing beside the folder";
  EXPECT_TRUE(QDir(QString::fromStdString(root.file("share"))).isEmpty());
}

TEST(SharedFolder, FailedWritesInTheFolderAreReportedAndLeaveNoHalfFiles) {
  test::TempFolder share;
  NetSettings settings;
  {
    test::FailingFileSystem failing;
    failing.failWrite = true;
    failing.onlyPathsWith = "Tarvo.dat";
    ScopedFileSystem scoped(failing);
    const ConnectOutcome outcome = ConnectSharedFolder(
        settings, Entries(share.path(), "ann", "pw"), Answer(true), kMorning, 0);
    EXPECT_EQ(outcome.status, "*** Unable to create LAN Tarvo");
    EXPECT_FALSE(outcome.detail.empty());
  }
  EXPECT_TRUE(share.names().empty()) << "half a password file would lock everybody out";

  // A user file planted as a link to somewhere else is never written through.
  test::TempFolder elsewhere;
  elsewhere.put("victim.txt", "keep me");
  MakeLink(elsewhere.file("victim.txt"), share.file("ann.usr"));
  const ConnectOutcome outcome = ConnectSharedFolder(
      settings, Entries(share.path(), "ann", "pw"), Answer(true), kMorning, 0);
  EXPECT_EQ(outcome.status, "*** LAN Tarvo access not allowed");
  EXPECT_FALSE(settings.connected);
  EXPECT_FALSE(settings.autoConnect);
  EXPECT_EQ(elsewhere.read("victim.txt"), "keep me");
}

TEST(SharedFolder, AColleagueWhoCreatesTheConnectionMeanwhileKeepsTheirPassword) {
  test::TempFolder share;
  NetSettings settings;
  // Bob's instance makes Tarvo.dat while Ann is still looking at the question.
  const AskCreateConnection bobGetsThereFirst = [&share] {
    PairList pairs;
    pairs.add("pw", "bobs");
    EXPECT_TRUE(SavePairFile(share.file("Tarvo.dat"), pairs, 0, /*secure=*/true).ok());
    return true;
  };
  const ConnectOutcome outcome = ConnectSharedFolder(
      settings, Entries(share.path(), "ann", "anns"), bobGetsThereFirst, kMorning, 0);
  EXPECT_EQ(outcome.status, "*** LAN Tarvo password incorrect");
  EXPECT_EQ(SharedPassword(share.file("Tarvo.dat")), "bobs");
  EXPECT_FALSE(share.has("ann.usr"));
}

TEST(SharedFolder, ListsOnlyPlainUserFilesWithSafeNames) {
  test::TempFolder share;
  test::TempFolder elsewhere;
  elsewhere.put("secret.txt", "x");
  share.put("Tarvo.dat", "pw=x\r\n");
  for (const char* file : {"ann.usr", "bob.usr", "Cid Ö.usr", "..usr", "a..usr", "notes.txt",
                           "dan.USR", "ann(2).usr"}) {
    share.put(file, "01/01/2026 10:00:00\r\n");
  }
  MakeLink(elsewhere.file("secret.txt"), share.file("eve.usr"));
  MakeLink(share.file("ann.usr"), share.file("mal.usr"));
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(share.file("dir.usr"))));

  ResultOf<std::vector<std::string>> users = ListSharedUsers(share.path() + "/");
  ASSERT_TRUE(users.ok()) << users.reason();
  EXPECT_EQ(*users, (std::vector<std::string>{"Cid Ö", "ann(2)", "ann", "bob"})) << "in file name order";
}

TEST(SharedFolder, AFolderThatGoesAwayIsUnreachableAndKeepsTheUsersKnown) {
  test::TempFolder root;
  const std::string folder = root.file("share");
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
  NetSettings ann;
  ASSERT_TRUE(ConnectSharedFolder(ann, Entries(folder, "ann", "pw"), Answer(true), kMorning, 0)
                  .connected);
  test::WriteBytes(JoinPath(folder, "bob.usr"), "line\r\n");
  ASSERT_TRUE(RefreshSharedUsers(ann).ok());
  ASSERT_EQ(ann.users, (std::vector<std::string>{"ann", "bob"}));
  EXPECT_TRUE(SharedFolderReachable(ann.resolvedFolder));

  // Unmounted: the mount point stays behind, empty.
  const std::string moved = root.file("moved");
  ASSERT_TRUE(QDir().rename(QString::fromStdString(folder), QString::fromStdString(moved)));
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
  EXPECT_FALSE(SharedFolderReachable(ann.resolvedFolder));
  EXPECT_FALSE(ListSharedUsers(ann.resolvedFolder).ok()) << "not an empty list";
  EXPECT_FALSE(RefreshSharedUsers(ann).ok());
  EXPECT_EQ(ann.users, (std::vector<std::string>{"ann", "bob"}));

  // Gone altogether.
  ASSERT_TRUE(QDir().rmdir(QString::fromStdString(folder)));
  EXPECT_FALSE(SharedFolderReachable(ann.resolvedFolder));
  EXPECT_FALSE(RefreshSharedUsers(ann).ok());
  EXPECT_EQ(ann.users, (std::vector<std::string>{"ann", "bob"}));

  LoseSharedFolder(ann);
  EXPECT_FALSE(ann.connected);
  EXPECT_TRUE(ann.autoConnect) << "the user never asked to leave: reconnect at the next start";
  EXPECT_EQ(ann.users, (std::vector<std::string>{"ann", "bob"}));

  // Back again: reachable, and the list follows the folder.
  ASSERT_TRUE(QDir().rename(QString::fromStdString(moved), QString::fromStdString(folder)));
  EXPECT_TRUE(SharedFolderReachable(ann.resolvedFolder));
  ann.changed = false;
  DisconnectSharedFolder(ann);
  EXPECT_FALSE(ann.connected);
  EXPECT_FALSE(ann.autoConnect);
  EXPECT_TRUE(ann.changed);
  EXPECT_TRUE(ann.users.empty());
}

}  // namespace
}  // namespace tarvo
