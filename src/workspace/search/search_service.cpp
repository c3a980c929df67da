#include "workspace/search/search_service.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "workspace/search/page_texts.h"
#include "structure/topic_record.h"

namespace tarvo {

namespace {

// Documents are handed to the index in batches, so a query never waits long for its lock.
constexpr std::size_t kBuildBatch = 512;

struct TopicToRead {
  std::string id;
  int sectionType = 0;
};

std::string TitleOf(const TopicNode& node) {
  return node.record != nullptr ? std::string(node.record->text) : std::string();
}

}  // namespace

SearchService::SearchService(const TopicTree& tree, QObject* parent) : QObject(parent), tree_(tree) {
  buildPool_.setMaxThreadCount(1);
  queryPool_.setMaxThreadCount(1);
}

SearchService::~SearchService() {
  stopBuild();
  if (cancelCurrent_) cancelCurrent_->store(true);
  queryPool_.waitForDone();
}

int SearchService::sectionTypeOf(const TopicNode& node) const {
  const TopicNode* section = &node;
  while (section->parent() != nullptr) section = section->parent();
  return section->record != nullptr ? section->record->type : 0;
}

void SearchService::start(const PageFolders& folders) {
  stopBuild();
  index_.clear();
  folders_ = folders;
  started_ = true;
  std::vector<SearchDocument> titles;
  std::vector<TopicToRead> topics;
  tree_.forEachInDisplayOrder([&](TopicNode& node, int) {
    if (node.record == nullptr) return;
    const std::string id(node.record->uni);
    titles.push_back(SearchDocument{id, SearchField::Title, 0, TitleOf(node)});
    topics.push_back(TopicToRead{id, sectionTypeOf(node)});
  });
  stopBuild_ = false;
  building_ = true;
  build_ = QtConcurrent::run(&buildPool_, [this, titles = std::move(titles), topics = std::move(topics)]() mutable {
    index_.addLoaded(std::move(titles));
    std::vector<SearchDocument> batch;
    for (const TopicToRead& topic : topics) {
      if (stopBuild_) break;
      for (SearchDocument& document : StoredPageDocuments(folders_, topic.id, topic.sectionType)) {
        batch.push_back(std::move(document));
      }
      if (batch.size() >= kBuildBatch) {
        index_.addLoaded(std::move(batch));
        batch.clear();
        index_.indexSome(kBuildBatch);
        emit buildProgressed();
      }
    }
    index_.addLoaded(std::move(batch));
    building_ = false;
    emit buildProgressed();
    while (!stopBuild_ && index_.indexSome(kBuildBatch)) {
    }
  });
}

void SearchService::stopBuild() {
  stopBuild_ = true;
  build_.waitForFinished();
  building_ = false;
}

void SearchService::waitForBuild() { build_.waitForFinished(); }

int SearchService::search(const QString& typed, std::size_t limit) {
  const int generation = ++generation_;
  if (cancelCurrent_) cancelCurrent_->store(true);
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  cancelCurrent_ = cancel;
  const SearchQuery query = ParseSearchQuery(typed.toStdString());
  auto* watcher = new QFutureWatcher<SearchResults>(this);
  connect(watcher, &QFutureWatcher<SearchResults>::finished, this, [this, watcher, generation] {
    watcher->deleteLater();
    // A newer search has started since: these results would show what is no longer asked.
    if (generation != generation_) return;
    emit resultsReady(generation, watcher->result());
  });
  watcher->setFuture(QtConcurrent::run(&queryPool_, [this, query, limit, cancel] {
    return index_.find(query, limit, cancel.get());
  }));
  return generation;
}

void SearchService::pageSaved(const std::string& topicId, const TopicPage& page) {
  SearchField field = SearchField::Title;
  if (!SearchFieldOf(page, field)) return;
  index_.setDocument(topicId, field, page.id, StoredPageText(folders_, page));
}

void SearchService::treeReset() {
  if (started_) start(folders_);
}

void SearchService::nodesInserted(TopicNode* parent, std::size_t first, std::size_t last) {
  const std::vector<TopicNode*> children = tree_.childrenOf(parent);
  for (std::size_t row = first; row <= last && row < children.size(); ++row) {
    TopicTree::VisitSubtree(*children[row], 0, [&](TopicNode& node, int) {
      if (node.record == nullptr) return;
      const std::string id(node.record->uni);
      index_.setDocument(id, SearchField::Title, 0, TitleOf(node));
      // A topic brought back (undo of a removal, a received topic) has its pages on disk again.
      if (!started_) return;
      for (const SearchDocument& page : StoredPageDocuments(folders_, id, sectionTypeOf(node))) {
        index_.setDocument(id, page.field, page.pageId, page.text);
      }
    });
  }
}

void SearchService::nodesAboutToBeRemoved(TopicNode* parent, std::size_t first, std::size_t last) {
  const std::vector<TopicNode*> children = tree_.childrenOf(parent);
  for (std::size_t row = first; row <= last && row < children.size(); ++row) {
    TopicTree::VisitSubtree(*children[row], 0, [&](TopicNode& node, int) {
      if (node.record != nullptr) index_.removeTopic(std::string(node.record->uni));
    });
  }
}

void SearchService::pagesReplaced(const TopicRecord* record) {
  if (!started_ || record == nullptr || record->treeNode == nullptr) return;
  const std::string id(record->uni);
  index_.removeTopic(id);
  index_.setDocument(id, SearchField::Title, 0, TitleOf(*record->treeNode));
  for (const SearchDocument& page : StoredPageDocuments(folders_, id, sectionTypeOf(*record->treeNode))) {
    index_.setDocument(id, page.field, page.pageId, page.text);
  }
}

void SearchService::nodeChanged(TopicNode* node) {
  if (node != nullptr && node->record != nullptr) {
    index_.setDocument(std::string(node->record->uni), SearchField::Title, 0, TitleOf(*node));
  }
}

}  // namespace tarvo
