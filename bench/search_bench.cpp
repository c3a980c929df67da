// Searching 100,000 topics whose notes and checklists hold about 100 MB of text: the first
// query while the index is still being built, later queries of several kinds on the built
// index, and an edit of a note reflected in it. The texts are made in memory from a vocabulary
// of 40,000 made-up words (some accented, some Greek) drawn with a skewed frequency, as words of
// a language are. Counters report the texts' size and the index's memory against it.

#include <benchmark/benchmark.h>

#include <atomic>
#include <random>
#include <thread>

#include "workspace/search/search_index.h"
#include "workspace/search/search_query.h"

namespace {

constexpr int kTopics = 100'000;

std::vector<std::string> MakeVocabulary(std::mt19937& random) {
  static const char* const syllables[] = {"ka", "lo", "mi", "ne", "ru", "sta", "ver", "bü", "zo", "té",
                                          "gra", "pol", "un", "ex", "ri", "da", "πα", "λο", "qui", "sch"};
  std::vector<std::string> words;
  std::uniform_int_distribution<int> pick(0, 19);
  std::uniform_int_distribution<int> length(1, 4);
  for (int i = 0; i < 40'000; ++i) {
    std::string word;
    for (int n = length(random); n > 0; --n) word += syllables[pick(random)];
    word += std::to_string(i % 97);
    words.push_back(std::move(word));
  }
  return words;
}

// About 100 MB: a title, a ~700-byte note and a ~300-byte checklist per topic.
const std::vector<tarvo::SearchDocument>& Documents() {
  static const std::vector<tarvo::SearchDocument> documents = [] {
    std::mt19937 random(42);
    const std::vector<std::string> vocabulary = MakeVocabulary(random);
    // Skewed: low word numbers are drawn far more often.
    std::exponential_distribution<double> rank(1.0 / 3000.0);
    const auto word = [&]() -> const std::string& {
      return vocabulary[static_cast<std::size_t>(rank(random)) % vocabulary.size()];
    };
    const auto text = [&](std::size_t bytes, char separator) {
      std::string out;
      while (out.size() < bytes) {
        out += word();
        out += random() % 9 == 0 ? separator : ' ';
      }
      return out;
    };
    std::vector<tarvo::SearchDocument> all;
    all.reserve(3 * kTopics);
    for (int topic = 0; topic < kTopics; ++topic) {
      const std::string id = std::to_string(100000 + topic);
      all.push_back({id, tarvo::SearchField::Title, 0, text(24, ' ')});
      all.push_back({id, tarvo::SearchField::Notes, 1, text(700, '\n')});
      all.push_back({id, tarvo::SearchField::Checklist, 2, text(300, '\n')});
    }
    return all;
  }();
  return documents;
}

std::size_t TextBytes() {
  std::size_t bytes = 0;
  for (const auto& document : Documents()) bytes += document.text.size();
  return bytes;
}

tarvo::SearchIndex& BuiltIndex() {
  static tarvo::SearchIndex* index = [] {
    auto* built = new tarvo::SearchIndex;
    built->addLoaded(Documents());
    while (built->indexSome(4096)) {
    }
    return built;
  }();
  return *index;
}

// Queries of each kind: a rare word, a common word, two words, a phrase, a two-letter start,
// a word that is nowhere.
const char* const kQueries[] = {"stavermi5", "ka1", "lone7 kamiru", "\"mi3 ka1\"", "ve", "zzqx"};

void BM_FirstQueryWhileIndexBuilds(benchmark::State& state) {
  const tarvo::SearchQuery query = tarvo::ParseSearchQuery(kQueries[state.range(0)]);
  std::size_t hits = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tarvo::SearchIndex index;
    index.addLoaded(Documents());
    std::atomic<bool> stop = false;
    std::thread builder([&] {
      while (!stop && index.indexSome(512)) {
      }
    });
    state.ResumeTiming();
    hits = index.find(query, 500).hits.size();
    state.PauseTiming();
    stop = true;
    builder.join();
    state.ResumeTiming();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetLabel(kQueries[state.range(0)]);
}
BENCHMARK(BM_FirstQueryWhileIndexBuilds)->DenseRange(0, 5)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_QueryOnBuiltIndex(benchmark::State& state) {
  tarvo::SearchIndex& index = BuiltIndex();
  const std::string typed = kQueries[state.range(0)];
  std::size_t hits = 0;
  for (auto _ : state) {
    // Parsing is part of what every keystroke costs.
    hits = index.find(tarvo::ParseSearchQuery(typed), 500).hits.size();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.counters["text_MB"] = static_cast<double>(TextBytes()) / 1e6;
  state.counters["index_to_text"] = static_cast<double>(index.memoryBytes()) / static_cast<double>(index.textBytes());
  state.SetLabel(typed);
}
BENCHMARK(BM_QueryOnBuiltIndex)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_EditReflected(benchmark::State& state) {
  tarvo::SearchIndex& index = BuiltIndex();
  const std::string note = Documents()[4].text;
  int edit = 0;
  for (auto _ : state) {
    // A note of the usual size gets a new word: the next query must see it.
    index.setDocument("100777", tarvo::SearchField::Notes, 1, note + " edited" + std::to_string(edit++));
  }
  state.counters["found"] = static_cast<double>(
      index.find(tarvo::ParseSearchQuery("edited" + std::to_string(edit - 1)), 10).hits.size());
}
BENCHMARK(BM_EditReflected)->Unit(benchmark::kMicrosecond);

void BM_BuildWholeIndex(benchmark::State& state) {
  for (auto _ : state) {
    tarvo::SearchIndex index;
    index.addLoaded(Documents());
    while (index.indexSome(4096)) {
    }
    state.counters["index_to_text"] = static_cast<double>(index.memoryBytes()) / static_cast<double>(index.textBytes());
  }
}
BENCHMARK(BM_BuildWholeIndex)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
