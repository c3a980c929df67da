#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "sharing/send_file.h"
#include "support/colleague.h"

namespace tarvo {
namespace {

using test::Colleague;
using test::ReadBytes;
using test::WriteBytes;
using test::kExchangeTime;

// Main (12: a trip with two steps, 15: other)
const char* kAnnTree =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=12\r\ntext=Plan trip\r\nlev=1\r\ntype=1\r\nexp=Y\r\nttype=4\r\nstatus=1\r\n"
    "uni=13\r\ntext=Book flights\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=14\r\ntext=Hotel\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=2\r\npr%=40\r\n"
    "uni=15\r\ntext=Other\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
const char* kBobTree =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=30\r\ntext=Garden\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
const char* kCarlTree = "uni=40\r\ntext=Archive\r\nlev=0\r\ntype=4\r\n";

const char* kAnnPages = "con=0\r\nuni=1\r\nfile=12-1.txt\r\ncon=1\r\nuni=2\r\nfile=12-2.lst\r\n";
const char* kAnnNote = "{\\rtf1\\ansi Take the early train.\\par}";
const char* kAnnChecklist = "item=Passports\r\n";
const std::vector<std::string> kUsers{"Ann", "Bob", "Carl", "Dave"};

struct Office {
  test::TempFolder shared;
  Colleague ann{"Ann", kAnnTree};
  Colleague bob{"Bob", kBobTree, "00000700"};

