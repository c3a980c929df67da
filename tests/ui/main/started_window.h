#pragma once

// The main window started over fresh folders and shown offscreen, with what the window tests
// ask of it: a topic's row by caption and the panels on show.

#include <QStackedWidget>
#include <QTreeView>
#include <string>

#include "platform/channel.h"
#include "structure/topic_tree.h"
#include "support/app_fixture.h"
#include "ui/main/main_window.h"
#include "ui/main/topic_tree_model.h"

namespace tarvo::test {

// Points the environment at the folders before anything else of the window exists.
struct UsingFolders {
  explicit UsingFolders(const AppFolders& folders) { folders.useInThisProcess(); }
};

// A started main window over fresh folders, shown offscreen.
struct StartedWindow {
  explicit StartedWindow(const AppFolders& folders)
      : environment(folders), window(channels, folders.home.path(), folders.program.path()) {
    window.start();
    window.show();
  }
  ~StartedWindow() { window.close(); }

  QModelIndex find(const std::string& caption) {
    TopicTreeModel& model = window.treeModel();
    QModelIndex found;
    window.session().workspace.tree().forEachInDisplayOrder([&](TopicNode& node, int) {
      if (node.record->text == caption) found = model.indexOf(&node);
    });
    return found;
  }
  QWidget* detailPanel() { return window.findChild<QStackedWidget*>("panelDetail")->currentWidget(); }
  QTreeView* tree() { return window.findChild<QTreeView*>("treeMain"); }

  UsingFolders environment;
  ChannelManager channels;
  TformMain window;
};

}  // namespace tarvo::test
