#include <gtest/gtest.h>

#include <QString>

#include "workspace/search/search_index.h"
#include "workspace/search/search_query.h"
#include "workspace/search/text_fold.h"

namespace tarvo {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

SearchResults Find(const SearchIndex& index, const std::string& typed, std::size_t limit = 100) {
  return index.find(ParseSearchQuery(typed), limit);
}

std::vector<std::string> TopicsFound(const SearchIndex& index, const std::string& typed) {
  std::vector<std::string> topics;
  for (const SearchHit& hit : Find(index, typed).hits) topics.push_back(hit.topicId);
  return topics;
}

QString Marked(const SearchHit& hit) { return hit.snippet.mid(hit.snippetStart, hit.snippetLength); }

TEST(TextFold, DropsAccentsFoldsCaseAndJoinsWhiteSpaceInEveryScript) {
  EXPECT_EQ(FoldForSearch(U8(u8"Ärger über Öl  und\tÜBEL")), "arger uber ol und ubel");
  EXPECT_EQ(FoldForSearch(U8(u8"ΆΛΦΑ Ωμέγα")), FoldForSearch(U8(u8"αλφα ωμεγα")));
  EXPECT_EQ(FoldForSearch(U8(u8"ﬁne Ｆｕｌｌ")), "fine full") << "compatibility forms decompose";
  EXPECT_EQ(FoldForSearch(U8(u8"中文 笔记")), U8(u8"中文 笔记")) << "scripts without case stay";
}

TEST(TextFold, OriginsLeadEachFoldedByteBackToItsCharacter) {
  const std::string source = U8(u8"Café  Ünd");
  const FoldedText folded = FoldWithOrigins(source);
  ASSERT_EQ(folded.text, "cafe und");
  ASSERT_EQ(folded.origins.size(), folded.text.size() + 1);
  const std::size_t und = folded.text.find("und");
  EXPECT_EQ(source.substr(folded.origins[und], folded.origins[und + 3] - folded.origins[und]), U8(u8"Ünd"));
  EXPECT_EQ(source.substr(0, folded.origins[4]), U8(u8"Café")) << "the accent belongs to its letter";
}

TEST(TextFold, WordsAreLetterRunsOrSingleIdeographsAndUtf16LengthsCountSurrogates) {
  std::vector<std::string> words;
  ForEachSearchWord(FoldForSearch(U8(u8"Plan-B: 中文笔记 2026")), [&](std::string_view word) { words.emplace_back(word); });
  EXPECT_EQ(words, (std::vector<std::string>{"plan", "b", U8(u8"中"), U8(u8"文"), U8(u8"笔"), U8(u8"记"), "2026"}));
  EXPECT_EQ(Utf16Length(U8(u8"aé中😀")), 5);
}

TEST(SearchQueryParse, WordsPhrasesAndAPhraseStillBeingTyped) {
  EXPECT_EQ(ParseSearchQuery(U8(u8"  Grüne  \"New   York\" city")).terms,
            (std::vector<std::string>{"grune", "new york", "city"}));
  EXPECT_EQ(ParseSearchQuery("\"open phra").terms, (std::vector<std::string>{"open phra"}));
  EXPECT_TRUE(ParseSearchQuery(" \"\"  ").empty());
}

struct SampleIndex : ::testing::Test {
  SearchIndex index;
  void SetUp() override {
    index.setDocument("1", SearchField::Title, 0, U8(u8"Ελληνικά μαθήματα"));
    index.setDocument("2", SearchField::Title, 0, U8(u8"Bücher für Jürgen"));
    index.setDocument("2", SearchField::Notes, 1, U8(u8"Ask at the Straßenbahn stop.\nThen buy the NEW York times."));
    index.setDocument("3", SearchField::Checklist, 2, U8(u8"Milk\n学习中文\nYork new shoes"));
    index.setDocument("4", SearchField::Title, 0, "Holiday plans");
  }
};

TEST_F(SampleIndex, TitlesNotesAndChecklistsMatchWhateverTheCaseAndAccents) {
  EXPECT_EQ(TopicsFound(index, U8(u8"ΜΑΘΗΜΑΤΑ")), std::vector<std::string>{"1"});
  EXPECT_EQ(TopicsFound(index, "jurgen BUCHER"), std::vector<std::string>{"2"}) << "any order";
  EXPECT_EQ(TopicsFound(index, U8(u8"straßen")), std::vector<std::string>{"2"});
  EXPECT_EQ(TopicsFound(index, U8(u8"中文")), std::vector<std::string>{"3"});
  EXPECT_EQ(TopicsFound(index, U8(u8"文中")), std::vector<std::string>{}) << "ideographs in their order";
  EXPECT_EQ(TopicsFound(index, "lida"), std::vector<std::string>{"4"}) << "a word's middle, as typed";
  EXPECT_EQ(TopicsFound(index, "milk holiday"), std::vector<std::string>{}) << "every word in one text";
}

TEST_F(SampleIndex, APhraseMatchesOnlyItsWordsTogether) {
  EXPECT_EQ(TopicsFound(index, "new york"), (std::vector<std::string>{"2", "3"}));
  EXPECT_EQ(TopicsFound(index, "\"new york\""), std::vector<std::string>{"2"});
  EXPECT_EQ(TopicsFound(index, "\"york new\""), std::vector<std::string>{"3"});
}

TEST_F(SampleIndex, HitsSayWhereTheMatchIsAndMarkItInTheSnippet) {
  const SearchResults notes = Find(index, "NEW");
  ASSERT_EQ(notes.hits.size(), 2u);
  const SearchHit& note = notes.hits[0];
  EXPECT_EQ(std::tuple(note.topicId, note.field, note.pageId, note.item), std::tuple("2", SearchField::Notes, 1, -1));
  EXPECT_EQ(Marked(note), "NEW");
  EXPECT_EQ(QString::fromUtf8(U8(u8"Ask at the Straßenbahn stop.\nThen buy the NEW York times.")).mid(note.offset, note.length), "NEW");
  EXPECT_FALSE(note.snippet.contains(u'\n')) << "a snippet is one line";

  const SearchResults item = Find(index, U8(u8"学习"));
  ASSERT_EQ(item.hits.size(), 1u);
  EXPECT_EQ(std::tuple(item.hits[0].field, item.hits[0].item, item.hits[0].offset, item.hits[0].length),
            std::tuple(SearchField::Checklist, 1, 0, 2));
  EXPECT_EQ(Marked(item.hits[0]), QString::fromUtf8(U8(u8"学习")));
  EXPECT_EQ(item.hits[0].snippet, QString::fromUtf8(U8(u8"学习中文"))) << "the item alone, not its neighbours";

  const SearchResults umlaut = Find(index, "fur");
  ASSERT_EQ(umlaut.hits.size(), 1u);
  EXPECT_EQ(Marked(umlaut.hits[0]), QString::fromUtf8(U8(u8"für"))) << "the text as written is marked";
}

TEST_F(SampleIndex, AnEditReplacesTheOldTextAndRemovingATopicForgetsItsTexts) {
  index.setDocument("4", SearchField::Title, 0, "Winter plans");
  EXPECT_EQ(TopicsFound(index, "holiday"), std::vector<std::string>{});
  EXPECT_EQ(TopicsFound(index, "winter"), std::vector<std::string>{"4"});
  index.removeTopic("2");
  EXPECT_EQ(TopicsFound(index, "york"), std::vector<std::string>{"3"});
  index.setDocument("2", SearchField::Title, 0, U8(u8"Bücher für Jürgen"));
  EXPECT_EQ(TopicsFound(index, "jurgen"), std::vector<std::string>{"2"}) << "a topic brought back";
  index.setDocument("3", SearchField::Checklist, 2, "");
  EXPECT_EQ(TopicsFound(index, "milk"), std::vector<std::string>{}) << "an emptied page";
}

TEST(SearchIndexBuild, DocumentsNotYetIndexedAreFoundAsIfTheyWere) {
  SearchIndex index;
  std::vector<SearchDocument> loaded;
  for (int i = 0; i < 300; ++i) {
    loaded.push_back({std::to_string(i), SearchField::Notes, 1,
                      "note " + std::to_string(i) + (i % 7 == 0 ? U8(u8" Café crème") : " plain tea")});
  }
  index.addLoaded(loaded);
  const auto before = TopicsFound(index, "creme cafe");
  EXPECT_EQ(before.size(), 43u);
  EXPECT_FALSE(index.fullyIndexed());
  index.indexSome(100);
  EXPECT_EQ(TopicsFound(index, "creme cafe"), before) << "half indexed";
  while (index.indexSome(64)) {
  }
  EXPECT_TRUE(index.fullyIndexed());
  EXPECT_EQ(TopicsFound(index, "creme cafe"), before);
  EXPECT_EQ(Find(index, "note", 10).hits.size(), 10u);
  EXPECT_TRUE(Find(index, "note", 10).truncated);
}

TEST(SearchIndexBuild, AnEditMadeWhileLoadingWinsOverTheOlderLoadedText) {
  SearchIndex index;
  index.setDocument("5", SearchField::Title, 0, "Renamed meanwhile");
  index.removeTopic("6");
  index.addLoaded({{"5", SearchField::Title, 0, "Old title"}, {"6", SearchField::Title, 0, "Gone topic"},
                   {"7", SearchField::Title, 0, "Old title too"}});
  while (index.indexSome(10)) {
  }
  EXPECT_EQ(TopicsFound(index, "old"), std::vector<std::string>{"7"});
  EXPECT_EQ(TopicsFound(index, "gone"), std::vector<std::string>{});
  EXPECT_EQ(TopicsFound(index, "meanwhile"), std::vector<std::string>{"5"});
}

TEST(SearchIndexBuild, ACancelledSearchStopsAndSaysSo) {
  SearchIndex index;
  for (int i = 0; i < 200; ++i) index.setDocument(std::to_string(i), SearchField::Title, 0, "same words");
  std::atomic<bool> cancelled = true;
  const SearchResults results = index.find(ParseSearchQuery("same"), 1000, &cancelled);
  EXPECT_TRUE(results.cancelled);
  EXPECT_TRUE(results.hits.empty());
}

}  // namespace
}  // namespace tarvo
