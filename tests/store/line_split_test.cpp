#include "store/line_split.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct PairCase {
  std::string text;
  std::string key;
  std::string value;
};

TEST(LineSplit, SplitPairRules) {
  const std::vector<PairCase> cases = {
      {"key=value", "key", "value"},
      {"key=a=b", "key", "a=b"},
      {"noequals", "noequals", ""},
      {"=x", "", "x"},
      {"", "", ""},
      {"k\tv=w", "k", "\tv=w"},
      {"\"a=b\"=c", "a=b", "c"},
      {"\"a b\"c=d", "a bc", "d"},
      {"\"unclosed=x", "unclosed=x", ""},
      {" k = v ", " k ", " v "},
      {"ключ=значение", "ключ", "значение"},
  };
  for (const PairCase& c : cases) {
    std::string key = "stale", value = "stale";
    SplitPair(c.text, '=', key, value);
    EXPECT_EQ(key, c.key) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

struct DelimitedCase {
  std::string text;
  char separator;
  std::vector<std::string> fields;
};

TEST(LineSplit, SplitDelimitedRules) {
  const std::vector<DelimitedCase> cases = {
      {"a,,b,", ',', {"a", "", "b"}},
      {"", ',', {""}},
      {"   ", ',', {""}},
      {"  a , b ,c", ',', {"a", "b", "c"}},
      {"\"x, y\",z", ',', {"x, y", "z"}},
      {"\" keep \"dropped,next", ',', {" keep ", "next"}},
      {"\"no close, at all", ',', {"no close, at all"}},
      {"\"\",\"\"", ',', {"", ""}},
      {"1;2;;", ';', {"1", "2", ""}},
      {",", ',', {""}},
      {",a", ',', {"", "a"}},
      {"a\tb", '\t', {"a", "b"}},
      {"a, ", ',', {"a"}},
  };
  for (const DelimitedCase& c : cases) {
    std::vector<std::string> fields = {"stale"};
    SplitDelimited(c.text, fields, c.separator);
    EXPECT_EQ(fields, c.fields) << c.text;
  }
}

}  // namespace
}  // namespace tarvo
