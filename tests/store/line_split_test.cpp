#include "store/line_split.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarvo {
namespace {

TEST(LineSplit, SplitPairRules) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
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
  for (const auto& [text, key, value] : cases) {
    std::string splitKey = "stale", splitValue = "stale";
    SplitPair(text, '=', splitKey, splitValue);
    EXPECT_EQ(std::pair(splitKey, splitValue), std::pair(key, value)) << text;
  }
}

TEST(LineSplit, SplitDelimitedRules) {
  const std::vector<std::tuple<std::string, char, std::vector<std::string>>> cases = {
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
  for (const auto& [text, separator, expected] : cases) {
    std::vector<std::string> fields = {"stale"};
    SplitDelimited(text, fields, separator);
    EXPECT_EQ(fields, expected) << text;
  }
}

}  // namespace
}  // namespace tarvo
