#include "content/rtf_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "content/rtf_code_page.h"
#include "content/rtf_field.h"
#include "content/rtf_keyword.h"
#include "content/rtf_tables.h"
#include "content/rtf_tokenizer.h"

namespace tarvo {

namespace {

// Where the text of a group goes.
enum class Destination : std::uint8_t {
  Body,
  FontTable,
  ColourTable,
  ListTable,
  ListOverrideTable,
  FieldInstruction,
  ListText,        // the number or bullet a list paragraph shows to older readers
  NumberingProps,  // \pn: old-style numbering of the paragraph
  Skip,
};

// Character properties as the RTF states them: numbers into the tables, resolved into a
// RichCharFormat only when a run starts, so tokens never build strings.
struct CharState {
  int font = -1;  // -1: the default font (\deff)
  int halfPoints = kRichDefaultHalfPoints;
  int textColour = -1;
  int backColour = -1;
  int link = -1;  // into the reader's links
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool hidden = false;

  bool operator==(const CharState&) const = default;
};

struct ParagraphState {
  RichAlignment alignment = RichAlignment::Left;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstLineIndent = 0;
  int listOverride = 0;  // \ls; 0 for none
  int listLevel = 0;     // \ilvl
  bool inTable = false;  // \intbl: the paragraph is inside a table cell
};

struct GroupState {
  CharState chars;
  ParagraphState paragraph;
  int unicodeSkip = 1;  // \uc: characters after \uN that stand in for it
  Destination destination = Destination::Body;
  int field = -1;  // the field this group belongs to, into the reader's fields
};

// \pn numbering: it is given in a group of its own but holds for the paragraph, until \pard.
struct Numbering {
  RichListKind kind = RichListKind::None;
  int level = 0;
};

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// The kind of list whose number older readers were given as text ("1.", "a)", a bullet).
RichListKind KindOfListText(const QString& text) {
  const QString shown = text.trimmed();
  if (shown.isEmpty()) return RichListKind::Bullet;
  const QChar first = shown.front();
  if (first.isDigit()) return RichListKind::Decimal;
  if (first >= u'a' && first <= u'z') return RichListKind::LowerAlpha;
  if (first >= u'A' && first <= u'Z') return RichListKind::UpperAlpha;
  return RichListKind::Bullet;
}

// Drops runs a failed decoding left empty and joins the neighbours that then share a format.
void TidyRuns(std::vector<RichRun>& runs) {
  std::vector<RichRun> tidy;
  tidy.reserve(runs.size());
  for (RichRun& run : runs) {
    if (run.text.isEmpty()) continue;
    if (!tidy.empty() && tidy.back().format == run.format) {
      tidy.back().text += run.text;
    } else {
      tidy.push_back(std::move(run));
    }
  }
  runs = std::move(tidy);
}

class RtfReader {
 public:
  explicit RtfReader(std::string_view bytes) : tokenizer_(bytes) {}

  ResultOf<RichDocument> read();

 private:
  GroupState& state() { return stack_.back(); }
  Destination destination() { return state().destination; }

