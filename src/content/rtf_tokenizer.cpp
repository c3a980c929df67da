#include "content/rtf_tokenizer.h"

#include <algorithm>

namespace tarvo {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool EndsText(char c) { return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parameters beyond this are nonsense in any real file; clamping keeps the arithmetic of the
// reader (indents, sizes, counts) free of overflow.
constexpr long long kParameterLimit = 1'000'000'000;

}  // namespace

RtfToken RtfTokenizer::next() {
  skipLineEnds();
  if (position_ >= bytes_.size()) return {};
  const char c = bytes_[position_];
  if (c == '{' || c == '}') {
    ++position_;
    RtfToken token;
    token.kind = c == '{' ? RtfTokenKind::GroupOpen : RtfTokenKind::GroupClose;
    return token;
  }
  if (c == '\\') {
    ++position_;
    return afterBackslash();
  }
  return text();
}

void RtfTokenizer::skipLineEnds() {
  while (position_ < bytes_.size() && (bytes_[position_] == '\r' || bytes_[position_] == '\n')) {
    ++position_;
  }
}

RtfToken RtfTokenizer::afterBackslash() {
  if (position_ >= bytes_.size()) return {};
  const char c = bytes_[position_];
  if (IsLetter(c)) return controlWord();
  ++position_;
  RtfToken token;
  if (c == '\'' && position_ + 1 < bytes_.size()) {
    const int high = HexValue(bytes_[position_]);
    const int low = HexValue(bytes_[position_ + 1]);
    if (high >= 0 && low >= 0) {
      position_ += 2;
      token.kind = RtfTokenKind::HexByte;
      token.byte = static_cast<std::uint8_t>(high * 16 + low);
      return token;
    }
  }
  token.kind = RtfTokenKind::ControlSymbol;
  token.symbol = c;
  return token;
}

RtfToken RtfTokenizer::controlWord() {
  const std::size_t start = position_;
  while (position_ < bytes_.size() && IsLetter(bytes_[position_])) ++position_;
  RtfToken token;
  token.kind = RtfTokenKind::ControlWord;
  token.text = bytes_.substr(start, position_ - start);
  if (position_ < bytes_.size()) {
    const bool negative = bytes_[position_] == '-' && position_ + 1 < bytes_.size() &&
                          IsDigit(bytes_[position_ + 1]);
    if (negative) ++position_;
    if (position_ < bytes_.size() && IsDigit(bytes_[position_])) {
      token.hasParameter = true;
      token.parameter = parameterDigits(negative);
    }
  }
  if (position_ < bytes_.size() && bytes_[position_] == ' ') ++position_;  // the delimiter

  if (token.text == "bin" && token.hasParameter && token.parameter > 0) {
    const std::size_t length =
        std::min(static_cast<std::size_t>(token.parameter), bytes_.size() - position_);
    token.kind = RtfTokenKind::Binary;
    token.text = bytes_.substr(position_, length);
    position_ += length;
  }
  return token;
}

int RtfTokenizer::parameterDigits(bool negative) {
  long long value = 0;
  while (position_ < bytes_.size() && IsDigit(bytes_[position_])) {
    value = std::min(value * 10 + (bytes_[position_] - '0'), kParameterLimit);
    ++position_;
  }
  return static_cast<int>(negative ? -value : value);
}

RtfToken RtfTokenizer::text() {
  const std::size_t start = position_;
  while (position_ < bytes_.size() && !EndsText(bytes_[position_])) ++position_;
  RtfToken token;
  token.kind = RtfTokenKind::Text;
  token.text = bytes_.substr(start, position_ - start);
  return token;
}

}  // namespace tarvo