  Office() {
    WriteBytes(JoinPath(ann.folders.packs, "12.pkt"), kAnnPages);
    WriteBytes(JoinPath(ann.folders.notes, "12-1.txt"), kAnnNote);
    WriteBytes(JoinPath(ann.folders.checklists, "12-2.lst"), kAnnChecklist);
  }
  [[nodiscard]] std::string inbox(const std::string& user) const { return shared.file(user + "-Inbox"); }
  [[nodiscard]] std::vector<std::string> inboxNames(const std::string& user) const {
    std::vector<std::string> names;
    if (!std::filesystem::exists(inbox(user))) return names;
    for (const auto& entry : std::filesystem::directory_iterator(inbox(user))) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  ExchangeSound send(Colleague& from, const std::string& id, int tag, bool lock = false,
                     const QDateTime& when = kExchangeTime) {
    return from.exchange.send(from.node(id), kUsers, tag, lock, from.self(shared.path()), when);
  }
  ReceiveOutcome receive(Colleague& at) { return at.exchange.receive(at.self(shared.path()), kExchangeTime); }
};

TEST(TopicExchange, ATopicWithPagesTravelsToAColleagueAndComesBackUnderItsOwnId) {
  Office office;
  Colleague& ann = office.ann;
  Colleague& bob = office.bob;

  ASSERT_EQ(office.send(ann, "12", 1), ExchangeSound::Sent);
  EXPECT_EQ(office.inboxNames("bob"), (std::vector<std::string>{"ann-12-1.txt", "ann-12-2.lst", "ann-12.pkt",
                                                                "ann-20260305-090703.str"}));
  EXPECT_TRUE(std::filesystem::is_empty(ann.folders.outbox)) << "the outbox is emptied after the send";
  EXPECT_TRUE(ann.logged("Sending topic Plan trip to Bob") && ann.logged("Activity complete"));

  const ReceiveOutcome received = office.receive(bob);
  EXPECT_EQ(received.sendFiles, 1);
  EXPECT_EQ(received.sound, ExchangeSound::Received);
  const TopicNode* header = bob.workspace.tree().roots()[0]->child(0);
  EXPECT_EQ(header->record->text.str(), "From: Ann - 20260305-090703");
  EXPECT_EQ(bob.outline(), "STD0001:0 " + header->record->uni.str() + ":1 ann-12:2 ann-13:3 ann-14:3 30:1");
  const TopicRecord& trip = *bob.node("ann-12")->record;
  EXPECT_EQ(std::tuple(trip.from.str(), trip.sent.str(), trip.type, trip.lev, trip.lock),
            std::tuple("Ann", "20260305-090703", 1, 2, false));
  EXPECT_EQ(bob.node("ann-14")->record->progress, 40);
  EXPECT_EQ(bob.file(bob.folders.notes, "ann-12-1.txt"), kAnnNote);
  EXPECT_EQ(bob.file(bob.folders.checklists, "ann-12-2.lst"), kAnnChecklist);
  EXPECT_TRUE(office.inboxNames("bob").empty()) << "everything taken from the inbox is deleted there";
  ResultOf<TopicPages*> pages = bob.workspace.pagesOf(trip);
  ASSERT_TRUE(pages) << pages.reason();
  EXPECT_EQ((*pages)->pages.at(0).fileName, "ann-12-1.txt");
  EXPECT_TRUE(bob.logged("Receiving : From: Ann - 20260305-090703") && bob.logged("Added topic: Book flights"));
  EXPECT_TRUE(ReadBytes(JoinPath(bob.folders.data, "Structure.dat")).find("uni=ann-13") != std::string::npos)
      << "received topics are saved before their send file is deleted";

  // Bob changes the trip and its note, and sends it back: it is Ann's topic 12 again.
  ASSERT_TRUE(bob.workspace.renameTopic(bob.node("ann-12"), "Plan the trip"));
  WriteBytes(JoinPath(bob.folders.notes, "ann-12-1.txt"), "{\\rtf1 Take the late train.\\par}");
  ASSERT_EQ(office.send(bob, "ann-12", 0, false, kExchangeTime.addSecs(60)), ExchangeSound::Sent);
  EXPECT_EQ(office.inboxNames("ann").back(), "bob-20260305-090803.str") << "ids with a sender are sent unchanged";
  const std::string annBefore = ann.outline();
  office.receive(ann);
  EXPECT_EQ(ann.outline(), annBefore) << "every topic matched: nothing is added, not even the header";
  EXPECT_EQ(ann.node("12")->record->text.str(), "Plan the trip");
  EXPECT_TRUE(ann.logged("Matched topic: Plan the trip"));
  EXPECT_EQ(ann.file(ann.folders.notes, "12-1.txt"), "{\\rtf1 Take the late train.\\par}");
  EXPECT_EQ(ann.file(ann.folders.packs, "12.pkt").find("ann-"), std::string::npos)
      << "the pages file names the local files again";

  // Undo on both sides: the topics and the page files as they were; a received page that Bob
  // has worked on since keeps his work.
  ann.workspace.undoStack().undo();
  EXPECT_EQ(ann.node("12")->record->text.str(), "Plan trip");
  EXPECT_EQ(ann.file(ann.folders.notes, "12-1.txt"), kAnnNote);
  EXPECT_EQ(ann.file(ann.folders.packs, "12.pkt"), kAnnPages);
  while (bob.workspace.undoStack().canUndo()) bob.workspace.undoStack().undo();
  EXPECT_EQ(bob.outline(), "STD0001:0 30:1");
  EXPECT_FALSE(std::filesystem::exists(JoinPath(bob.folders.checklists, "ann-12-2.lst")));
  EXPECT_EQ(bob.file(bob.folders.notes, "ann-12-1.txt"), "{\\rtf1 Take the late train.\\par}")
      << "the note Bob changed after the receive is not taken back";
  bob.workspace.undoStack().redo();
  EXPECT_EQ(bob.outline(), "STD0001:0 " + header->record->uni.str() + ":1 ann-12:2 ann-13:3 ann-14:3 30:1");
  EXPECT_EQ(bob.file(bob.folders.checklists, "ann-12-2.lst"), kAnnChecklist);
}

std::uint64_t InodeOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_ino) : 0;
}

// A file system on which someone swaps one file of the inbox for a link to a file elsewhere
// just before it is moved into the data folders.
class SwappingFileSystem : public FileSystem {
 public:
  std::string swapped;  // the inbox file to swap
  std::string outside;  // what the link points to; empty: a folder anyone may write instead
  Result rename(const std::string& from, const std::string& to) override {
    if (from == swapped) {
      std::filesystem::remove(from);
      if (outside.empty()) {
        std::filesystem::create_directory(from);
        std::filesystem::permissions(from, std::filesystem::perms::all);
      } else {
        std::filesystem::create_symlink(outside, from);
      }
    }
    return FileSystem::rename(from, to);
  }
};

// A file system on which nothing can be renamed out of an inbox, as when a data folder links
// to another disk.
class NoRenameFromInboxFileSystem : public FileSystem {
 public:
  Result rename(const std::string& from, const std::string& to) override {
    if (from.find("-Inbox") != std::string::npos) return Result::FromErrno("cannot rename to", to, EXDEV);
    return FileSystem::rename(from, to);
  }
};

// Page files that are the receiver's own alone are moved from the inbox into place; one that
// others may write, or that has another name, is copied, so that nothing outside the data
// folders shares it, and so is one that cannot be renamed out of the inbox. A file swapped for
// a link or a folder between reading and moving is not taken: the bytes read are written in its
// place, the link's target is left alone and the folder leaves the data folder.
TEST(TopicExchange, PageFilesAreMovedWhenOnlyTheReceiverHasThemAndCopiedOtherwise) {
  const mode_t umaskBefore = ::umask(022);
  Office office;
  ASSERT_EQ(office.send(office.ann, "12", 1), ExchangeSound::Sent);
  const std::string inbox = office.inbox("bob");
  const std::uint64_t pagesInode = InodeOf(JoinPath(inbox, "ann-12.pkt"));
  const std::uint64_t noteInode = InodeOf(JoinPath(inbox, "ann-12-1.txt"));
  ASSERT_EQ(::chmod(JoinPath(inbox, "ann-12-1.txt").c_str(), 0664), 0) << "others may write the note";
  const std::string kept = office.shared.file("kept.lst");
  std::filesystem::create_hard_link(JoinPath(inbox, "ann-12-2.lst"), kept);

  Colleague& bob = office.bob;
  office.receive(bob);
  EXPECT_EQ(InodeOf(JoinPath(bob.folders.packs, "ann-12.pkt")), pagesInode) << "moved";
  EXPECT_NE(InodeOf(JoinPath(bob.folders.notes, "ann-12-1.txt")), noteInode) << "copied";
  EXPECT_NE(InodeOf(JoinPath(bob.folders.checklists, "ann-12-2.lst")), InodeOf(kept)) << "copied";
  EXPECT_EQ(bob.file(bob.folders.notes, "ann-12-1.txt"), kAnnNote);
  EXPECT_EQ(bob.file(bob.folders.checklists, "ann-12-2.lst"), kAnnChecklist);
  EXPECT_EQ(ReadBytes(kept), kAnnChecklist) << "the other name keeps its file";
  EXPECT_TRUE(office.inboxNames("bob").empty());
  bob.workspace.undoStack().undo();
  EXPECT_FALSE(std::filesystem::exists(JoinPath(bob.folders.packs, "ann-12.pkt"))) << "a moved file goes on undo too";

  Office swapping;
  ASSERT_EQ(swapping.send(swapping.ann, "12", 1), ExchangeSound::Sent);
  const std::string secret = swapping.shared.file("secret.txt");
  WriteBytes(secret, "not for the inbox");
  SwappingFileSystem swapper;
  swapper.swapped = JoinPath(swapping.inbox("bob"), "ann-12-1.txt");
  swapper.outside = secret;
  {
    ScopedFileSystem swaps(swapper);
    swapping.receive(swapping.bob);
  }
  const std::string note = JoinPath(swapping.bob.folders.notes, "ann-12-1.txt");
  EXPECT_FALSE(std::filesystem::is_symlink(note));
  EXPECT_EQ(ReadBytes(note), kAnnNote) << "the bytes that were read and checked";
  EXPECT_EQ(ReadBytes(secret), "not for the inbox");
  EXPECT_TRUE(std::any_of(swapping.bob.lines.begin(), swapping.bob.lines.end(), [](const std::string& line) {
    return line.find("was replaced while it was brought in") != std::string::npos;
  }));

  Office foldered;
  ASSERT_EQ(foldered.send(foldered.ann, "12", 1), ExchangeSound::Sent);
  SwappingFileSystem folderSwapper;
  folderSwapper.swapped = JoinPath(foldered.inbox("bob"), "ann-12-1.txt");
  {
    ScopedFileSystem swaps(folderSwapper);
    foldered.receive(foldered.bob);
  }
  const std::string notes = foldered.bob.folders.notes;
  EXPECT_TRUE(std::filesystem::is_regular_file(JoinPath(notes, "ann-12-1.txt")));
  EXPECT_EQ(foldered.bob.file(notes, "ann-12-1.txt"), kAnnNote);
  for (const auto& entry : std::filesystem::directory_iterator(notes)) {
    EXPECT_FALSE(entry.is_directory()) << entry.path() << ": nothing swapped in stays in the data folder";
  }

  Office elsewhere;
  ASSERT_EQ(elsewhere.send(elsewhere.ann, "12", 1), ExchangeSound::Sent);
  NoRenameFromInboxFileSystem noRename;
  {
    ScopedFileSystem renamesFail(noRename);
    elsewhere.receive(elsewhere.bob);
  }
  EXPECT_NE(elsewhere.bob.file(elsewhere.bob.folders.packs, "ann-12.pkt").find("file=ann-12-1.txt"), std::string::npos)
      << "copied when it cannot be moved";
  EXPECT_EQ(elsewhere.bob.file(elsewhere.bob.folders.notes, "ann-12-1.txt"), kAnnNote);
  EXPECT_TRUE(elsewhere.inboxNames("bob").empty()) << "and then deleted from the inbox like any copy";
  ::umask(umaskBefore);
}

TEST(TopicExchange, SomeMatchedTopicsGoBesideTheirNeighboursAndAReceiverWithoutTheSectionGetsANewOne) {
  Office office;
  Colleague& ann = office.ann;
  Colleague& bob = office.bob;
  Colleague carl("Carl", kCarlTree);

  ASSERT_EQ(office.send(ann, "12", 1, /*lock=*/true), ExchangeSound::Sent);
  office.receive(bob);
  EXPECT_TRUE(bob.node("ann-12")->record->lock && bob.node("ann-14")->record->lock) << "the lock answer travels";

  // Ann adds a step between the two and sends the trip again.
  ResultOf<TopicNode*> added = ann.workspace.addTopic(ann.node("14"), false, kExchangeTime);
  ASSERT_TRUE(added);
  const std::string newId = "ann-" + (*added)->record->uni.str();
  ASSERT_EQ(office.send(ann, "12", 1, false, kExchangeTime.addSecs(5)), ExchangeSound::Sent);
  office.receive(bob);
  const std::string firstHeader = bob.workspace.tree().roots()[0]->child(1)->record->uni.str();
  const std::string secondHeader = bob.workspace.tree().roots()[0]->child(0)->record->uni.str();
  EXPECT_EQ(bob.outline(), "STD0001:0 " + secondHeader + ":1 " + firstHeader + ":1 ann-12:2 ann-13:3 " + newId +
                               ":3 ann-14:3 30:1");
  EXPECT_TRUE(bob.logged("Matched topic: Hotel") && bob.logged("Added topic: New topic"));
  EXPECT_FALSE(bob.node("ann-14")->record->lock) << "matched topics take the new lock answer";

  // Carl has no section of the main type: a new section holds what came, listed as new topics.
  ASSERT_EQ(office.send(ann, "12", 2, false, kExchangeTime.addSecs(9)), ExchangeSound::Sent);
  office.receive(carl);
  const TopicNode* section = carl.workspace.tree().roots().back().get();
  EXPECT_EQ(std::tuple(section->record->text.str(), section->record->type, bool(section->record->sys), bool(section->record->send)),
            std::tuple("New section", 1, true, true));
  EXPECT_EQ(section->child(0)->child(0)->record->uni.str(), "ann-12");
  EXPECT_TRUE(carl.logged("Added section: From: Ann - 20260305-090712"));
  const ReferenceList& fresh = carl.workspace.recentNewList();
  ASSERT_EQ(fresh.size(), 4u);
  EXPECT_EQ(fresh.entry(0).uni, "ann-14") << "each topic goes to the front of the new-topics list in turn";
  carl.workspace.undoStack().undo();
  EXPECT_EQ(carl.outline(), "40:0");
  EXPECT_TRUE(carl.workspace.recentNewList().empty());
}

TEST(TopicExchange, OnlyTheReceiversOwnPrefixComesOffAndNoInboxIsALink) {
  Office office;
  Colleague jo("Jo", kBobTree);
  // Joann's topic reaches Jo: "joann-12" is not Jo's own topic 12.
  std::filesystem::create_directories(office.inbox("jo"));
  WriteBytes(JoinPath(office.inbox("jo"), "joann-20260305-090703.str"),
             "uni=-1\r\ntext=From: Joann\r\nlev=1\r\ntype=1\r\nuni=joann-12\r\ntext=Hers\r\nlev=2\r\ntype=1\r\n");
  WriteBytes(JoinPath(office.inbox("jo"), "joann-12.pkt"), "con=0\r\nuni=1\r\nfile=joann-12-1.txt\r\n");
  WriteBytes(JoinPath(office.inbox("jo"), "joann-12-1.txt"), "{\\rtf1 Hers.\\par}");
  EXPECT_EQ(office.receive(jo).sendFiles, 1);
  ASSERT_NE(jo.node("joann-12"), nullptr);
  EXPECT_EQ(jo.file(jo.folders.packs, "joann-12.pkt"), "con=0\r\nuni=1\r\nfile=joann-12-1.txt\r\n");
  EXPECT_EQ(jo.file(jo.folders.notes, "joann-12-1.txt"), "{\\rtf1 Hers.\\par}");

  // Carl's inbox is a link to a folder of Ann's own: nothing is copied through it.
  test::TempFolder elsewhere;
  std::filesystem::create_directory_symlink(elsewhere.path(), office.inbox("carl"));
  EXPECT_EQ(office.send(office.ann, "15", 2), ExchangeSound::Failed);
  EXPECT_TRUE(elsewhere.names().empty());
}

TEST(TopicExchange, SendingToAllStopsAtTheFirstInboxThatCannotBeMade) {
  Office office;
  office.shared.put("carl-Inbox", "a file where Carl's inbox should be");
  ASSERT_EQ(office.send(office.ann, "15", -1), ExchangeSound::Failed);
  const std::vector<std::string>& lines = office.ann.lines;
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("Sending to "); }), 2);
  EXPECT_TRUE(office.ann.logged("Sending to Bob") && office.ann.logged("Sending to Carl"));
  EXPECT_FALSE(office.ann.logged("Sending to Dave")) << "the colleagues after a failure are not tried";
  EXPECT_TRUE(office.ann.logged("Sending topic Other to all colleagues"));
  EXPECT_TRUE(office.ann.logged("*** A problem occurred while copying items to another user: "));
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.ends_with("*** Unable to create inbox for user: Carl"); }));
  EXPECT_EQ(lines.back(), "Activity unsuccessful");
  EXPECT_EQ(office.inboxNames("bob").size(), 1u) << "Bob, served first, keeps his copy";
  EXPECT_TRUE(std::filesystem::is_empty(office.ann.folders.outbox));
}