  [[nodiscard]] bool openGroup();
  void closeGroup();
  ResultOf<RichDocument> finish();

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

ResultOf<RichDocument> RtfReader::read() {
  for (;;) {
    const RtfToken token = tokenizer_.next();
    if (token.kind != RtfTokenKind::HexByte) flushBytes();
    switch (token.kind) {
      case RtfTokenKind::End:
        return finish();
      case RtfTokenKind::GroupOpen:
        if (!openGroup()) {
          return Result::Failure("the groups are nested more than " +
                                 std::to_string(kRtfMaxGroupDepth) + " deep (at byte " +
                                 std::to_string(tokenizer_.position()) + ")");
        }
        break;
      case RtfTokenKind::GroupClose:
        if (stack_.size() == 1) return finish();
        closeGroup();
        break;
      case RtfTokenKind::ControlWord:
        controlWord(token);
        break;
      case RtfTokenKind::ControlSymbol:
        controlSymbol(token.symbol);
        break;
      case RtfTokenKind::HexByte:
        hexByte(token.byte);
        break;
      case RtfTokenKind::Text:
        text(token.text);
        break;
      case RtfTokenKind::Binary:
        groupStart_ = false;
        consumeSkipped();
        break;
    }
  }
}

bool RtfReader::openGroup() {
  if (stack_.size() >= static_cast<std::size_t>(kRtfMaxGroupDepth)) return false;
  stack_.push_back(stack_.empty() ? GroupState{} : stack_.back());
  groupStart_ = true;
  starred_ = false;
  skipRemaining_ = 0;
  return true;
}

void RtfReader::closeGroup() {
  if (destination() == Destination::FontTable) fonts_.endEntry();
  stack_.pop_back();
  groupStart_ = false;
  skipRemaining_ = 0;
}

ResultOf<RichDocument> RtfReader::finish() {
  const std::size_t open = stack_.size();
  if (open == 0) return std::move(document_);
  state().paragraph.inTable = false;  // a row cut off still ends its paragraph
  if (!paragraph_.runs.empty()) endParagraph();
  if (open <= 1) return std::move(document_);
  return ResultOf<RichDocument>::Noted(
      std::move(document_), "the file ends inside " + std::to_string(open) +
                                " unclosed groups; the text up to there was read");
}

// True when the token stands in for the character of the \uN before it.
bool RtfReader::consumeSkipped() {
  if (skipRemaining_ == 0) return false;
  --skipRemaining_;
  return true;
}

void RtfReader::controlWord(const RtfToken& token) {
  const bool first = groupStart_;
  groupStart_ = false;
  if (consumeSkipped() || destination() == Destination::Skip) return;
  const RtfKeyword keyword = LookupRtfKeyword(token.text);
  if (keyword >= RtfKeyword::Rtf && keyword <= RtfKeyword::SkippedDestination) {
    enterDestination(keyword);
    return;
  }
  if (first && starred_) {  // a destination this reader does not know: its text is not ours
    state().destination = Destination::Skip;
    return;
  }
  if (characterWord(keyword, token)) return;
  switch (destination()) {
    case Destination::Body: bodyWord(keyword, token); break;
    case Destination::FontTable:
    case Destination::ColourTable:
    case Destination::ListTable:
    case Destination::ListOverrideTable: tableWord(keyword, token); break;
    case Destination::NumberingProps: numberingWord(keyword, token.parameter); break;
    default: break;
  }
}

void RtfReader::enterDestination(RtfKeyword keyword) {
  GroupState& group = state();
  switch (keyword) {
    case RtfKeyword::FontTable: group.destination = Destination::FontTable; break;
    case RtfKeyword::ColourTable: group.destination = Destination::ColourTable; break;
    case RtfKeyword::ListTable: group.destination = Destination::ListTable; break;
    case RtfKeyword::ListOverrideTable: group.destination = Destination::ListOverrideTable; break;
    case RtfKeyword::NumberingProps: group.destination = Destination::NumberingProps; break;
    case RtfKeyword::SkippedDestination: group.destination = Destination::Skip; break;
    case RtfKeyword::ListText:
      if (group.destination == Destination::Body) group.destination = Destination::ListText;
      break;
    case RtfKeyword::Field:
      fieldInstructions_.emplace_back();
      group.field = static_cast<int>(fieldInstructions_.size()) - 1;
      break;
    case RtfKeyword::FieldInstruction:
      group.destination = group.field < 0 ? Destination::Skip : Destination::FieldInstruction;
      break;
    case RtfKeyword::FieldResult: {
      group.destination = Destination::Body;
      if (group.field < 0) break;
      QString target = HyperlinkTarget(fieldInstructions_[static_cast<std::size_t>(group.field)]);
      if (target.isEmpty()) break;  // another field: its result is plain text
      links_.push_back(std::move(target));
      group.chars.link = static_cast<int>(links_.size()) - 1;
      break;
    }
    default: break;
  }
}

// Words that put characters wherever the group's text goes; true when `keyword` was one.
bool RtfReader::characterWord(RtfKeyword keyword, const RtfToken& token) {
  static constexpr char16_t kLineBreak[] = {kRichLineBreak};
  const auto put = [this](const char16_t* chars) { putChars(QStringView(chars, 1)); };
  switch (keyword) {
    case RtfKeyword::UnicodeSkip:
      state().unicodeSkip = std::clamp(token.parameter, 0, 16);
      return true;
    case RtfKeyword::Unicode: {
      if (!token.hasParameter) return true;
      const char16_t unit = static_cast<char16_t>(token.parameter < 0 ? token.parameter + 65536
                                                                       : token.parameter);
      putChars(QStringView(&unit, 1));
      skipRemaining_ = state().unicodeSkip;
      return true;
    }
    case RtfKeyword::Line: put(kLineBreak); return true;
    case RtfKeyword::Tab: put(u"\t"); return true;
    case RtfKeyword::EmDash: put(u"\u2014"); return true;
    case RtfKeyword::EnDash: put(u"\u2013"); return true;
    case RtfKeyword::Bullet: put(u"\u2022"); return true;
    case RtfKeyword::LeftQuote: put(u"\u2018"); return true;
    case RtfKeyword::RightQuote: put(u"\u2019"); return true;
    case RtfKeyword::LeftDoubleQuote: put(u"\u201C"); return true;
    case RtfKeyword::RightDoubleQuote: put(u"\u201D"); return true;
    case RtfKeyword::EmSpace: put(u"\u2003"); return true;
    case RtfKeyword::EnSpace: put(u"\u2002"); return true;
    case RtfKeyword::QuarterEmSpace: put(u"\u2005"); return true;
    default: return false;
  }
}

void RtfReader::bodyWord(RtfKeyword keyword, const RtfToken& token) {
  switch (keyword) {
    case RtfKeyword::AnsiCodePage:
      if (token.parameter > 0) ansiCodePage_ = token.parameter;
      break;
    case RtfKeyword::DefaultFont: defaultFont_ = token.parameter; break;
    case RtfKeyword::Par: endParagraph(); break;
    case RtfKeyword::Cell: endCell(); break;
    case RtfKeyword::Row: endRow(); break;
    default:
      paragraphProperty(keyword, token.parameter);
      characterProperty(keyword, token);
      break;
  }
}

void RtfReader::paragraphProperty(RtfKeyword keyword, int parameter) {
  ParagraphState& paragraph = state().paragraph;
  switch (keyword) {
    case RtfKeyword::ParagraphDefault:
      paragraph = ParagraphState{};
      numbering_ = Numbering{};
      break;
    case RtfKeyword::AlignLeft: paragraph.alignment = RichAlignment::Left; break;
    case RtfKeyword::AlignCentre: paragraph.alignment = RichAlignment::Centre; break;
    case RtfKeyword::AlignRight: paragraph.alignment = RichAlignment::Right; break;
    case RtfKeyword::AlignJustify: paragraph.alignment = RichAlignment::Justify; break;
    case RtfKeyword::LeftIndent: paragraph.leftIndent = parameter; break;
    case RtfKeyword::RightIndent: paragraph.rightIndent = parameter; break;
    case RtfKeyword::FirstLineIndent: paragraph.firstLineIndent = parameter; break;
    case RtfKeyword::ListOverride: paragraph.listOverride = parameter; break;
    case RtfKeyword::ListLevel: paragraph.listLevel = parameter; break;
    case RtfKeyword::InTable: paragraph.inTable = true; break;
    default: break;
  }
}

void RtfReader::characterProperty(RtfKeyword keyword, const RtfToken& token) {
  CharState& chars = state().chars;
  const bool on = !token.hasParameter || token.parameter != 0;
  switch (keyword) {
    case RtfKeyword::Plain: {
      const int link = chars.link;  // the field's link outlives the formatting reset
      chars = CharState{};
      chars.link = link;
      break;
    }
    case RtfKeyword::Font: chars.font = token.parameter; break;
    case RtfKeyword::FontSize:
      chars.halfPoints = token.parameter > 0 ? token.parameter : kRichDefaultHalfPoints;
      break;
    case RtfKeyword::Bold: chars.bold = on; break;
    case RtfKeyword::Italic: chars.italic = on; break;
    case RtfKeyword::Underline: chars.underline = on; break;
    case RtfKeyword::UnderlineNone: chars.underline = false; break;
    case RtfKeyword::Strike: chars.strikeOut = on; break;
    case RtfKeyword::Hidden: chars.hidden = on; break;
    case RtfKeyword::TextColour: chars.textColour = token.parameter; break;
    case RtfKeyword::BackColour: chars.backColour = token.parameter; break;
    default: break;
  }
}

void RtfReader::tableWord(RtfKeyword keyword, const RtfToken& token) {
  const int value = token.parameter;
  switch (keyword) {
    case RtfKeyword::Font: fonts_.beginEntry(value); break;
    case RtfKeyword::Charset: fonts_.setCharset(value); break;
    case RtfKeyword::Red: colours_.setRed(value); break;
    case RtfKeyword::Green: colours_.setGreen(value); break;
    case RtfKeyword::Blue: colours_.setBlue(value); break;
    case RtfKeyword::List: lists_.beginList(); break;
    case RtfKeyword::LevelEntry: lists_.beginLevel(); break;
    case RtfKeyword::LevelNumberFormat: lists_.setLevelFormat(value); break;
    case RtfKeyword::ListId:
      lists_.setListId(value, destination() == Destination::ListOverrideTable);
      break;
    case RtfKeyword::OverrideEntry: lists_.beginOverride(); break;
    case RtfKeyword::ListOverride:
      if (destination() == Destination::ListOverrideTable) lists_.setOverrideNumber(value);
      break;
    default: break;
  }
}

void RtfReader::numberingWord(RtfKeyword keyword, int parameter) {
  const auto numbered = [this](RichListKind kind) { numbering_.kind = kind; };
  switch (keyword) {
    case RtfKeyword::NumberingBullet: numbered(RichListKind::Bullet); break;
    case RtfKeyword::NumberingBody:
      if (numbering_.kind == RichListKind::None) numbered(RichListKind::Decimal);
      break;
    case RtfKeyword::NumberingLevel:
      numbering_.level = std::clamp(parameter - 1, 0, kRichMaxListLevel);
      if (numbering_.kind == RichListKind::None) numbered(RichListKind::Decimal);
      break;
    case RtfKeyword::NumberingDecimal: numbered(RichListKind::Decimal); break;
    case RtfKeyword::NumberingUpperRoman: numbered(RichListKind::UpperRoman); break;
    case RtfKeyword::NumberingLowerRoman: numbered(RichListKind::LowerRoman); break;
    case RtfKeyword::NumberingUpperLetter: numbered(RichListKind::UpperAlpha); break;
    case RtfKeyword::NumberingLowerLetter: numbered(RichListKind::LowerAlpha); break;
    default: break;
  }
}

void RtfReader::controlSymbol(char symbol) {
  if (symbol == '*' && groupStart_) {
    starred_ = true;
    return;
  }
  groupStart_ = false;
  if (consumeSkipped() || destination() == Destination::Skip) return;
  switch (symbol) {
    case '\\':
    case '{':
    case '}': {
      const std::string_view literal(&symbol, 1);
      if (destination() == Destination::Body) {
        if (!state().chars.hidden) runText() += QLatin1Char(symbol);
      } else {
        text(literal);
      }
      break;
    }
    case '~': putChars(u"\u00A0"); break;
    case '_': putChars(u"\u2011"); break;
    case '\n':
    case '\r':
      if (destination() == Destination::Body) endParagraph();
      break;
    default: break;  // \- optional hyphens, \| and \: index marks: nothing to show
  }
}

void RtfReader::hexByte(std::uint8_t byte) {
  groupStart_ = false;
  if (consumeSkipped()) return;
  const Destination where = destination();
  if (where == Destination::Body || where == Destination::FontTable ||
      where == Destination::FieldInstruction || where == Destination::ListText) {
    pendingBytes_.push_back(static_cast<char>(byte));
  }
}

void RtfReader::flushBytes() {
  if (pendingBytes_.empty()) return;
  if (destination() == Destination::Body) {
    if (!state().chars.hidden) codePages_.decode(codePageNow(), pendingBytes_, runText());
  } else {
    QString chars;
    codePages_.decode(codePageNow(), pendingBytes_, chars);
    putChars(chars);
  }
  pendingBytes_.clear();
}

void RtfReader::text(std::string_view bytes) {
  groupStart_ = false;
  while (!bytes.empty() && consumeSkipped()) bytes.remove_prefix(1);
  if (bytes.empty()) return;
  switch (destination()) {
    case Destination::Body:
      if (state().chars.hidden) return;
      if (IsAscii(bytes)) {
        runText().append(QLatin1StringView(bytes.data(), static_cast<qsizetype>(bytes.size())));
      } else {
        putRawText(bytes, runText());
      }
      break;
    case Destination::ColourTable: colours_.addText(bytes); break;
    case Destination::FontTable:
    case Destination::FieldInstruction:
    case Destination::ListText: {
      QString chars;
      putRawText(bytes, chars);
      putChars(chars);
      break;
    }
    default: break;
  }
}

// Raw 8-bit text: the notes are saved as UTF-8, so a piece of text that is well-formed UTF-8
// is taken as such; otherwise its bytes are characters of the code page in force, as RTF
// defines them.
void RtfReader::putRawText(std::string_view bytes, QString& out) {
  if (IsUtf8(bytes)) {
    out += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  } else {
    codePages_.decode(codePageNow(), bytes, out);
  }
}

void RtfReader::putChars(QStringView chars) {
  GroupState& group = state();
  switch (group.destination) {
    case Destination::Body:
      if (!group.chars.hidden) runText() += chars;
      break;
    case Destination::FontTable: fonts_.addText(chars); break;
    case Destination::FieldInstruction:
      fieldInstructions_[static_cast<std::size_t>(group.field)] += chars;
      break;
    case Destination::ListText: listText_ += chars; break;
    default: break;
  }
}

// The text of the run that the current character properties write into.
QString& RtfReader::runText() {
  const CharState& chars = state().chars;
  if (!paragraph_.runs.empty() && chars == lastRunChars_) return paragraph_.runs.back().text;
  RichCharFormat format = resolve(chars);
  lastRunChars_ = chars;
  if (paragraph_.runs.empty() || !(paragraph_.runs.back().format == format)) {
    paragraph_.runs.push_back(RichRun{QString(), std::move(format)});
  }
  return paragraph_.runs.back().text;
}

RichCharFormat RtfReader::resolve(const CharState& chars) const {
  RichCharFormat format;
  if (const RtfFont* font = fonts_.find(chars.font >= 0 ? chars.font : defaultFont_)) {
    format.fontFamily = font->family;
  }
  format.halfPoints = chars.halfPoints;
  format.bold = chars.bold;
  format.italic = chars.italic;
  format.underline = chars.underline;
  format.strikeOut = chars.strikeOut;
  format.textColour = colours_.find(chars.textColour);
  format.backColour = colours_.find(chars.backColour);
  if (chars.link >= 0) format.link = links_[static_cast<std::size_t>(chars.link)];
  return format;
}

int RtfReader::codePageNow() {
  int codePage = 0;
  if (destination() == Destination::FontTable) {
    codePage = fonts_.entryCodePage();
  } else if (const RtfFont* font = fonts_.find(state().chars.font >= 0 ? state().chars.font
                                                                          : defaultFont_)) {
    codePage = font->codePage;
  }
  return codePage != 0 && codePages_.isKnown(codePage) ? codePage : ansiCodePage_;
}

// A row of a table becomes one paragraph with its cells joined by tabs, so the paragraphs
// inside a cell become lines of it.
void RtfReader::endParagraph() {
  if (state().paragraph.inTable) {
    static constexpr char16_t kLineBreak[] = {kRichLineBreak};
    putChars(QStringView(kLineBreak, 1));
    return;
  }
  TidyRuns(paragraph_.runs);
  paragraph_.format = paragraphFormat();
  document_.paragraphs.push_back(std::move(paragraph_));
  paragraph_ = RichParagraph{};
  listText_.clear();
}

void RtfReader::endCell() {
  chopTrailing(kRichLineBreak);  // the mark of the cell's last paragraph
  putChars(u"\t");
}

void RtfReader::endRow() {
  chopTrailing(kRichLineBreak);
  chopTrailing(u'\t');
  state().paragraph.inTable = false;
  endParagraph();
}

void RtfReader::chopTrailing(char16_t mark) {
  if (!paragraph_.runs.empty() && paragraph_.runs.back().text.endsWith(QChar(mark))) {
    paragraph_.runs.back().text.chop(1);
  }
}

RichParagraphFormat RtfReader::paragraphFormat() {
  const ParagraphState& state = this->state().paragraph;
  RichParagraphFormat format;
  format.alignment = state.alignment;
  format.leftIndent = state.leftIndent;
  format.rightIndent = state.rightIndent;
  format.firstLineIndent = state.firstLineIndent;
  std::optional<RichListKind> kind;
  int level = state.listLevel;
  if (state.listOverride > 0) kind = lists_.kindOf(state.listOverride, state.listLevel);
  if (!kind && numbering_.kind != RichListKind::None) {
    kind = numbering_.kind;
    level = numbering_.level;
  }
  if (!kind && (state.listOverride > 0 || !listText_.isEmpty())) kind = KindOfListText(listText_);
  if (kind && *kind != RichListKind::None) {
    format.listKind = *kind;
    format.listLevel = std::clamp(level, 0, kRichMaxListLevel);
  }
  return format;
}

bool StartsLikeRtf(std::string_view bytes) {
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

}  // namespace

ResultOf<RichDocument> ReadRtf(std::string_view bytes) {
  if (!StartsLikeRtf(bytes)) {
    return Result::Failure("this is not an RTF document: it does not begin with {\\rtf");
  }
  return RtfReader(bytes.substr(bytes.find('{'))).read();
}

}  // namespace tarvo
