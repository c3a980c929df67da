#include "content/page_store.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>

#include "base/date_text.h"

#include "store/file_system.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

// A copy stamped with its own time of change, as the store's purge recognises them.
std::string PutStampedCopy(const test::TempFolder& folder, const std::string& stem, const std::string& extension) {
  const std::time_t when = 1767225600;
  const std::string name = stem + "(" + StampText(QDateTime::fromSecsSinceEpoch(when)) + ")" + extension;
  folder.put(name, "stamped");
  const utimbuf times{when, when};
  EXPECT_EQ(utime(folder.file(name).c_str(), &times), 0);
  return name;
}

struct PageData {
  test::TempFolder root;
  PageFolders folders{root.path(), root.path(), root.path()};
  TopicPages pages;
  PageData() {
    pages = *LoadTopicPages(folders, "42", 1);
  }
  TopicPage& notes() { return pages.pages[0]; }
  TopicPage& checklist() { return pages.pages[1]; }
};

TEST(PageStore, ChecklistFileComesAndGoesWithItsItems) {
  PageData data;
  ChecklistItems items{MakeChecklistItem("Pack")};
  ASSERT_TRUE(SaveChecklistPage(data.folders, data.pages, data.checklist(), items, "20261206-100000").ok());
  EXPECT_EQ(data.checklist().fileName, "42-2.lst");
  EXPECT_TRUE(data.checklist().hasFile);
  EXPECT_TRUE(data.pages.changed) << "the pages file must list the new file";
  EXPECT_EQ(data.root.read("42-2.lst"), "chk=0\r\ntxt=Pack\r\n");
  ASSERT_TRUE(SavePageFiles(data.folders, data.pages, data.checklist(), "20261206-100000").ok());
  EXPECT_TRUE(data.root.has("42.pkt"));
  EXPECT_NE(data.root.read("42-2.~lst").find("data=1"), std::string::npos);

  // A date-stamped copy goes with the file; numbered backups stay as the way back.
  items.push_back(MakeChecklistItem("Go"));
  ASSERT_TRUE(SaveChecklistPage(data.folders, data.pages, data.checklist(), items, "20261206-100100").ok());
  EXPECT_TRUE(data.root.has("42-2(1).lst"));
  const std::string stamped = PutStampedCopy(data.root, "42-2", ".lst");
  ASSERT_TRUE(SaveChecklistPage(data.folders, data.pages, data.checklist(), {}, "20261206-100200").ok());
  EXPECT_FALSE(data.root.has("42-2.lst"));
  EXPECT_FALSE(data.root.has(stamped));
  EXPECT_TRUE(data.root.has("42-2(1).lst"));
  EXPECT_TRUE(data.checklist().fileName.empty());
  EXPECT_FALSE(data.checklist().hasFile);
  ASSERT_TRUE(SavePageFiles(data.folders, data.pages, data.checklist(), "20261206-100200").ok());
  EXPECT_NE(data.root.read("42.pkt").find("con=1\r\nuni=2\r\nfile=\r\n"), std::string::npos);

  ASSERT_TRUE(SaveChecklistPage(data.folders, data.pages, data.checklist(), {MakeChecklistItem("Again")},
                                "20261206-100300").ok());
  EXPECT_EQ(data.checklist().fileName, "42-2.lst") << "the next item makes the same file again";
  EXPECT_EQ(data.root.read("42-2.lst"), "chk=0\r\ntxt=Again\r\n");
}

TEST(PageStore, NotesKeepThreeBackupsAndGoWhenBlank) {
  PageData data;
  for (int save = 1; save <= 4; ++save) {
    const std::string rtf = "{\\rtf1 version " + std::to_string(save) + "}";
    ASSERT_TRUE(SaveNotesPage(data.folders, data.pages, data.notes(), rtf, "20261206-100000").ok());
  }
  EXPECT_EQ(data.notes().fileName, "42-1.txt");
  EXPECT_TRUE(data.notes().info.richText);
  EXPECT_EQ(data.root.read("42-1.txt"), "{\\rtf1 version 4}");
  EXPECT_EQ(data.root.read("42-1(1).txt"), "{\\rtf1 version 1}");
  EXPECT_EQ(data.root.read("42-1(3).txt"), "{\\rtf1 version 3}");
  ASSERT_TRUE(SaveNotesPage(data.folders, data.pages, data.notes(), "{\\rtf1 version 5}", "20261206-100000").ok());
  EXPECT_FALSE(data.root.has("42-1(1).txt")) << "the fifth save prunes the oldest";
  EXPECT_EQ(data.root.read("42-1(4).txt"), "{\\rtf1 version 4}");
  EXPECT_TRUE(data.root.has("42-1(2).txt"));
  EXPECT_FALSE(data.root.has("42-1.tmp"));

  const std::string stamped = PutStampedCopy(data.root, "42-1", ".txt");
  ASSERT_TRUE(SaveNotesPage(data.folders, data.pages, data.notes(), "", "20261206-100000").ok());
  EXPECT_FALSE(data.root.has("42-1.txt"));
  EXPECT_FALSE(data.root.has(stamped));
  EXPECT_TRUE(data.notes().fileName.empty());
  ASSERT_TRUE(SaveNotesPage(data.folders, data.pages, data.notes(), "{\\rtf1 back}", "20261206-100000").ok());
  EXPECT_EQ(data.root.read("42-1.txt"), "{\\rtf1 back}");
}