// A send file's bytes for one topic, as Ann's program writes them.
std::string SendFileBytes(int topics) {
  std::string bytes = "uni=-1\r\ntext=From: Ann - 20260305-090703\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
  for (int i = 0; i < topics; ++i) {
    bytes += "uni=ann-" + std::to_string(1000 + i) + "\r\ntext=Topic " + std::to_string(i) + "\r\nlev=2\r\ntype=1\r\n";
  }
  return bytes;
}

TEST(TopicExchange, HostileOrDamagedFilesInAnInboxAreRefusedLoggedAndKeptAside) {
  Office office;
  Colleague& bob = office.bob;
  std::filesystem::create_directories(office.inbox("bob"));
  const auto put = [&](const std::string& name, const std::string& bytes) {
    WriteBytes(JoinPath(office.inbox("bob"), name), bytes);
  };
  const std::string whole = SendFileBytes(2);
  put("ann-1.str", whole.substr(0, whole.size() - 7));  // cut off in the middle of a record
  put("ann-2.str", "");
  std::filesystem::resize_file(JoinPath(office.inbox("bob"), "ann-2.str"), 200ull << 20);  // sparse: 200 MB
  put("ann-3.str", SendFileBytes(100000));
  test::TempFolder outside;
  outside.put("elsewhere.str", whole);
  outside.put("secret.lst", "not for the inbox");
  std::filesystem::create_symlink(outside.file("elsewhere.str"), JoinPath(office.inbox("bob"), "ann-4.str"));
  std::filesystem::create_symlink(outside.file("secret.lst"), JoinPath(office.inbox("bob"), "ann-1000-1.lst"));
  put("ann-5.str", "uni=ann-7\r\ntext=No header\r\nlev=2\r\ntype=1\r\n");
  put("ann-6.str", SendFileBytes(1) + "uni=ann-1000\r\ntext=Twice\r\nlev=2\r\ntype=1\r\n");
  put("ann-7.str", "uni=-1\r\ntext=From: Ann\r\nlev=1\r\ntype=1\r\nuni=../../evil\r\ntext=x\r\nlev=2\r\n");
  put("..hidden.lst", "a name with dots");
  put("ann-1001.pkt", "con=0\r\nuni=1\r\nfile=../../../etc/passwd\r\n");
  put("ann-9.str", "uni=-1\r\ntext=From: Ann\r\nlev=1\r\ntype=1\r\nuni=777\r\ntext=No sender\r\nlev=2\r\n");
  put("ann-10.str", "uni=-1\r\ntext=From: Ann\r\nlev=1\r\ntype=1\r\nuni=bob-99999999999\r\ntext=Huge\r\nlev=2\r\n");
  ASSERT_EQ(::mkfifo(JoinPath(office.inbox("bob"), "ann-11.str").c_str(), 0600), 0);  // would block a reader
  ASSERT_EQ(::mkfifo(JoinPath(office.inbox("bob"), "ann-1001-1.txt").c_str(), 0600), 0);
  put("ann-8.str", whole);  // the one good file among them

  const ReceiveOutcome outcome = office.receive(bob);
  EXPECT_EQ(outcome.sendFiles, 11);
  const TopicNode* header = bob.workspace.tree().roots()[0]->child(0);
  EXPECT_EQ(bob.outline(), "STD0001:0 " + header->record->uni.str() + ":1 ann-1000:2 ann-1001:2 30:1")
      << "only the good send file was merged";
  for (const char* name : {"ann-1.str", "ann-10.str", "ann-11.str", "ann-2.str", "ann-3.str", "ann-4.str", "ann-5.str", "ann-6.str",
                           "ann-7.str", "ann-9.str"}) {
    EXPECT_TRUE(std::filesystem::exists(JoinPath(office.inbox("bob"), std::string(name) + ".damaged"))) << name;
    EXPECT_TRUE(std::any_of(bob.lines.begin(), bob.lines.end(), [&](const std::string& line) {
      return line == "*** Received file " + std::string(name) + " from ann was not used";
    })) << name;
  }
  EXPECT_EQ(outside.read("elsewhere.str"), whole) << "a link out of the inbox is not followed";
  EXPECT_FALSE(std::filesystem::exists(JoinPath(bob.folders.checklists, "ann-1000-1.lst")));
  EXPECT_TRUE(std::filesystem::is_symlink(JoinPath(office.inbox("bob"), "ann-1000-1.lst")));
  EXPECT_TRUE(std::filesystem::exists(JoinPath(office.inbox("bob"), "..hidden.lst")));
  EXPECT_TRUE(std::any_of(bob.lines.begin(), bob.lines.end(), [](const std::string& line) {
    return line.starts_with("*** Refused the file \"..hidden.lst\" from the inbox");
  }));
  EXPECT_FALSE(std::filesystem::exists(JoinPath(office.inbox("bob"), "ann-8.str")));
  EXPECT_FALSE(std::filesystem::exists(JoinPath(bob.folders.packs, "ann-1001.pkt")))
      << "a pages file naming a file outside its folder is not taken";
  EXPECT_TRUE(std::any_of(bob.lines.begin(), bob.lines.end(), [](const std::string& line) {
    return line.starts_with("*** Refused the file \"ann-1001-1.txt\" from ann: ");
  })) << "a pipe in a page file's place is refused, not read";
  EXPECT_TRUE(std::any_of(bob.lines.begin(), bob.lines.end(), [](const std::string& line) {
    return line.starts_with("*** Refused the file \"ann-1001.pkt\" from ann: a page names the file");
  }));
}

