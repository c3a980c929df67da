#include "workspace/search/search_index.h"

#include <algorithm>
#include <mutex>

#include "workspace/search/text_fold.h"

namespace tarvo {

namespace {

// A word found in more documents than this share of the index does not narrow a query enough
// to be worth decoding; reading the texts is then as quick.
constexpr std::size_t kMaxPostingsPerTerm = 4'000'000;
// How many documents a search reads between looks at its cancel flag.
constexpr std::size_t kCancelStride = 64;
// Snippet context, in bytes of UTF-8 on either side of the match.
constexpr std::size_t kContextBefore = 40;
constexpr std::size_t kContextAfter = 80;

void AppendGap(std::vector<std::uint8_t>& out, std::uint32_t gap) {
  while (gap >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(gap | 0x80));
    gap >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(gap));
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A window of the text as one line: line breaks become spaces.
QString OneLine(std::string_view text) {
  QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QChar& c : line) {
    if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
  }
  return line;
}

bool HoldsEveryTerm(std::string_view folded, const SearchQuery& query) {
  return std::all_of(query.terms.begin(), query.terms.end(),
                     [&](const std::string& term) { return folded.find(term) != std::string_view::npos; });
}

}  // namespace

std::uint32_t SearchIndex::topicNumber(const std::string& topicId) {
  const auto [found, added] = topicNumbers_.try_emplace(topicId, static_cast<std::uint32_t>(topics_.size()));
  if (added) topics_.push_back(Topic{topicId, {}, false});
  return found->second;
}

std::int64_t SearchIndex::liveDocument(const Topic& topic, SearchField field, int pageId) const {
  for (std::uint32_t number : topic.documents) {
    const Document& document = documents_[number];
    if (document.alive && document.field == field && document.pageId == pageId) return number;
  }
  return -1;
}

void SearchIndex::kill(std::uint32_t number) {
  Document& document = documents_[number];
  document.alive = false;
  textBytes_ -= document.text.size();
  std::string().swap(document.text);
}

void SearchIndex::append(std::uint32_t topic, SearchField field, int pageId, std::string text) {
  const auto number = static_cast<std::uint32_t>(documents_.size());
  textBytes_ += text.size();
  documents_.push_back(Document{topic, pageId, field, true, std::move(text)});
  Topic& owner = topics_[topic];
  // A topic keeps the numbers of its dead documents only until the next change: prune them.
  std::erase_if(owner.documents, [&](std::uint32_t old) { return !documents_[old].alive; });
  owner.documents.push_back(number);
}

void SearchIndex::setDocument(const std::string& topicId, SearchField field, int pageId, const std::string& text) {
  std::unique_lock guard(lock_);
  const std::uint32_t topic = topicNumber(topicId);
  topics_[topic].removed = false;
  const std::int64_t existing = liveDocument(topics_[topic], field, pageId);
  if (existing >= 0 && documents_[static_cast<std::size_t>(existing)].text == text) return;
  if (existing >= 0) kill(static_cast<std::uint32_t>(existing));
  // An empty text is kept too, as a live document that matches nothing: it marks the title or
  // page as set, so an older bulk-loaded text cannot come back over it.
  append(topic, field, pageId, text);
  // Indexed now when the build is through; otherwise the build reaches it in turn.
  if (indexed_ + 1 == documents_.size()) indexUnlocked(1);
}

void SearchIndex::removeTopic(const std::string& topicId) {
  std::unique_lock guard(lock_);
  const std::uint32_t topic = topicNumber(topicId);
  for (std::uint32_t number : topics_[topic].documents) {
    if (documents_[number].alive) kill(number);
  }
  topics_[topic].documents.clear();
  topics_[topic].removed = true;
}

void SearchIndex::addLoaded(std::vector<SearchDocument> loaded) {
  std::unique_lock guard(lock_);
  for (SearchDocument& document : loaded) {
    const std::uint32_t topic = topicNumber(document.topicId);
    if (topics_[topic].removed || liveDocument(topics_[topic], document.field, document.pageId) >= 0) continue;
    if (document.text.empty()) continue;
    append(topic, document.field, document.pageId, std::move(document.text));
  }
}

bool SearchIndex::indexSome(std::size_t count) {
  std::unique_lock guard(lock_);
  const bool wasBehind = indexed_ < documents_.size();
  indexUnlocked(count);
  // Through the build: the lists grew by doubling, give back what they will not use.
  if (wasBehind && indexed_ == documents_.size()) compactUnlocked();
  return indexed_ < documents_.size();
}

void SearchIndex::compactUnlocked() {
  documents_.shrink_to_fit();
  for (Postings& list : postings_) list.deltas.shrink_to_fit();
  postings_.shrink_to_fit();
  wordStarts_.shrink_to_fit();
  vocabulary_.shrink_to_fit();
}