TEST(PageStore, UnreadableFilesAreSetAsideBeforeAnythingIsSaved) {
  PageData data;
  data.checklist().fileName = "42-2.lst";
  data.notes().fileName = "42-1.txt";
  data.root.put("42-2.lst", "chk=1\r\ntxt=precious\r\n");
  data.root.put("42-1.txt", "{\\rtf1 precious}");
  test::FailingFileSystem failing;
  failing.failRead = true;
  failing.onlyPathsWith = "42-";
  ScopedFileSystem scoped(failing);

  const ResultOf<ChecklistItems> items = LoadChecklistPage(data.folders, data.checklist());
  ASSERT_TRUE(items.ok());
  EXPECT_TRUE(items->empty());
  EXPECT_NE(items.note().find("cannot be read"), std::string::npos) << items.note();
  const ResultOf<std::string> notes = LoadNotesBytes(data.folders, data.notes());
  EXPECT_FALSE(notes.ok());

  failing.failRead = false;
  int asideChecklists = 0;
  int asideNotes = 0;
  for (const std::string& name : data.root.names()) {
    if (name.starts_with("42-2-unreadable-") && name.ends_with(".lst")) {
      ++asideChecklists;
      EXPECT_EQ(data.root.read(name), "chk=1\r\ntxt=precious\r\n");
      EXPECT_NE(items.note().find(name), std::string::npos) << "the log says where";
    }
    if (name.starts_with("42-1-unreadable-") && name.ends_with(".txt")) ++asideNotes;
  }
  EXPECT_EQ(asideChecklists, 1);
  EXPECT_EQ(asideNotes, 1);

  // The page starts empty; an empty save removes the file, but the copy aside stays.
  data.checklist().hasFile = true;
  ASSERT_TRUE(SaveChecklistPage(data.folders, data.pages, data.checklist(), {}, "20261206-100000").ok());
  EXPECT_EQ(asideChecklists, 1);
  bool kept = false;
  for (const std::string& name : data.root.names()) kept |= name.starts_with("42-2-unreadable-");
  EXPECT_TRUE(kept) << "no backup rule prunes a copy set aside";
}

// A note that is no rich text is shown as its lines, one read only in part as far as it goes;
// either way the file is set aside first, and a good note comes without a word for the log.
TEST(PageStore, NotesThatAreNotWholeRichTextAreShownAndSetAside) {
  PageData data;
  data.notes().fileName = "42-1.txt";
  data.root.put("42-1.txt", "plain words\r\nsecond line");
  const ResultOf<RichDocument> plain = LoadNotesPage(data.folders, data.notes());
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(plain->plainText(), "plain words\nsecond line");
  EXPECT_NE(plain.note().find("is not rich text"), std::string::npos) << plain.note();

  data.root.put("42-1.txt", "{\\rtf1 cut {\\b short");
  const ResultOf<RichDocument> cut = LoadNotesPage(data.folders, data.notes());
  ASSERT_TRUE(cut.ok());
  EXPECT_TRUE(cut->plainText().startsWith("cut")) << cut->plainText().toStdString();
  EXPECT_NE(cut.note().find("read only in part"), std::string::npos) << cut.note();
  int aside = 0;
  for (const std::string& name : data.root.names()) aside += name.starts_with("42-1-unreadable-") ? 1 : 0;
  EXPECT_GE(aside, 1);

  data.root.put("42-1.txt", "{\\rtf1 whole}");
  const ResultOf<RichDocument> whole = LoadNotesPage(data.folders, data.notes());
  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(whole->plainText(), "whole");
  EXPECT_TRUE(whole.note().empty());
  data.notes().fileName.clear();
  EXPECT_TRUE(LoadNotesPage(data.folders, data.notes())->isEmpty()) << "no file, an empty note";
}

}  // namespace
}  // namespace tarvo
