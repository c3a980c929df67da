#include "store/folder_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Masks match as the shell's do, but case-sensitive; files, folders and matching names listed.
TEST(FolderListing, MasksFilesFoldersAndMatching) {
  for (const auto& [name, mask, matches] :
       {std::tuple{"notes(3).txt", "notes(*.txt", true}, {"a.txt", "*", true}, {"a.txt", "?.txt", true},
        {"addon-xyz", "addon-*", true}, {"aXbXc", "*X*X*", true}, {"", "*", true}, {"ab.txt", "?.txt", false},
        {"aXb", "*X*X*", false}, {"A.TXT", "*.txt", false}}) {
    EXPECT_EQ(MatchesMask(name, mask), matches) << name << " " << mask;
  }
  TempFolder folder;
  for (const char* name : {"Päivä.txt", "b.txt", "b(2).txt", "b(20260115-093000).txt", "c.lst", ".hidden"}) {
    folder.put(name, "");
  }
  fs::create_directory(folder.file("Packs"));
  fs::create_directory(folder.file(".git"));

  Names files;
  ListFiles(folder.path() + "/", files);
  EXPECT_EQ(Sorted(files), (Names{".hidden", "Päivä.txt", "b(2).txt", "b(20260115-093000).txt",
                                  "b.txt", "c.lst"}));
  files.clear();
  ListFiles(folder.file("*.lst"), files);
  EXPECT_EQ(files, Names{"c.lst"});

  Names folders;
  ListFolders(folder.path(), folders);
  EXPECT_EQ(folders, Names{"Packs"});

  Names matching = {"zz-already-there"};
  EXPECT_EQ(ListMatching(folder.path(), "*.txt", kFiles, true, matching), 2);
  EXPECT_EQ(matching, (Names{"Päivä.txt", "b.txt", "zz-already-there"}));
  matching.clear();
  EXPECT_EQ(ListMatching(folder.path(), "*", kAnyEntry, false, matching), 8)
      << "hidden names count; only . and .. never do";
  EXPECT_TRUE(std::find(matching.begin(), matching.end(), "Packs") != matching.end());
}

TEST(FolderListing, DeleteFolderTreeEmptiesButKeepsTheFolderAndNeverFollowsLinks) {
  TempFolder outside;
  outside.put("precious.txt", "keep me");
  TempFolder folder;
  fs::create_directories(folder.file("Inbox/deep/er"));
  folder.put("Inbox/a.str", "x");
  folder.put("Inbox/deep/er/b.str", "y");
  folder.put("top.txt", "z");
  fs::create_directory_symlink(outside.path(), folder.file("Inbox/link"));

  EXPECT_TRUE(DeleteFolderTree(folder.path()));
  EXPECT_TRUE(fs::is_directory(folder.path()));
  EXPECT_TRUE(folder.names().empty());
  EXPECT_EQ(outside.read("precious.txt"), "keep me");
}

}  // namespace
}  // namespace tarvo
