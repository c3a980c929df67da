#pragma once

// A workspace loaded from a structure file in a fresh data folder, with what the workspace
// tests ask of it: a topic's node and record by id, the tree as "id:depth" words, and the
// file a save writes.

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"
#include "workspace/workspace.h"

namespace tarvo::test {

struct LoadedWorkspace {
  TempFolder data;
  TempFolder program;
  Workspace workspace;

  // `counter`, when given, is the id counter's content (new topics get ids above it).
  LoadedWorkspace(const std::string& structure, const Moment& now, const std::string& counter = "") {
    data.put("Structure.dat", structure);
    if (!counter.empty()) data.put("StructUnique.dat", counter);
    const StructureLoad load = workspace.loadStructure(data.path(), program.path());
    EXPECT_TRUE(load.loaded()) << load.message;
    workspace.buildTree(now);
  }
  [[nodiscard]] TopicNode* node(const std::string& id) const {
    const TopicRecord* record = workspace.master().recordOf(id);
    return record == nullptr ? nullptr : record->treeNode;
  }
  [[nodiscard]] TopicRecord& record(const std::string& id) const { return *node(id)->record; }
  [[nodiscard]] std::string outline() const {
    std::string text;
    workspace.tree().forEachInDisplayOrder([&](TopicNode& node, int depth) {
      text += (text.empty() ? "" : " ") + node.record->uni + ":" + std::to_string(depth);
    });
    return text;
  }
  std::string saved() {
    const Result result = workspace.saveStructureIfChanged();
    EXPECT_TRUE(result) << result.reason();
    return data.read("Structure.dat");
  }
};

}  // namespace tarvo::test
