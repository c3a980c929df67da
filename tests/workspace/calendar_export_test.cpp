#include "workspace/calendar_export.h"

#include <gtest/gtest.h>

#include <QProcess>

#include "support/temp_folder.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(12, 0));

// Tasks and events of every kind the export handles, and topics it leaves out.
const char* kStructure =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\n"
    "uni=1\r\ntext=Weekly report\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\nrecur=Y\r\ndl=Y\r\n"
    "dlDate=20261207\r\ndlTime=09:30:00\r\nrsDate=20261207\r\nrsTime=09:30:00\r\nrno=1\r\nrtype=3\r\n"
    "uni=2\r\ntext=Pay the rent\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\nrecur=Y\r\ndl=Y\r\n"
    "dlDate=20270131\r\nrsDate=20270131\r\nrno=1\r\nrtype=4\r\n"
    "uni=3\r\ntext=Leap day, plan; then \\ rest\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\ndl=Y\r\ndlDate=20280229\r\n"
    "uni=4\r\ntext=Filed taxes\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=3\r\ndl=Y\r\ndlDate=20261201\r\n"
    "fdate=20261130\r\nfTime=18:00:00\r\n"
    "uni=5\r\ntext=Workshop\r\nlev=1\r\ntype=1\r\nttype=3\r\nstatus=1\r\ndl=Y\r\ndlDate=20261210\r\n"
    "dlTime=14:00:00\r\ndurno=2\r\ndurtype=1\r\n"
    "uni=6\r\ntext=Sabbatical\r\nlev=1\r\ntype=1\r\nttype=3\r\nstatus=1\r\ndl=Y\r\ndlDate=20270115\r\ndurno=1\r\ndurtype=4\r\n"
    "uni=7\r\ntext=Ein sehr langer Titel mit Umlauten äöü und noch mehr Wörtern, damit die Zeile "
    "gefaltet wird\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\ndl=Y\r\ndlDate=20261224\r\n"
    "uni=8\r\ntext=Idea without date\r\nlev=1\r\ntype=1\r\nttype=6\r\n"
    "uni=9\r\ntext=Task without deadline\r\nlev=1\r\ntype=1\r\nttype=4\r\nstatus=1\r\n";

// The export read back by a real iCalendar parser: every deadline with its date, time and rule
// (a monthly task on the 31st keeps to each month's end, a 29 February stays), durations,
// completed tasks, escaped text and folded lines; dateless topics are left out; a second
// export gives the same ids.
TEST(CalendarExport, ARealParserReadsEveryDeadlineWithItsDateTimeAndRule) {
  test::TempFolder data;
  data.put("Structure.dat", kStructure);
  Workspace workspace;
  ASSERT_TRUE(workspace.loadStructure(data.path(), data.path()).loaded());
  workspace.buildTree(Moment::At(kNow));
  const std::string path = data.file("tarvo.ics");
  ASSERT_TRUE(ExportCalendar(workspace.tree(), path, kNow));
  const std::string text = data.read("tarvo.ics");
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_LE(end - start, 75u) << "an unfolded line: " << text.substr(start, end - start);
  }

  QProcess reader;
  reader.start("/usr/bin/python3", {TARVO_SOURCE_DIR "/tests/support/read_calendar.py", QString::fromStdString(path)});
  ASSERT_TRUE(reader.waitForFinished(30000));
  ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
  const QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  const QStringList expected = {
      "1@tarvo|VTODO|Weekly report|2026-12-07T09:30:00||NEEDS-ACTION|2026-12-07,2026-12-14,2026-12-21",
      "2@tarvo|VTODO|Pay the rent|2027-01-31||NEEDS-ACTION|2027-01-31,2027-02-28,2027-03-31",
      "3@tarvo|VTODO|Leap day, plan; then \\ rest|2028-02-29||NEEDS-ACTION|",
      "4@tarvo|VTODO|Filed taxes|2026-12-01||COMPLETED|",
      "5@tarvo|VEVENT|Workshop|2026-12-10T14:00:00|2:00:00||",
      "6@tarvo|VEVENT|Sabbatical|2027-01-15|2027-02-15||",
      "7@tarvo|VTODO|Ein sehr langer Titel mit Umlauten äöü und noch mehr Wörtern, damit die Zeile gefaltet "
      "wird|2026-12-24||NEEDS-ACTION|",
  };
  EXPECT_EQ(lines.join('\n').toStdString(), expected.join('\n').toStdString());
  // Exported again a day later: the same entries, only their stamps differ.
  std::string later = CalendarText(workspace.tree(), kNow.addDays(1));
  std::string first = text;
  for (std::string* calendar : {&later, &first}) {
    for (std::size_t at; (at = calendar->find("DTSTAMP:")) != std::string::npos;) calendar->erase(at, 26);
  }
  EXPECT_EQ(later, first);
}

}  // namespace
}  // namespace tarvo
