#pragma once

// Small scanners over single lines of text: links inside checklist items and notes, numbers
// inside viewer fields, token classes, and comparable version numbers.
// Positions are 1-based, as in the file formats. Pure functions; safe from any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

struct LinkInfo {
  bool found = false;
  bool isFile = false;   // a drive-letter file path rather than an address
  std::string target;    // what to open (lower case)
  int start = -1;        // 1-based position of the link in the scanned text
  int length = 0;        // characters of the link in the scanned text
};

struct LinkScan {
  LinkInfo link;
  int next = -1;  // position after the link (its ending blank or comma), -1 when none found
};

struct NumberScan {
  int end = -1;             // position after the number; 0 when no digits; -1 past the text
  std::int64_t value = 0;   // saturates instead of overflowing
};

// Token classes of ClassifyText.
enum TokenClass : int {
  kNoToken = -1,
  kNumberToken = 2,
  kDecimalToken = 3,
  kWordToken = 5,
  kExtraToken = 6,
};

std::string CharText(char c);
// Upper case by Unicode rules on the UTF-8 text.
std::string UpperText(std::string_view text);
int ClassifyText(std::string_view text, std::string_view ignore, std::string_view extra);
// Reads the first number at or after position `start`; commas inside it are thousands
// separators and a "." ends it.
NumberScan ParseNumber(std::string_view text, int start);
// The first web address, mail address or drive-letter file path of the text.
LinkScan FindLink(std::string_view text);
// g1.g2.g3.g4 as g1*100000000 + g2*100000 + g3*10000 + g4; larger is newer.
std::int64_t VersionValue(std::string_view version);

}  // namespace tarvo
