#include "content/topic_pages.h"

#include <gtest/gtest.h>

#include "content/page_columns.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

struct PagesFolder {
  test::TempFolder root;
  PageFolders folders{root.path(), root.path(), root.path()};
};

TEST(TopicPages, DefaultsFileRoundTripAndSummary) {
  PagesFolder data;
  const ResultOf<TopicPages> fresh = LoadTopicPages(data.folders, "42", 1);
  ASSERT_TRUE(fresh.ok());
  ASSERT_EQ(fresh->pages.size(), 2u);
  EXPECT_EQ(PageCaption(fresh->pages[0]), "Details");
  EXPECT_EQ(fresh->pages[1].kind(), PageKind::Checklist);
  EXPECT_EQ(fresh->highestId, 2);
  EXPECT_TRUE(LoadTopicPages(data.folders, "43", 4)->pages.empty()) << "other sections start without pages";

  TopicPages pages = *fresh;
  pages.pages[1].fileName = "42-2.lst";
  pages.pages[1].hasFile = true;
  pages.visibleTab = 1;
  ASSERT_TRUE(SaveTopicPages(pages).ok());
  EXPECT_EQ(data.root.read("42.pkt"), "vis=1\r\ncon=0\r\nuni=1\r\nfile=\r\ncon=1\r\nuni=2\r\nfile=42-2.lst\r\n");

  const ResultOf<TopicPages> again = LoadTopicPages(data.folders, "42", 1);
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again->visibleTab, 1);
  EXPECT_EQ(again->pages[1].fileName, "42-2.lst");
  EXPECT_FALSE(again->pages[1].hasFile) << "whether a page has content is the information file's to say";
  EXPECT_EQ(again->pages[0].title, "") << "titles live in the information files";

  data.root.put("44.pkt", "uni=9\r\ncon=1\r\nuni=7\r\ncon=5\r\nuni=3\r\n");
  const ResultOf<TopicPages> odd = LoadTopicPages(data.folders, "44", 1);
  ASSERT_EQ(odd->pages.size(), 2u);
  EXPECT_EQ(odd->highestId, 7) << "an id before any page belongs to none";
  EXPECT_EQ(PageCaption(odd->pages[1]), "Page");

  data.root.put("45.pkt", "con=1\r\nuni=2\r\nfile=../../.bashrc\r\ncon=0\r\nuni=1\r\nfile=45-1.txt\r\n");
  const ResultOf<TopicPages> outside = LoadTopicPages(data.folders, "45", 1);
  ASSERT_TRUE(outside.ok());
  EXPECT_EQ(outside->pages[0].fileName, "") << "a name leading out of the folder is not followed";
  EXPECT_EQ(outside->pages[1].fileName, "45-1.txt");
  EXPECT_NE(outside.note().find("../../.bashrc"), std::string::npos) << outside.note();

  TopicPages counted = *odd;
  counted.pages[0].hasFile = true;
  counted.pages[1].hasFile = true;
  EXPECT_EQ(SummaryOf(counted).count, 2);
  EXPECT_EQ(SummaryOf(counted).kinds, 2 | 8);
}

TEST(TopicPages, InformationFileBesideTheContentFile) {
  PagesFolder data;
  TopicPage checklist;
  checklist.content = 1;
  checklist.fileName = "7-3.lst";
  EXPECT_EQ(PageInfoPath(data.folders, checklist), data.root.file("7-3.~lst"));
  TopicPage notes;
  notes.fileName = "7-1.txt";
  EXPECT_EQ(PageInfoPath(data.folders, notes), data.root.file("7-1.~txt"));
  EXPECT_EQ(PageInfoPath(data.folders, TopicPage{}), "") << "no content file, no information file";

  // The first save of a checklist page: stamps, content and the two default columns.
  checklist.hasFile = true;
  ApplyColumns(checklist.info);
  ASSERT_TRUE(SavePageInfo(data.folders, checklist, "20261206-100000").ok());
  EXPECT_EQ(data.root.read("7-3.~lst"),
            "cre=20261206-100000\r\name=20261206-100000\r\ndata=1\r\n"
            "col=1\r\nvis=1\r\nwid=100\r\ntpe=0\r\ncol=2\r\nvis=1\r\nwid=100\r\ntpe=0\r\n");
}

TEST(TopicPages, ColumnsFollowTheUserAndComeBackHidden) {
  PagesFolder data;
  TopicPage page;
  page.content = 1;
  page.fileName = "7-3.lst";
  std::vector<ShownColumn> shown = ApplyColumns(page.info);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].heading, "") << "the built-in caption";

  TrackColumnWidths(page, {100, 100});
  EXPECT_FALSE(page.info.changed) << "nothing moved";
  TrackColumnWidths(page, {240, 130});
  EXPECT_TRUE(page.info.changed);
  TrackColumnWidths(page, {240, 0});
  ASSERT_TRUE(SavePageInfo(data.folders, page, "20261206-100000").ok());
  EXPECT_NE(data.root.read("7-3.~lst").find("col=2\r\nvis=0\r\nwid=130\r\n"), std::string::npos)
      << data.root.read("7-3.~lst");

  TopicPage reloaded;
  reloaded.fileName = "7-3.lst";
  ASSERT_TRUE(LoadPageInfo(data.folders, reloaded).ok());
  shown = ApplyColumns(reloaded.info);
  EXPECT_EQ(shown[0].width, 240);
  EXPECT_EQ(shown[1].width, 0) << "the hidden column stays hidden";
  TrackColumnWidths(reloaded, {240, 90});
  EXPECT_TRUE(reloaded.info.columns[1].visible) << "widening it shows it again";
  EXPECT_EQ(reloaded.info.columns[1].width, 90);

  TopicPage unsaved;
  ApplyColumns(unsaved.info);
  TrackColumnWidths(unsaved, {10, 0});
  EXPECT_FALSE(unsaved.info.changed) << "a page without a file keeps no layout";
}

TEST(TopicPages, InformationFileReadingRules) {
  PagesFolder data;
  data.root.put("9-2.~lst",
                "hdg=before any column\r\ncre=20260101-010101\r\ndis=Packing list\r\ndata=x\r\n"
                "col=1\r\nwid=wide\r\ncol=5\r\nhdg=Done on\r\nvis=?\r\nfld=f\r\ncol=2\r\n");
  TopicPage page;
  page.fileName = "9-2.lst";
  ASSERT_TRUE(LoadPageInfo(data.folders, page).ok());
  EXPECT_EQ(page.title, "Packing list");
  EXPECT_TRUE(page.hasFile) << "an unreadable flag counts as set";
  ASSERT_EQ(page.info.columns.size(), 3u);
  EXPECT_EQ(page.info.columns[0].width, 100) << "an unreadable width counts as 100";
  EXPECT_EQ(page.info.columns[0].heading, "");
  EXPECT_EQ(page.info.highestColumn, 5);
  EXPECT_EQ(ApplyColumns(page.info)[1].heading, "Done on") << "the second column's own heading";
  EXPECT_TRUE(page.info.columns[1].visible);

  data.root.put("9-4.~lst", "col=one\r\n");
  TopicPage broken;
  broken.fileName = "9-4.lst";
  broken.title = "Mine";
  const Result loaded = LoadPageInfo(data.folders, broken);
  EXPECT_FALSE(loaded.ok());
  EXPECT_NE(loaded.reason().find("\"one\""), std::string::npos) << loaded.reason();
  EXPECT_EQ(broken.title, "Mine") << "a failed read changes nothing";
}

}  // namespace
}  // namespace tarvo
