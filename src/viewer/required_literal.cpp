#include "viewer/required_literal.h"

#include <cctype>
#include <optional>

namespace tarvo {
namespace {

bool IsAsciiAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80; }

// Escapes that stand for a class of characters or a position, never for one character.
constexpr std::string_view kClassEscapes = "dDwWsSbBhHvVnrtfeaAzZG";

// Reads a pattern left to right, keeping the current run of plain text and the longest seen.
class LiteralScan {
 public:
  explicit LiteralScan(std::string_view pattern) : pattern_(pattern) {}

  std::optional<std::string> run() {
    while (at_ < pattern_.size()) {
      if (!step()) return std::nullopt;
    }
    endRun();
    return longest_;
  }

 private:
  // One atom and the quantifier after it; false when the pattern is beyond this reading.
  bool step() {
    const char c = pattern_[at_];
    switch (c) {
      case '|':
        return false;  // alternatives at the outer level: nothing is required
      case ')':
        return false;
      case '(':
        endRun();
        return skipGroup() && skipQuantifier(false);
      case '[':
        endRun();
        return skipClass() && skipQuantifier(false);
      case '.':
      case '^':
      case '$':
        endRun();
        ++at_;
        return skipQuantifier(false);
      case '*':
      case '+':
      case '?':
      case '{':
        return false;  // a quantifier with nothing before it
      case '\\':
        return escape();
      default:
        return plain();
    }
  }

  bool escape() {
    if (at_ + 1 >= pattern_.size()) return false;
    const char e = pattern_[at_ + 1];
    if (static_cast<unsigned char>(e) >= 0x80) return false;
    if (IsAsciiAlnum(e)) {
      if (kClassEscapes.find(e) == std::string_view::npos) return false;
      endRun();
      at_ += 2;
      return skipQuantifier(false);
    }
    lastStart_ = current_.size();
    current_ += e;
    at_ += 2;
    return skipQuantifier(true);
  }

  // A character as it stands, all the bytes of a UTF-8 sequence together.
  bool plain() {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(pattern_[at_]);
    if (lead >= 0xF0) {
      length = 4;
    } else if (lead >= 0xE0) {
      length = 3;
    } else if (lead >= 0xC0) {
      length = 2;
    }
    if (at_ + length > pattern_.size()) return false;
    // The replacement character stands for bytes that are not text at all in a line shown:
    // they are not what the bytes hold, so the run ends there.
    if (pattern_.substr(at_, length) == "\xEF\xBF\xBD") {
      endRun();
      at_ += length;
      return skipQuantifier(false);
    }
    lastStart_ = current_.size();
    current_.append(pattern_.substr(at_, length));
    at_ += length;
    return skipQuantifier(true);
  }

  // After an atom: "?", "*" or a count that may be nought take the last character out of the
  // run; "+" keeps it. Either way the run ends there, as repeats need not follow one another
  // in the text the way the pattern reads.
  bool skipQuantifier(bool afterCharacter) {
    if (at_ >= pattern_.size()) return true;
    const char q = pattern_[at_];
    bool optional = false;
    if (q == '?' || q == '*') {
      optional = true;
      ++at_;
    } else if (q == '+') {
      ++at_;
    } else if (q == '{') {
      const std::size_t close = pattern_.find('}', at_);
      if (close == std::string_view::npos) return false;
      const std::string_view count = pattern_.substr(at_ + 1, close - at_ - 1);
      if (count.empty() || count.find_first_not_of("0123456789,") != std::string_view::npos) return false;
      optional = count.front() == ',' || count.front() == '0';
      at_ = close + 1;
    } else {
      return true;
    }
    if (at_ < pattern_.size() && (pattern_[at_] == '?' || pattern_[at_] == '+')) ++at_;  // lazy, possessive
    if (afterCharacter && optional) current_.resize(lastStart_);
    endRun();
    return true;
  }

  // A group as a whole, nested groups and classes inside it; inline options and verbs, which
  // may change how the rest reads, are beyond this reading.
  bool skipGroup() {
    int depth = 0;
    while (at_ < pattern_.size()) {
      const char c = pattern_[at_];
      if (c == '\\') {
        at_ += 2;
        continue;
      }
      if (c == '[') {
        if (!skipClass()) return false;
        continue;
      }
      if (c == '(') {
        if (at_ + 1 < pattern_.size() && (pattern_[at_ + 1] == '?' || pattern_[at_ + 1] == '*')) return false;
        ++depth;
      } else if (c == ')') {
        --depth;
        if (depth == 0) {
          ++at_;
          return true;
        }
      }
      ++at_;
    }
    return false;
  }

  // A bracketed class, "]" first in it taken as itself and "[:name:]" inside it whole.
  bool skipClass() {
    ++at_;
    if (at_ < pattern_.size() && pattern_[at_] == '^') ++at_;
    if (at_ < pattern_.size() && pattern_[at_] == ']') ++at_;
    while (at_ < pattern_.size()) {
      const char c = pattern_[at_];
      if (c == '\\') {
        at_ += 2;
      } else if (c == '[' && at_ + 1 < pattern_.size() && pattern_[at_ + 1] == ':') {
        // A named class only when its ":]" comes before any other "]"; otherwise the "[" is a
        // member like any other, as the expression engine reads it.
        const std::size_t close = pattern_.find(":]", at_ + 2);
        const std::size_t bracket = pattern_.find(']', at_ + 2);
        at_ = close != std::string_view::npos && bracket == close + 1 ? close + 2 : at_ + 1;
      } else if (c == ']') {
        ++at_;
        return true;
      } else {
        ++at_;
      }
    }
    return false;
  }

  void endRun() {
    if (current_.size() > longest_.size()) longest_ = current_;
    current_.clear();
    lastStart_ = 0;
  }

  std::string_view pattern_;
  std::size_t at_ = 0;
  std::string current_;
  std::size_t lastStart_ = 0;  // where the run's last character begins
  std::string longest_;
};

}  // namespace

std::string RequiredLiteral(std::string_view pattern) {
  if (pattern.find("\\Q") != std::string_view::npos) return {};
  return LiteralScan(pattern).run().value_or(std::string());
}

}  // namespace tarvo
