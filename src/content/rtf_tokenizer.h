#pragma once

// Splits RTF bytes into tokens without copying: groups, control words with their parameter,
// control symbols, \'hh bytes, binary data and runs of plain text. Every call to next()
// consumes at least one byte until the end, so a reader driven by it cannot loop forever on
// any input.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvo {

enum class RtfTokenKind : std::uint8_t {
  GroupOpen,
  GroupClose,
  ControlWord,    // name and, when hasParameter, parameter
  ControlSymbol,  // symbol: the one character after the backslash
  HexByte,        // byte: the value of \'hh
  Text,           // text: bytes without line ends, braces or backslashes
  Binary,         // text: the bytes of \binN
  End,
};

struct RtfToken {
  RtfTokenKind kind = RtfTokenKind::End;
  std::string_view text;  // the name of a control word, a text run or binary bytes
  int parameter = 0;
  bool hasParameter = false;
  char symbol = 0;
  std::uint8_t byte = 0;
};

class RtfTokenizer {
 public:
  explicit RtfTokenizer(std::string_view bytes) : bytes_(bytes) {}

  RtfToken next();
  [[nodiscard]] std::size_t position() const { return position_; }

 private:
  RtfToken controlWord();
  RtfToken afterBackslash();
  RtfToken text();
  void skipLineEnds();
  int parameterDigits(bool negative);

  std::string_view bytes_;
  std::size_t position_ = 0;
};

}  // namespace tarvo
