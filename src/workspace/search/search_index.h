#pragma once

// The in-memory index that finds topics by their texts: each topic's title, the plain text of
// each notes page and the items of each checklist page (one per line) are documents. A query
// matches a document holding all its terms (see search_query.h); the hits come with a snippet
// around the first term's first place.
//
// The texts are kept as they are (UTF-8) for snippets; a word index (each distinct folded word
// with the ascending numbers of the documents holding it, delta-coded) narrows a query down to
// the documents worth reading. Documents can be added before they are indexed: a bulk load
// stores them at once and `indexSome` works through them, while queries read the documents not
// yet indexed directly, so every answer is complete whatever the build has reached.
//
// A changed text gets a new document number and the old one becomes dead: word lists only ever
// grow at their end, so an edit costs the words of its own text.
//
// Threading: every function may be called from any thread; queries share a lock, changes take
// it alone for the time of one document (or one batch of the build).

#include <atomic>
#include <cstdint>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <QString>

#include "workspace/search/search_query.h"

namespace tarvo {

enum class SearchField : std::uint8_t { Title, Notes, Checklist };

// A document to store: titles have page 0.
struct SearchDocument {
  std::string topicId;
  SearchField field = SearchField::Title;
  int pageId = 0;
  std::string text;  // UTF-8
};

struct SearchHit {
  std::string topicId;
  SearchField field = SearchField::Title;
  int pageId = 0;
  int item = -1;       // the checklist item (row) holding the match; -1 for titles and notes
  int offset = 0;      // the match in UTF-16 units: within the item for a checklist, else the text
  int length = 0;
  QString snippet;     // the text around the match on one line
  int snippetStart = 0;  // the match within the snippet
  int snippetLength = 0;
};

struct SearchResults {
  std::vector<SearchHit> hits;
  bool truncated = false;  // more documents match than the limit let through
  bool cancelled = false;  // stopped early; the hits are a part only
};

class SearchIndex {
 public:
  SearchIndex() = default;
  SearchIndex(const SearchIndex&) = delete;
  SearchIndex& operator=(const SearchIndex&) = delete;

  // Puts the text of a topic's title or page in place of what it had; an empty text removes the
  // document. Indexed at once unless the build is still working through older documents.
  void setDocument(const std::string& topicId, SearchField field, int pageId, const std::string& text);
  // Forgets every document of the topic, and any bulk-loaded text for it that comes later.
  void removeTopic(const std::string& topicId);
  // Stores loaded documents, unindexed. A document whose topic was removed, or whose title or
  // page already has a text set since, is dropped: the later edit wins over the older load.
  void addLoaded(std::vector<SearchDocument> documents);
  // Indexes up to `count` stored documents; false once none is left.
  bool indexSome(std::size_t count);
  // Drops everything (the tree was replaced).
  void clear();

  // The matching documents in the order they were stored, at most `limit`. `cancelled` is
  // looked at now and then; once true the search stops.
  [[nodiscard]] SearchResults find(const SearchQuery& query, std::size_t limit,
                                   const std::atomic<bool>* cancelled = nullptr) const;

  // Sizes, for the benchmark: the texts held, and the memory held in all.
  [[nodiscard]] std::size_t textBytes() const;
  [[nodiscard]] std::size_t memoryBytes() const;
  [[nodiscard]] std::size_t documentCount() const;
  [[nodiscard]] bool fullyIndexed() const;

 private:
  struct Document {
    std::uint32_t topic = 0;
    std::int32_t pageId = 0;
    SearchField field = SearchField::Title;
    bool alive = true;
    std::string text;
  };
  struct Topic {
    std::string id;
    std::vector<std::uint32_t> documents;  // live and dead
    bool removed = false;
  };
  struct Postings {
    std::vector<std::uint8_t> deltas;  // variable-length gaps between document numbers
    std::uint32_t last = 0;
    std::uint32_t count = 0;
  };

  std::uint32_t topicNumber(const std::string& topicId);
  // The live document of a title or page, or -1.
  [[nodiscard]] std::int64_t liveDocument(const Topic& topic, SearchField field, int pageId) const;
  void kill(std::uint32_t document);
  void append(std::uint32_t topic, SearchField field, int pageId, std::string text);
  void indexDocument(std::uint32_t document);
  std::uint32_t wordNumber(std::string_view word);
  void indexUnlocked(std::size_t count);
  void compactUnlocked();
  // The documents that may hold every term, as a bit per indexed document; empty when the
  // word index cannot narrow the query (every indexed document is a candidate).
  [[nodiscard]] std::vector<bool> candidates(const SearchQuery& query, bool& none) const;
  [[nodiscard]] SearchHit hitIn(std::uint32_t document, const std::string& term) const;

  mutable std::shared_mutex lock_;
  std::vector<Document> documents_;
  std::size_t indexed_ = 0;  // documents_[0, indexed_) are in the word index
  std::vector<Topic> topics_;
  std::unordered_map<std::string, std::uint32_t> topicNumbers_;
  // The words, each between '\n's in one string, so finding the words that hold a piece of
  // text is one scan; wordStarts_ gives where each word begins.
  std::string vocabulary_;
  std::vector<std::uint32_t> wordStarts_;
  std::unordered_map<std::string, std::uint32_t> wordNumbers_;
  std::vector<Postings> postings_;
  std::size_t textBytes_ = 0;
};

}  // namespace tarvo
