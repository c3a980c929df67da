#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

#include "content/checklist.h"
#include "content/topic_pages.h"
#include "workspace/search/search_service.h"
#include "structure/topic_record.h"
#include "support/loaded_workspace.h"
#include "workspace/search/reported_results.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

const QDateTime kTick(QDate(2026, 12, 6), QTime(9, 15, 30));

// Main (10: Move house (11 Pack, 12 Clean)  20: Ideas)
const char* kStructure =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=10\r\ntext=Move house\r\nlev=1\r\ntype=1\r\nexp=Y\r\nttype=4\r\nstatus=1\r\n"
    "uni=11\r\ntext=Pack\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=12\r\ntext=Clean\r\nlev=2\r\ntype=1\r\nttype=4\r\nstatus=1\r\n"
    "uni=20\r\ntext=Ideas\r\nlev=1\r\ntype=1\r\nttype=3\r\n";

// The note's "grüne" changes from plain to bold to italic inside the word.
const char* kNote = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Bring the gr{\\b \\'fc}n{\\i e} box.\\par}";

struct Searched : test::LoadedWorkspace {
  SearchService service{workspace.tree()};
  PageFolders folders{data.path(), data.path(), data.path()};

  Searched() : LoadedWorkspace(kStructure, Moment::At(kTick), "00000099") {
    workspace.setPageFolders(folders);
    data.put("10.pkt", "con=0\r\nuni=1\r\nfile=10-1.txt\r\ncon=1\r\nuni=2\r\nfile=10-2.lst\r\n");
    data.put("10-1.txt", kNote);
    EXPECT_TRUE(WriteChecklist(data.file("10-2.lst"),
                               {MakeChecklistItem("Tape"), MakeChecklistItem(U8(u8"Καρτόνια κουτιά"))}));
    workspace.addTreeObserver(&service);
    service.start(folders);
    service.waitForBuild();
  }
  ~Searched() { workspace.removeTreeObserver(&service); }

  // The results of a search once they are reported.
  SearchResults find(const QString& typed) { return test::ReportedResults(service, typed); }
  std::vector<std::string> topicsFound(const QString& typed) {
    std::vector<std::string> topics;
    for (const SearchHit& hit : find(typed).hits) topics.push_back(hit.topicId);
    return topics;
  }
};

TEST(SearchService, FindsTitlesNotesAndChecklistItemsReadFromThePageFiles) {
  Searched searched;
  EXPECT_EQ(searched.topicsFound("HOUSE"), std::vector<std::string>{"10"});
  const SearchResults note = searched.find(QString::fromUtf8(U8(u8"grüne box")));
  ASSERT_EQ(note.hits.size(), 1u) << "a word whose formatting changes midway is one word";
  EXPECT_EQ(std::tuple(note.hits[0].field, note.hits[0].pageId), std::tuple(SearchField::Notes, 1));
  EXPECT_EQ(note.hits[0].snippet.mid(note.hits[0].snippetStart, note.hits[0].snippetLength),
            QString::fromUtf8(U8(u8"grüne")));
  const SearchResults item = searched.find(QString::fromUtf8(U8(u8"κουτια ΚΑΡΤΟΝΙΑ")));
  ASSERT_EQ(item.hits.size(), 1u);
  EXPECT_EQ(std::tuple(item.hits[0].field, item.hits[0].pageId, item.hits[0].item),
            std::tuple(SearchField::Checklist, 2, 1));
}

TEST(SearchService, EditsAndTheirUndoChangeTheNextResult) {
  Searched searched;
  Workspace& workspace = searched.workspace;
  ASSERT_TRUE(workspace.renameTopic(searched.node("11"), U8(u8"Umzugskartons packen")));
  EXPECT_EQ(searched.topicsFound("umzug"), std::vector<std::string>{"11"});
  workspace.undoStack().undo();
  EXPECT_TRUE(searched.topicsFound("umzug").empty());
  EXPECT_EQ(searched.topicsFound("pack"), std::vector<std::string>{"11"});

  ASSERT_TRUE(workspace.removeSubtree(searched.node("10")));
  EXPECT_TRUE(searched.topicsFound("grune").empty()) << "a removed topic's pages go with it";
  EXPECT_TRUE(searched.topicsFound("clean").empty()) << "and its sub-topics";
  workspace.undoStack().undo();
  EXPECT_EQ(searched.topicsFound("grune"), std::vector<std::string>{"10"});
  EXPECT_EQ(searched.topicsFound("clean"), std::vector<std::string>{"12"});

  ResultOf<TopicNode*> added = workspace.addTopic(searched.node("20"), false, kTick);
  ASSERT_TRUE(added.ok());
  ASSERT_TRUE(workspace.renameTopic(*added, "Quarterly review"));
  EXPECT_EQ(searched.topicsFound("quarterly").size(), 1u);
}

TEST(SearchService, ASavedPageIsSearchedWithItsNewText) {
  Searched searched;
  ResultOf<TopicPages*> pages = searched.workspace.pagesOf(searched.record("10"));
  ASSERT_TRUE(pages.ok());
  TopicPage& checklist = (*pages)->pages[1];
  ASSERT_TRUE(WriteChecklist(searched.data.file("10-2.lst"), {MakeChecklistItem("Bubble wrap")}));
  searched.service.pageSaved("10", checklist);
  EXPECT_TRUE(searched.topicsFound("tape").empty());
  EXPECT_EQ(searched.topicsFound("bubble"), std::vector<std::string>{"10"});
}

TEST(SearchService, ANewerSearchCancelsTheOlderWhoseResultsAreNeverReported) {
  Searched searched;
  std::vector<std::pair<int, SearchResults>> reported;
  QObject::connect(&searched.service, &SearchService::resultsReady,
                   [&](int generation, const SearchResults& results) { reported.emplace_back(generation, results); });
  // Hold the query thread so that both searches are waiting when the second one is asked.
  QSemaphore held;
  QSemaphore release;
  auto blocker = QtConcurrent::run(&searched.service.queryPool(), [&] {
    held.release();
    release.acquire();
  });
  held.acquire();
  const int older = searched.service.search("tape");
  const int newer = searched.service.search("clean");
  release.release();
  const QDeadlineTimer deadline(20000);
  while (reported.empty() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  searched.service.queryPool().waitForDone();
  QCoreApplication::processEvents();
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_LT(older, newer);
  EXPECT_EQ(reported[0].first, newer);
  ASSERT_EQ(reported[0].second.hits.size(), 1u);
  EXPECT_EQ(reported[0].second.hits[0].topicId, "12");
}

}  // namespace
}  // namespace tarvo
