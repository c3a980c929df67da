#include "workspace/dashboard.h"

#include <gtest/gtest.h>

#include "base/date_text.h"
#include "support/temp_folder.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

const QDateTime kToday(QDate(2026, 12, 5), QTime(12, 0));

// A main section of tasks and events whose deadlines lie `days` from today, and 60 ideas.
struct Dashboarded {
  test::TempFolder data;
  Workspace workspace;
  Dashboard dashboard;

  Dashboarded() {
    std::string bytes = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\n";
    const auto topic = [&](const std::string& uni, const std::string& fields, int level = 1) {
      bytes += "uni=" + uni + "\r\ntext=Topic " + uni + "\r\nlev=" + std::to_string(level) + "\r\ntype=1\r\n" + fields;
    };
    const auto due = [](int days) {
      return "dl=Y\r\ndlDate=" + DateStamp(kToday.date().addDays(days)) + "\r\n";
    };
    topic("today", "ttype=4\r\nstatus=1\r\n" + due(0));
    topic("overdue", "ttype=4\r\nstatus=1\r\n" + due(-2));
    topic("in42", "ttype=4\r\nstatus=1\r\n" + due(42));
    topic("in43", "ttype=4\r\nstatus=1\r\n" + due(43));
    topic("done", "ttype=4\r\nstatus=3\r\n" + due(1));
    topic("partly", "ttype=4\r\nstatus=1\r\npr%=30\r\n");
    topic("waiting", "ttype=4\r\nstatus=5\r\n");
    topic("parent", "ttype=4\r\nstatus=1\r\n");  // in progress only once its sub-task rolls up
    topic("child", "ttype=4\r\nstatus=2\r\n", 2);
    topic("party", "ttype=3\r\nstatus=1\r\n" + due(3));
    topic("fav1", "ttype=6\r\nfav=Y\r\n");
    topic("fav2", "ttype=6\r\nfav=Y\r\nurgent=Y\r\n");
    topic("fav3", "ttype=6\r\nfav=Y\r\n");
    // Urgent ids sort without regard to case, also past their first eight bytes and against an
    // id of just eight.
    for (const char* uni : {"urgent-topic-c", "Urgent-topic-B", "URGENT-TOPIC-A2", "urgent-topic-a", "Urgent-topic-C",
                            "ann-12345", "ann-1234", "ann-12340"}) {
      topic(uni, "ttype=6\r\nurgent=Y\r\n");
    }
    for (int i = 0; i < 60; ++i) topic("idea" + std::to_string(i), "ttype=6\r\n");
    data.put("Structure.dat", bytes);
    EXPECT_TRUE(workspace.loadStructure(data.path(), data.path()).loaded());
    workspace.buildTree(Moment::At(kToday));
    dashboard.rebuild(workspace.tree());
  }
  std::vector<std::string> ids(Category category) const { return ids(category, dashboard); }
  std::vector<std::string> ids(Category category, const Dashboard& of) const {
    std::vector<std::string> found;
    for (const CategoryEntry& entry : of.entries(category, workspace)) found.push_back(entry.uni.str());
    return found;
  }
};

using Ids = std::vector<std::string>;

// Each list's membership and order: overdue before today, 42 days in and 43 out, finished
// tasks nowhere, a partly done task that is not started is in progress, equal keys with the
// later topic first; the recent lists show the newest 50 of what still exists.
TEST(Dashboard, ListsFollowTheirRulesAndOrders) {
  EXPECT_EQ(DueKey(-2), " 999999997");
  EXPECT_EQ(DueKey(0), "+100000000");
  EXPECT_LT(DueKey(-2), DueKey(0));
  EXPECT_LT(DueKey(-30), DueKey(-2)) << "the most overdue first";

  Dashboarded loaded;
  EXPECT_EQ(loaded.ids(Category::Deadlines), (Ids{"overdue", "today", "in42"}));
  EXPECT_EQ(loaded.ids(Category::Overdue), (Ids{"overdue"}));
  EXPECT_EQ(loaded.ids(Category::InProgress), (Ids{"child", "parent", "partly"}));
  EXPECT_EQ(loaded.ids(Category::Waiting), (Ids{"waiting"}));
  EXPECT_EQ(loaded.ids(Category::Events), (Ids{"party"}));
  EXPECT_EQ(loaded.ids(Category::Urgent),
            (Ids{"ann-1234", "ann-12340", "ann-12345", "fav2", "urgent-topic-a", "URGENT-TOPIC-A2", "Urgent-topic-B",
                 "Urgent-topic-C", "urgent-topic-c"}))
      << "an id of eight bytes before the longer ones it begins";
  EXPECT_EQ(loaded.ids(Category::Favourites), (Ids{"fav2", "fav3", "fav1"})) << "urgent first, then equal keys later-first";
  EXPECT_EQ(loaded.dashboard.caption(Category::Deadlines, loaded.workspace), "Deadlines: 3");
  // The workspace's own lists come from the pass that builds the tree, topic by topic once
  // each is rolled up: they are the lists a rebuild from the finished tree makes.
  for (int category = 0; category < kCategoryCount; ++category) {
    EXPECT_EQ(loaded.ids(Category(category), loaded.workspace.dashboard()), loaded.ids(Category(category))) << category;
  }

  ReferenceList& changes = loaded.workspace.recentChanges();
  for (int i = 0; i < 60; ++i) changes.insert(0, "idea" + std::to_string(i), "idea" + std::to_string(i));
  changes.insert(1, "gone", "gone");
  const Ids shown = loaded.ids(Category::Changes);
  ASSERT_EQ(shown.size(), 50u);
  EXPECT_EQ(shown.front(), "idea59");
  EXPECT_EQ(shown[1], "idea58") << "a topic that is gone is left out";
  EXPECT_EQ(loaded.dashboard.caption(Category::Changes, loaded.workspace), "Changes: 50");

  // The lists show the state of the last rebuild; a removed topic drops out at once.
  loaded.workspace.removeSubtree(loaded.workspace.master().recordOf("overdue")->treeNode);
  EXPECT_EQ(loaded.ids(Category::Deadlines), (Ids{"today", "in42"}));
}

}  // namespace
}  // namespace tarvo
