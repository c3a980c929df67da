#pragma once

// The RTF parser behind ReadRtf (see rtf_reader.h for what it gives on bad input): tokens
// drive a stack of group states; text goes to the destination of its group, and body text
// into runs of the paragraph being read.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "content/rich_text_document.h"
#include "content/rtf_code_page.h"
#include "content/rtf_keyword.h"
#include "content/rtf_parser_state.h"
#include "content/rtf_tables.h"
#include "content/rtf_tokenizer.h"

namespace tarvo::rtf {

class Parser {
 public:
  explicit Parser(std::string_view bytes) : tokenizer_(bytes) {}

  ResultOf<RichDocument> read();

 private:
  GroupState& state() { return stack_.back(); }
  Destination destination() { return state().destination; }

  [[nodiscard]] bool openGroup();
  void closeGroup();
  ResultOf<RichDocument> finish(bool closed);

  void controlWord(const RtfToken& token);
  void enterDestination(RtfKeyword keyword);
  bool characterWord(RtfKeyword keyword, const RtfToken& token);
  void bodyWord(RtfKeyword keyword, const RtfToken& token);
  void characterProperty(RtfKeyword keyword, const RtfToken& token);
  void paragraphProperty(RtfKeyword keyword, int parameter);
  void tableWord(RtfKeyword keyword, const RtfToken& token);
  void numberingWord(RtfKeyword keyword, int parameter);
  void controlSymbol(char symbol);
  void hexByte(std::uint8_t byte);
  void text(std::string_view bytes);
  void flushBytes();

  void putChars(QStringView chars);
  void putRawText(std::string_view bytes, QString& out);
  QString& runText();
  [[nodiscard]] RichCharFormat resolve(const CharState& chars) const;
  [[nodiscard]] int codePageNow();
  void endParagraph();
  void endCell();
  void endRow();
  void chopTrailing(char16_t mark);
  [[nodiscard]] RichParagraphFormat paragraphFormat();
  bool consumeSkipped();

  RtfTokenizer tokenizer_;
  std::vector<GroupState> stack_;
  bool groupStart_ = false;  // no token yet in the group just opened
  bool starred_ = false;     // the group opened with \*
  int skipRemaining_ = 0;    // stand-in characters still to skip after \uN

  int ansiCodePage_ = kDefaultCodePage;
  int defaultFont_ = 0;
  RtfCodePages codePages_;
  RtfFontTable fonts_;
  RtfColourTable colours_;
  RtfListTable lists_;
  std::vector<QString> fieldInstructions_;
  std::vector<QString> links_;
  Numbering numbering_;

  std::string pendingBytes_;  // \'hh bytes not yet decoded: a multi-byte character spans several
  RichDocument document_;
  RichParagraph paragraph_;
  QString listText_;
  CharState lastRunChars_;
};

}  // namespace tarvo::rtf