TEST(TopicExchange, AStoppedSenderLeavesNoFileAReceiverCouldTakeHalfWritten) {
  Office office;
  std::filesystem::create_directories(office.inbox("bob"));
  const std::string partial = JoinPath(office.inbox("bob"), std::string("ann-9.str") + ".ann.partial");
  WriteBytes(partial, SendFileBytes(3).substr(0, 40));
  const ReceiveOutcome fresh = office.receive(office.bob);
  EXPECT_EQ(fresh.sendFiles, 0) << "a copy still being written is not a send file";
  EXPECT_TRUE(std::filesystem::exists(partial)) << "it may still be being written";
  std::filesystem::last_write_time(partial, std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
  (void)office.receive(office.bob);
  EXPECT_FALSE(std::filesystem::exists(partial)) << "one left behind long ago is cleared away";

  // Ann's program was ended in the middle of a copy; her next send clears what it left.
  const std::string own = JoinPath(office.inbox("bob"), "ann-12.pkt.ann.partial");
  const std::string others = JoinPath(office.inbox("bob"), "carl-3.pkt.carl.partial");
  WriteBytes(own, "con=0");
  WriteBytes(others, "con=0");
  // Two sends within the same second: the second send file must not replace the first.
  ASSERT_EQ(office.send(office.ann, "15", 1), ExchangeSound::Sent);
  ASSERT_EQ(office.send(office.ann, "13", 1), ExchangeSound::Sent);
  EXPECT_FALSE(std::filesystem::exists(own));
  EXPECT_TRUE(std::filesystem::exists(others)) << "only the sender's own half copies are its to clear";
  EXPECT_EQ(office.receive(office.bob).sendFiles, 2);
  EXPECT_TRUE(office.bob.node("ann-15") != nullptr && office.bob.node("ann-13") != nullptr);
}

}  // namespace
}  // namespace tarvo
