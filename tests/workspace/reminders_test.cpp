#include "workspace/reminders.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

const QDate kToday(2026, 12, 5);
Moment At(int hour, int minute = 0, int days = 0) { return Moment::At(QDateTime(kToday.addDays(days), QTime(hour, minute))); }

// Due at 15:00 today; an event from 10:00 to 11:00 (two hours counting the start); due in 3 days with a 5-day lead; and one
// already overdue when the program starts.
const char* kStructure =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\n"
    "uni=1\r\ntext=Call the bank\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\ndl=Y\r\ndlDate=20261205\r\ndlTime=15:00:00\r\n"
    "uni=2\r\ntext=Stand-up\r\nlev=1\r\ntype=1\r\nttype=3\r\nstatus=1\r\nauto=Y\r\ndl=Y\r\ndlDate=20261205\r\n"
    "dlTime=10:00:00\r\ndurno=2\r\ndurtype=1\r\n"
    "uni=3\r\ntext=Renew passport\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\ndl=Y\r\ndlDate=20261208\r\nflno=5\r\n"
    "uni=4\r\ntext=Old news\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\ndl=Y\r\ndlDate=20261120\r\n";

struct Running {
  test::TempFolder data;
  Workspace workspace;
  Reminders reminders;
  Running() {
    data.put("Structure.dat", kStructure);
    EXPECT_TRUE(workspace.loadStructure(data.path(), data.path()).loaded());
    workspace.buildTree(At(9));
  }
  std::vector<std::string> said(const Moment& now) {
    workspace.deadlinePass(now);
    std::vector<std::string> texts;
    for (const Reminder& reminder : reminders.check(workspace.tree(), now)) texts.push_back(reminder.text);
    return texts;
  }
  const TopicRecord& record(const char* uni) { return *workspace.master().recordOf(uni); }
};

using Texts = std::vector<std::string>;

// The deadline pass as time goes by: an event starts and finishes by itself, a task's time
// runs out, a lead makes a task urgent. Each is told once, what was due at the start never.
TEST(Reminders, EachOccurrenceIsToldOnceAndOldNewsNever) {
  Running running;
  EXPECT_EQ(running.said(At(9)), Texts{}) << "the first look only notes what is due";
  EXPECT_TRUE(running.record("3").urgent) << "within its lead at the start";

  EXPECT_EQ(running.said(At(10, 0)), Texts{"Due now: Stand-up"});
  EXPECT_EQ(running.record("2").status, kInProgress);
  EXPECT_EQ(running.said(At(10, 30)), Texts{}) << "told once";
  EXPECT_FALSE(running.workspace.deadlinePass(At(10, 30))) << "nothing changed in between";
  EXPECT_TRUE(running.workspace.deadlinePass(At(11, 1)));
  EXPECT_EQ(running.record("2").status, kFinished) << "the event finished by itself";

  EXPECT_EQ(running.said(At(14, 59)), Texts{});
  EXPECT_EQ(running.record("1").statusText, "1 min");
  EXPECT_EQ(running.said(At(15, 0)), Texts{"Due now: Call the bank"});
  EXPECT_EQ(running.said(At(16, 0, 3)), Texts{"Due now: Renew passport"});
  EXPECT_EQ(running.said(At(16, 0, 4)), Texts{});
}

}  // namespace
}  // namespace tarvo
