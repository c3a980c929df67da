#pragma once

// Keeps a SearchIndex of the tree's topics current and answers queries off the calling thread.
//
// `start` takes a snapshot of the titles (the tree may only be read on its own thread) and
// builds the index in the background, reading the pages from their files; queries asked
// meanwhile are answered from what has been read so far (titles first), and `building` says so.
// As an observer of the tree it hears every added, removed and renamed topic (undo and redo
// included); `pageSaved` tells it of a page's new content.
//
// Each `search` cancels the one before and numbers itself; only the results of the newest one
// are ever reported, so a slow older search cannot overwrite a newer answer.
//
// Threading: made, called and destroyed on the tree's thread; the owner registers it as an
// observer of the tree and removes it before the tree goes.

#include <QFuture>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <string>

#include "content/topic_pages.h"
#include "workspace/search/search_index.h"
#include "structure/topic_tree.h"

namespace tarvo {

class SearchService : public QObject, public TreeObserver {
  Q_OBJECT

 public:
  explicit SearchService(const TopicTree& tree, QObject* parent = nullptr);
  ~SearchService() override;

  // Builds the index of the tree as it is now, reading pages from these folders.
  void start(const PageFolders& folders);
  // Starts a search for the typed text and returns its number; its results come with
  // `resultsReady` unless a newer search starts first.
  int search(const QString& typed, std::size_t limit = kDefaultLimit);
  // A page's content was saved.
  void pageSaved(const std::string& topicId, const TopicPage& page);
  // The topic's page files were replaced from outside (a receive, a pack, their undo): its
  // pages are read again from their files. Nothing for a topic not in the tree.
  void pagesReplaced(const TopicRecord* record);

  [[nodiscard]] bool building() const { return building_.load(); }
  [[nodiscard]] SearchIndex& index() { return index_; }
  // The threads queries run on (one: each new query cancels the older anyway).
  [[nodiscard]] QThreadPool& queryPool() { return queryPool_; }
  // Waits for the background build to end (tests, benchmarks).
  void waitForBuild();

  static constexpr std::size_t kDefaultLimit = 500;

 signals:
  void resultsReady(int generation, const tarvo::SearchResults& results);
  // The background build read another batch of pages, or ended: a query asked meanwhile may
  // find more now. Sent from the build's thread.
  void buildProgressed();

 private:
  // TreeObserver
  void treeReset() override;
  void nodesInserted(TopicNode* parent, std::size_t first, std::size_t last) override;
  void nodesAboutToBeRemoved(TopicNode* parent, std::size_t first, std::size_t last) override;
  void nodeChanged(TopicNode* node) override;

  void stopBuild();
  [[nodiscard]] int sectionTypeOf(const TopicNode& node) const;

  const TopicTree& tree_;
  PageFolders folders_;
  bool started_ = false;
  SearchIndex index_;
  QThreadPool buildPool_;
  QThreadPool queryPool_;
  QFuture<void> build_;
  std::atomic<bool> stopBuild_ = false;
  std::atomic<bool> building_ = false;
  std::shared_ptr<std::atomic<bool>> cancelCurrent_;
  int generation_ = 0;
};

}  // namespace tarvo