void SearchIndex::indexUnlocked(std::size_t count) {
  const std::size_t end = std::min(documents_.size(), indexed_ + count);
  for (; indexed_ < end; ++indexed_) {
    if (documents_[indexed_].alive) indexDocument(static_cast<std::uint32_t>(indexed_));
  }
}

void SearchIndex::clear() {
  std::unique_lock guard(lock_);
  documents_.clear();
  indexed_ = 0;
  topics_.clear();
  topicNumbers_.clear();
  vocabulary_.clear();
  wordStarts_.clear();
  wordNumbers_.clear();
  postings_.clear();
  textBytes_ = 0;
}

std::uint32_t SearchIndex::wordNumber(std::string_view word) {
  const auto [found, added] =
      wordNumbers_.try_emplace(std::string(word), static_cast<std::uint32_t>(postings_.size()));
  if (added) {
    if (vocabulary_.empty()) vocabulary_ += '\n';
    wordStarts_.push_back(static_cast<std::uint32_t>(vocabulary_.size()));
    vocabulary_ += word;
    vocabulary_ += '\n';
    postings_.emplace_back();
  }
  return found->second;
}

void SearchIndex::indexDocument(std::uint32_t number) {
  const std::string folded = FoldForSearch(documents_[number].text);
  ForEachSearchWord(folded, [&](std::string_view word) {
    Postings& list = postings_[wordNumber(word)];
    // A word repeated in the same document is listed once.
    if (list.count > 0 && list.last == number) return;
    AppendGap(list.deltas, list.count == 0 ? number : number - list.last);
    list.last = number;
    ++list.count;
  });
}

std::vector<bool> SearchIndex::candidates(const SearchQuery& query, bool& none) const {
  none = false;
  // The words of every term, each to be found within a word of a matching document. A word
  // that has more of the term after it must end a word there, one with more before it must
  // start one: in "new yo" the document needs a word ending in "new" and one starting "yo".
  struct Part {
    std::string pattern;  // with '\n' for a word's start or end, as the vocabulary has them
  };
  std::vector<Part> parts;
  for (const std::string& term : query.terms) {
    ForEachSearchWord(term, [&](std::string_view word) {
      const auto start = static_cast<std::size_t>(word.data() - term.data());
      std::string pattern;
      if (start > 0) pattern += '\n';
      pattern += word;
      if (start + word.size() < term.size()) pattern += '\n';
      parts.push_back(Part{std::move(pattern)});
    });
  }
  struct Piece {
    std::vector<std::uint32_t> words;
    std::size_t postings = 0;
  };
  std::vector<Piece> found;
  for (const Part& part : parts) {
    const std::string& piece = part.pattern;
    const std::size_t lead = piece.front() == '\n' ? 1 : 0;
    Piece matches;
    std::size_t at = 0;
    while ((at = vocabulary_.find(piece, at)) != std::string::npos) {
      const auto word = static_cast<std::uint32_t>(
          std::upper_bound(wordStarts_.begin(), wordStarts_.end(), static_cast<std::uint32_t>(at + lead)) -
          wordStarts_.begin() - 1);
      matches.words.push_back(word);
      matches.postings += postings_[word].count;
      at = word + 1 < wordStarts_.size() ? wordStarts_[word + 1] : vocabulary_.size();
    }
    if (matches.postings == 0) {
      none = true;
      return {};
    }
    found.push_back(std::move(matches));
  }
  std::sort(found.begin(), found.end(), [](const Piece& a, const Piece& b) { return a.postings < b.postings; });
  std::vector<bool> result;
  for (const Piece& piece : found) {
    if (piece.postings > kMaxPostingsPerTerm) break;
    std::vector<bool> holding(indexed_, false);
    for (std::uint32_t word : piece.words) {
      std::uint32_t number = 0;
      std::uint32_t gap = 0;
      int shift = 0;
      bool first = true;
      for (std::uint8_t byte : postings_[word].deltas) {
        gap |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        shift += 7;
        if ((byte & 0x80) != 0) continue;
        number = first ? gap : number + gap;
        first = false;
        if (number < indexed_) holding[number] = true;
        gap = 0;
        shift = 0;
      }
    }
    if (result.empty()) {
      result = std::move(holding);
    } else {
      for (std::size_t i = 0; i < result.size(); ++i) result[i] = result[i] && holding[i];
    }
  }
  return result;
}

