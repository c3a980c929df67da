#pragma once

// One colleague of a shared folder in a test: a data folder of their own with its sub-folders,
// a workspace loaded from a structure, the main log caught line by line, and the exchange.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "workspace/data_folders.h"
#include "workspace/main_log.h"
#include "workspace/topic_exchange.h"
#include "workspace/workspace.h"

namespace tarvo::test {

inline const QDateTime kExchangeTime(QDate(2026, 3, 5), QTime(9, 7, 3));

struct Colleague {
  std::string name;
  TempFolder home;
  TempFolder program;
  DataFolders folders;
  Workspace workspace;
  MainLog log;
  std::vector<std::string> lines;  // the log's messages, without their time
  TopicExchange exchange{workspace, log, folders};

  Colleague(std::string userName, const std::string& structure, const std::string& counter = "00000500")
      : name(std::move(userName)), folders(DataFolders::For(home.path(), program.path())) {
    EXPECT_TRUE(folders.createFolders());
    WriteBytes(JoinPath(folders.data, "Structure.dat"), structure);
    WriteBytes(JoinPath(folders.data, "StructUnique.dat"), counter);
    EXPECT_TRUE(workspace.loadStructure(folders.data, program.path()).loaded());
    workspace.buildTree(Moment::At(kExchangeTime));
    workspace.setPageFolders({folders.packs, folders.checklists, folders.notes});
    log.setDisplay([this](const std::string& line) {
      const std::size_t gap = line.find("  ");
      lines.push_back(gap == std::string::npos ? line : line.substr(gap + 2));
    });
  }

  [[nodiscard]] ExchangeIdentity self(const std::string& shared) const { return {shared, name}; }
  [[nodiscard]] TopicNode* node(const std::string& id) const {
    const TopicRecord* record = workspace.master().recordOf(id);
    return record == nullptr ? nullptr : record->treeNode;
  }
  // The tree as "id:depth" words.
  [[nodiscard]] std::string outline() const {
    std::string text;
    workspace.tree().forEachInDisplayOrder([&](TopicNode& node, int depth) {
      text += (text.empty() ? "" : " ") + node.record->uni + ":" + std::to_string(depth);
    });
    return text;
  }
  [[nodiscard]] bool logged(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  [[nodiscard]] std::string file(const std::string& folder, const std::string& fileName) const {
    return ReadBytes(JoinPath(folder, fileName));
  }
};

}  // namespace tarvo::test
