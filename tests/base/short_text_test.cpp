#include "base/short_text.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tarvo {
namespace {

// Texts on both sides of the inline limit, and assignments that read from the text being
// replaced (the heap block it lives in goes away during the assignment); a rare text is a
// pointer, empty until a text comes.
TEST(ShortText, KeepsEveryTextWhateverItsLengthAndARareTextIsAPointer) {
  const std::vector<std::string> texts = {"", "a", "20261205", std::string(15, 'x'), std::string(16, 'y'),
                                          "päivitys päivitys päivitys", std::string("nul\0inside", 10)};
  for (const std::string& text : texts) {
    ShortText held(text);
    EXPECT_EQ(held.view(), text);
    EXPECT_EQ(held.size(), text.size());
    ShortText copied = held;
    ShortText moved = std::move(held);
    EXPECT_EQ(copied, moved);
    EXPECT_EQ(moved.str(), text);
    EXPECT_TRUE(held.empty()) << "a moved-from text is empty";  // NOLINT: checked on purpose
    for (const std::string& other : texts) {
      ShortText target(other);
      target = text;
      EXPECT_EQ(target.view(), text) << other.size() << " <- " << text.size();
    }
  }
  ShortText self(std::string(40, 'z'));
  self = self.view().substr(3);
  EXPECT_EQ(self.view(), std::string(37, 'z'));
  self = self.view().substr(30);
  EXPECT_EQ(self.view(), std::string(7, 'z'));
  EXPECT_EQ(sizeof(ShortText), 16u);
  EXPECT_LT(ShortText("20260101"), ShortText("20261205"));
  EXPECT_EQ("x" + ShortText("y") + "z", "xyz");

  EXPECT_EQ(sizeof(RareText), sizeof(void*));
  RareText rare;
  EXPECT_TRUE(rare.empty());
  rare = "Ann Lee";
  EXPECT_EQ(rare.view(), "Ann Lee");
  rare = rare.view().substr(4);  // reads from the text being replaced
  EXPECT_EQ(rare.view(), "Lee");
  RareText copy = rare;
  rare.clear();
  EXPECT_TRUE(rare.empty());
  EXPECT_EQ(copy, "Lee");
  EXPECT_EQ(copy, ShortText("Lee"));
}

// A tiny text holds up to eight bytes in place and everything else behind a pointer: the
// boundary, a NUL, and an eighth byte equal to the heap mark must all read back as written.
TEST(TinyText, KeepsEveryTextInEightBytes) {
  EXPECT_EQ(sizeof(TinyText), 8u);
  const std::vector<std::string> texts = {"", "A", "17:30:00", "20261205", "20261205x", std::string(40, 'q'),
                                          std::string("7\0", 2), std::string("1234567\xFF"),
                                          std::string("123456\xFF"), "päivä"};
  for (const std::string& text : texts) {
    const TinyText held(text);
    EXPECT_EQ(held.view(), text) << text.size();
    EXPECT_EQ(held.empty(), text.empty());
    TinyText copied = held;
    TinyText moved = std::move(copied);
    EXPECT_EQ(moved, held);
    EXPECT_TRUE(copied.empty());  // NOLINT: checked on purpose
    for (const std::string& other : texts) {
      TinyText target(other);
      target = text;
      EXPECT_EQ(target.view(), text) << other.size() << " <- " << text.size();
      target = TinyText(other);
      EXPECT_EQ(target.view(), other);
    }
  }
  TinyText self(std::string(30, 'z') + "tail");
  self = self.view().substr(26);  // reads from the heap text being replaced
  EXPECT_EQ(self.view(), "zzzztail");
  self = self.view().substr(4);
  EXPECT_EQ(self.view(), "tail");
  EXPECT_LT(TinyText("20260101"), TinyText("20261205"));
  EXPECT_LT(TinyText("1A"), TinyText("1AZ")) << "a shorter key first";
}

}  // namespace
}  // namespace tarvo