SearchHit SearchIndex::hitIn(std::uint32_t number, const std::string& term) const {
  const Document& document = documents_[number];
  const std::string_view text = document.text;
  const FoldedText folded = FoldWithOrigins(text);
  const std::size_t at = folded.text.find(term);
  std::size_t begin = folded.origins[at];
  std::size_t end = folded.origins[at + term.size()];
  SearchHit hit;
  hit.topicId = topics_[document.topic].id;
  hit.field = document.field;
  hit.pageId = document.pageId;
  std::size_t lineStart = 0;
  if (document.field == SearchField::Checklist) {
    hit.item = static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(begin), '\n'));
    const std::size_t newline = text.rfind('\n', begin == 0 ? 0 : begin - 1);
    lineStart = newline == std::string_view::npos || begin == 0 ? 0 : newline + 1;
  }
  hit.offset = Utf16Length(text.substr(lineStart, begin - lineStart));
  hit.length = Utf16Length(text.substr(begin, end - begin));

  // A checklist's snippet is its item alone: the items around it are other things to do.
  std::size_t lineEnd = text.size();
  if (document.field == SearchField::Checklist) lineEnd = std::min(text.size(), text.find('\n', end));
  std::size_t from = begin > lineStart + kContextBefore ? begin - kContextBefore : lineStart;
  while (from > lineStart && IsContinuation(text[from])) --from;
  std::size_t to = std::min(lineEnd, end + kContextAfter);
  while (to < lineEnd && IsContinuation(text[to])) ++to;
  const QString before = OneLine(text.substr(from, begin - from));
  const QString match = OneLine(text.substr(begin, end - begin));
  const QString after = OneLine(text.substr(end, to - end));
  const QString lead = from > lineStart ? QStringLiteral("…") : QString();
  hit.snippet = lead + before + match + after + (to < lineEnd ? QStringLiteral("…") : QString());
  hit.snippetStart = static_cast<int>(lead.size() + before.size());
  hit.snippetLength = static_cast<int>(match.size());
  return hit;
}

SearchResults SearchIndex::find(const SearchQuery& query, std::size_t limit, const std::atomic<bool>* cancelled) const {
  SearchResults results;
  if (query.empty() || limit == 0) return results;
  std::shared_lock guard(lock_);
  bool none = false;
  const std::vector<bool> narrowed = candidates(query, none);
  const auto isCandidate = [&](std::size_t number) {
    if (number >= indexed_) return true;
    return !none && (narrowed.empty() || narrowed[number]);
  };
  std::string folded;
  for (std::size_t number = none ? indexed_ : 0; number < documents_.size(); ++number) {
    if (number % kCancelStride == 0 && cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) {
      results.cancelled = true;
      return results;
    }
    const Document& document = documents_[number];
    if (!document.alive || document.text.empty() || !isCandidate(number)) continue;
    FoldForSearchInto(document.text, folded);
    if (!HoldsEveryTerm(folded, query)) continue;
    if (results.hits.size() == limit) {
      results.truncated = true;
      break;
    }
    results.hits.push_back(hitIn(static_cast<std::uint32_t>(number), query.terms.front()));
  }
  return results;
}

std::size_t SearchIndex::textBytes() const {
  std::shared_lock guard(lock_);
  return textBytes_;
}

std::size_t SearchIndex::memoryBytes() const {
  std::shared_lock guard(lock_);
  std::size_t bytes = documents_.capacity() * sizeof(Document) + topics_.capacity() * sizeof(Topic);
  for (const Document& document : documents_) {
    if (document.text.capacity() > 15) bytes += document.text.capacity() + 1;
  }
  for (const Topic& topic : topics_) {
    bytes += topic.documents.capacity() * sizeof(std::uint32_t);
    if (topic.id.capacity() > 15) bytes += topic.id.capacity() + 1;
  }
  // A hash node holds its key and value and a pointer; the bucket array a pointer each.
  const auto mapBytes = [](const auto& map, std::size_t nodeBytes) {
    return map.size() * nodeBytes + map.bucket_count() * sizeof(void*);
  };
  bytes += mapBytes(topicNumbers_, sizeof(std::string) + 2 * sizeof(void*) + 8);
  bytes += mapBytes(wordNumbers_, sizeof(std::string) + 2 * sizeof(void*) + 8);
  for (const auto& [word, number] : wordNumbers_) {
    if (word.capacity() > 15) bytes += word.capacity() + 1;
  }
  bytes += vocabulary_.capacity() + wordStarts_.capacity() * sizeof(std::uint32_t);
  bytes += postings_.capacity() * sizeof(Postings);
  for (const Postings& list : postings_) bytes += list.deltas.capacity();
  return bytes;
}

std::size_t SearchIndex::documentCount() const {
  std::shared_lock guard(lock_);
  return documents_.size();
}

bool SearchIndex::fullyIndexed() const {
  std::shared_lock guard(lock_);
  return indexed_ == documents_.size();
}

}  // namespace tarvo
