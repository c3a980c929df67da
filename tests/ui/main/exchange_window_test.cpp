#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "base/date_text.h"
#include "content/page_store.h"
#include "support/temp_folder.h"
#include "ui/main/started_window.h"
#include "ui/sharing/network_panel.h"

namespace tarvo {
namespace {

using test::AppFolders;
using test::StartedWindow;

void Connect(StartedWindow& at, const std::string& shared, const QString& user) {
  TNetworkPanel& panel = at.window.networkPanel();
  panel.ask = [](const QString&) { return true; };  // the first one creates the connection
  panel.findChild<QLineEdit*>("editNetworkFolder")->setText(QString::fromStdString(shared));
  panel.findChild<QLineEdit*>("editUserName")->setText(user);
  panel.findChild<QLineEdit*>("editPassword")->setText("garden gate");
  panel.findChild<QLineEdit*>("editPasswordRepeat")->setText("garden gate");
  panel.findChild<QPushButton*>("buttonNetConnect")->click();
  ASSERT_EQ(panel.findChild<QLabel*>("labConnectStatus")->text(), "Connected OK");
}

TopicNode* AddTopic(StartedWindow& at, TopicNode* parent, bool sub, const std::string& caption) {
  Workspace& workspace = at.window.session().workspace;
  ResultOf<TopicNode*> added = workspace.addTopic(parent, sub);
  EXPECT_TRUE(added);
  EXPECT_TRUE(workspace.renameTopic(*added, caption));
  return *added;
}

// Gives the topic a note and a checklist, saved as the pages panel saves them.
void WritePages(StartedWindow& at, TopicNode* node, const std::string& rtf, const std::string& item) {
  Workspace& workspace = at.window.session().workspace;
  ResultOf<TopicPages*> pages = workspace.pagesOf(*node->record);
  ASSERT_TRUE(pages);
  for (TopicPage& page : (*pages)->pages) {
    if (page.kind() == PageKind::Notes) {
      ASSERT_TRUE(SaveNotesPage(workspace.pageFolders(), **pages, page, rtf, StampText()));
    } else if (page.kind() == PageKind::Checklist) {
      ASSERT_TRUE(SaveChecklistPage(workspace.pageFolders(), **pages, page, {MakeChecklistItem(item)}, StampText()));
    } else {
      continue;
    }
    ASSERT_TRUE(SavePageFiles(workspace.pageFolders(), **pages, page, StampText()));
  }
}

// The note's bytes and the checklist's first item of a topic, as its pages read now.
std::pair<std::string, std::string> PagesOf(StartedWindow& at, TopicNode* node) {
  Workspace& workspace = at.window.session().workspace;
  ResultOf<TopicPages*> pages = workspace.pagesOf(*node->record);
  std::pair<std::string, std::string> found;
  if (!pages) return found;
  for (TopicPage& page : (*pages)->pages) {
    if (page.kind() == PageKind::Notes) {
      if (ResultOf<std::string> bytes = LoadNotesBytes(workspace.pageFolders(), page)) found.first = *bytes;
    } else if (page.kind() == PageKind::Checklist) {
      ResultOf<ChecklistItems> items = LoadChecklistPage(workspace.pageFolders(), page);
      if (items && !items->empty()) found.second = items->front().text;
    }
  }
  return found;
}

int UserIndex(StartedWindow& at, const std::string& name) {
  const std::vector<std::string>& users = at.window.session().network.users;
  return static_cast<int>(std::find(users.begin(), users.end(), name) - users.begin());
}

TEST(ExchangeWindows, TwoProgramsExchangeATopicThroughTheirPanelsAndBack) {
  AppFolders annFolders;
  AppFolders bobFolders;
  test::TempFolder shared;
  StartedWindow ann(annFolders);
  StartedWindow bob(bobFolders);
  Connect(ann, shared.path(), "Ann");
  Connect(bob, shared.path(), "Bob");
  EXPECT_TRUE(std::filesystem::exists(annFolders.data("net.txt")))
      << "a connection is remembered at once, so a program ended without saving connects again";
  ann.window.networkPanel().GetNetworkUsers();
  EXPECT_EQ(ann.window.networkPanel().findChild<QListWidget*>("listUsers")->count(), 1) << "Bob is Ann's colleague";

  // Ann's trip with two steps, sent to Bob.
  TopicNode* main = ann.window.session().workspace.tree().roots().front().get();
  TopicNode* trip = AddTopic(ann, main, true, "Trip for Bob");
  AddTopic(ann, trip, true, "Tickets");
  AddTopic(ann, trip, true, "Hotel");
  WritePages(ann, trip, "{\\rtf1\\ansi Window seats.\\par}", "Passports");
  ann.tree()->setCurrentIndex(ann.find("Trip for Bob"));
  bool asked = false;
  ann.window.askLock = [&asked] {
    asked = true;
    return false;
  };
  ann.window.SendTopic(UserIndex(ann, "Bob"));
  EXPECT_TRUE(asked) << "the sender chooses whether receivers may change the topic";

  bob.window.timerCheckInboxTimer();
  const QModelIndex received = bob.find("Trip for Bob");
  ASSERT_TRUE(received.isValid()) << "the topic shows in Bob's tree";
  EXPECT_EQ(bob.window.treeModel().rowCount(received), 2);
  EXPECT_TRUE(received.parent().data().toString().startsWith("From: Ann - "));
  TopicNode* bobsTrip = bob.window.treeModel().nodeAt(received);
  EXPECT_EQ(PagesOf(bob, bobsTrip), std::make_pair(std::string("{\\rtf1\\ansi Window seats.\\par}"), std::string("Passports")))
      << "the note and the checklist came with the topic";
  WritePages(bob, bobsTrip, "{\\rtf1\\ansi Aisle seats.\\par}", "Visas");

  // Bob renames it and sends it back: Ann's own topic takes the change, nothing is added.
  Workspace& bobs = bob.window.session().workspace;
  ASSERT_TRUE(bobs.renameTopic(bob.window.treeModel().nodeAt(received), "Trip for Bob and Ann"));
  bob.tree()->setCurrentIndex(bob.find("Trip for Bob and Ann"));
  bob.window.askLock = [] { return true; };
  bob.window.networkPanel().GetNetworkUsers();
  bob.window.SendTopic(UserIndex(bob, "Ann"));
  const std::size_t annTopics = ann.window.session().workspace.master().size();
  ann.window.timerCheckInboxTimer();
  EXPECT_EQ(ann.window.session().workspace.master().size(), annTopics);
  EXPECT_TRUE(ann.find("Trip for Bob and Ann").isValid());
  EXPECT_TRUE(trip->record->lock) << "Bob locked what he sent";
  EXPECT_EQ(PagesOf(ann, trip), std::make_pair(std::string("{\\rtf1\\ansi Aisle seats.\\par}"), std::string("Visas")))
      << "Bob's pages replace Ann's under her own file names";

  // Bob's receive is one step: undone, the topics leave his tree.
  bobs.undoStack().undo();  // the rename
  bobs.undoStack().undo();  // the receive
  EXPECT_FALSE(bob.find("Trip for Bob").isValid());
}

}  // namespace
}  // namespace tarvo
