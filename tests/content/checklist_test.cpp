#include "content/checklist.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

ChecklistItems ThreeItems() {
  return {MakeChecklistItem("Book the room"), MakeChecklistItem("Send the agenda"),
          MakeChecklistItem("Print handouts")};
}

TEST(Checklist, TicksDriveProgressAndStatus) {
  ChecklistItems items = ThreeItems();
  EXPECT_EQ(ProgressOf({}), std::nullopt) << "an empty list changes nothing";
  EXPECT_EQ(ProgressOf(items), (ChecklistProgress{0, 1}));
  SetItemTicked(items[1], true, "20261206-101500");
  EXPECT_EQ(ProgressOf(items), (ChecklistProgress{33, 2})) << "one of three, rounded down";
  SetItemTicked(items[0], true, "20261206-101600");
  EXPECT_EQ(ProgressOf(items), (ChecklistProgress{66, 2}));
  SetItemTicked(items[2], true, "20261206-101700");
  EXPECT_EQ(ProgressOf(items), (ChecklistProgress{100, 3}));
  RemoveAllTicks(items);
  EXPECT_EQ(ProgressOf(items), (ChecklistProgress{0, 1}));
  EXPECT_EQ(items[2].finished, "20261206-101700") << "removing ticks keeps the dates";
}

TEST(Checklist, StampsFollowTicksAndRemovedDates) {
  ChecklistItem item = MakeChecklistItem("Call Zoë");
  SetItemTicked(item, true, "20261206-090000");
  SetItemTicked(item, false, "20261206-091000");
  EXPECT_EQ(item.finished, "20261206-090000") << "unticking never clears the date";
  ChecklistItems items{item};
  RemoveAllDates(items);
  EXPECT_TRUE(items[0].finished.empty());
  EXPECT_FALSE(items[0].ticked);
  SetItemTicked(items[0], true, "20261207-080000");
  EXPECT_EQ(items[0].finished, "20261207-080000") << "a tick after the dates went writes a fresh one";
}

TEST(Checklist, PastedLinesCopiedRowsMovesAndRemovals) {
  ChecklistItems pasted = ItemsFromLines("one\r\ntwo www.example.org\nthree\r\n");
  ASSERT_EQ(pasted.size(), 3u) << "a line end after the last line adds no empty item";
  EXPECT_EQ(pasted[1].text, "two www.example.org");
  EXPECT_TRUE(pasted[1].link.found);
  EXPECT_FALSE(pasted[2].ticked);
  EXPECT_TRUE(pasted[2].finished.empty());
  EXPECT_EQ(ItemsFromLines("a\r\rb").size(), 3u) << "a lone CR ends a line too, even an empty one";

  EXPECT_EQ(LinesOfItems(pasted, {0, 2}), "one\r\nthree");
  MoveItem(pasted, 0, -1);
  EXPECT_EQ(pasted[0].text, "one") << "the first item cannot move up";
  MoveItem(pasted, 2, 1);
  EXPECT_EQ(pasted[2].text, "three") << "the last cannot move down";
  MoveItem(pasted, 1, 1);
  EXPECT_EQ(LinesOfItems(pasted, {0, 1, 2}), "one\r\nthree\r\ntwo www.example.org");
  RemoveItems(pasted, {2, 0, 2});
  ASSERT_EQ(pasted.size(), 1u) << "each chosen row goes once, whatever the order";
  EXPECT_EQ(pasted[0].text, "three");
}

TEST(Checklist, DroppedFoldersOpenAsFolders) {
  const ChecklistItem folder = DroppedPathItem("/home/ann/Projects 2026", true);
  EXPECT_EQ(folder.text, "/home/ann/Projects 2026/*.*");
  ASSERT_TRUE(folder.link.found);
  EXPECT_TRUE(folder.link.isFile);
  EXPECT_EQ(LinkTargetToOpen(folder.link), "/home/ann/Projects 2026/");
  const ChecklistItem file = DroppedPathItem("/home/ann/Plan.odt", false);
  EXPECT_EQ(LinkTargetToOpen(file.link), "/home/ann/Plan.odt");
  EXPECT_EQ(ContainingFolder(file.link), "/home/ann/");
  EXPECT_EQ(LinkTargetToOpen(MakeChecklistItem("see https://example.org/x").link), "https://example.org/x");
}

TEST(Checklist, FileKeepsItemsAndWritesOnlyWhatIsSet) {
  test::TempFolder folder;
  ChecklistItems items = ThreeItems();
  items[0].text = "Αγορά γάλακτος, 买牛奶";
  SetItemTicked(items[1], true, "20261206-101500");
  SetItemTicked(items[2], true, "20261206-101600");
  SetItemTicked(items[2], false, "20261206-101700");
  ASSERT_TRUE(WriteChecklist(folder.file("42-2.lst"), items).ok());
  EXPECT_EQ(folder.read("42-2.lst"),
            "chk=0\r\ntxt=Αγορά γάλακτος, 买牛奶\r\n"
            "chk=1\r\ntxt=Send the agenda\r\nfin=20261206-101500\r\n"
            "chk=0\r\ntxt=Print handouts\r\nfin=20261206-101600\r\n");
  const ResultOf<ChecklistItems> read = ReadChecklist(folder.file("42-2.lst"));
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(*read, items);

  folder.put("odd.lst", "txt=before any item\r\nchk=1\r\nfin=20260101-000000\r\nchk=0\r\ntxt=C:\\Docs\\a.txt\r\n");
  const ResultOf<ChecklistItems> odd = ReadChecklist(folder.file("odd.lst"));
  ASSERT_TRUE(odd.ok());
  ASSERT_EQ(odd->size(), 2u) << "a detail before the first item belongs to none";
  EXPECT_TRUE((*odd)[0].text.empty());
  EXPECT_TRUE((*odd)[1].link.isFile);
  EXPECT_TRUE(ReadChecklist(folder.file("missing.lst"))->empty());
}

}  // namespace
}  // namespace tarvo
