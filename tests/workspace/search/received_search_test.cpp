#include <gtest/gtest.h>

#include "support/colleague.h"
#include "workspace/search/reported_results.h"

namespace tarvo {
namespace {

using test::Colleague;
using test::WriteBytes;

const char* kAnnTree =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=12\r\ntext=Safari\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
const char* kBobTree = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n";

// Bob's search, kept current while topics arrive.
struct SearchingColleague : Colleague {
  SearchService service{workspace.tree()};
  int listener = 0;

  SearchingColleague() : Colleague("Bob", kBobTree, "00000700") {
    workspace.addTreeObserver(&service);
    listener = workspace.addPagesReplacedListener([this](const std::string&, const TopicRecord* record) { service.pagesReplaced(record); });
    service.start(workspace.pageFolders());
    service.waitForBuild();
  }
  ~SearchingColleague() {
    workspace.removePagesReplacedListener(listener);
    workspace.removeTreeObserver(&service);
  }
  std::vector<std::string> topicsFound(const QString& typed) {
    std::vector<std::string> topics;
    for (const SearchHit& hit : test::ReportedResults(service, typed).hits) topics.push_back(hit.topicId);
    return topics;
  }
};

TEST(SearchOfReceivedTopics, AReceivedTopicItsNewNoteAndTheirUndoEachChangeTheNextResult) {
  test::TempFolder shared;
  Colleague ann("Ann", kAnnTree);
  SearchingColleague bob;
  WriteBytes(JoinPath(ann.folders.packs, "12.pkt"), "con=0\r\nuni=1\r\nfile=12-1.txt\r\n");
  WriteBytes(JoinPath(ann.folders.notes, "12-1.txt"), "{\\rtf1\\ansi Flights to Zanzibar.\\par}");
  const std::vector<std::string> users{"Ann", "Bob"};
  EXPECT_TRUE(bob.topicsFound("zanzibar").empty());

  ASSERT_EQ(ann.exchange.send(ann.node("12"), users, 1, false, ann.self(shared.path())), ExchangeSound::Sent);
  bob.exchange.receive(bob.self(shared.path()));
  EXPECT_EQ(bob.topicsFound("zanzibar"), std::vector<std::string>{"ann-12"}) << "the received note is searched";
  EXPECT_EQ(bob.topicsFound("safari"), std::vector<std::string>{"ann-12"}) << "and its title";

  // The same topic again with another note: it matches, and only its page files change.
  WriteBytes(JoinPath(ann.folders.notes, "12-1.txt"), "{\\rtf1\\ansi Flights to Kilimanjaro.\\par}");
  ASSERT_EQ(ann.exchange.send(ann.node("12"), users, 1, false, ann.self(shared.path()), test::kExchangeTime.addSecs(9)),
            ExchangeSound::Sent);
  bob.exchange.receive(bob.self(shared.path()));
  EXPECT_EQ(bob.topicsFound("kilimanjaro"), std::vector<std::string>{"ann-12"});
  EXPECT_TRUE(bob.topicsFound("zanzibar").empty());

  bob.workspace.undoStack().undo();
  EXPECT_EQ(bob.topicsFound("zanzibar"), std::vector<std::string>{"ann-12"}) << "undone, the old note is back";
  bob.workspace.undoStack().undo();
  EXPECT_TRUE(bob.topicsFound("safari").empty()) << "the first receive undone, the topic is gone";
}

}  // namespace
}  // namespace tarvo
