#include "content/rtf_parser.h"

#include <algorithm>

#include "content/rtf_reader.h"

namespace tarvo::rtf {

namespace {

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
  std::size_t kept = 0;
  for (RichRun& run : runs) {
    if (run.text.isEmpty()) continue;
    if (kept > 0 && runs[kept - 1].format == run.format) {
      runs[kept - 1].text += run.text;
    } else {
      if (&runs[kept] != &run) runs[kept] = std::move(run);
      ++kept;
    }
  }
  runs.resize(kept);
}

}  // namespace

ResultOf<RichDocument> Parser::read() {
  for (;;) {
    const RtfToken token = tokenizer_.next();
    if (token.kind != RtfTokenKind::HexByte) flushBytes();
    switch (token.kind) {
      case RtfTokenKind::End:
        return finish(false);
      case RtfTokenKind::GroupOpen:
        if (!openGroup()) {
          return Result::Failure("the groups are nested more than " +
                                 std::to_string(kRtfMaxGroupDepth) + " deep (at byte " +
                                 std::to_string(tokenizer_.position()) + ")");
        }
        break;
      case RtfTokenKind::GroupClose:
        if (stack_.size() == 1) return finish(true);
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

bool Parser::openGroup() {
  if (stack_.size() >= static_cast<std::size_t>(kRtfMaxGroupDepth)) return false;
  stack_.push_back(stack_.empty() ? GroupState{} : stack_.back());
  groupStart_ = true;
  starred_ = false;
  skipRemaining_ = 0;
  return true;
}

void Parser::closeGroup() {
  if (destination() == Destination::FontTable) fonts_.endEntry();
  stack_.pop_back();
  groupStart_ = false;
  skipRemaining_ = 0;
}

// `closed`: the document's own group was closed, so nothing is missing.
ResultOf<RichDocument> Parser::finish(bool closed) {
  const std::size_t open = stack_.size();
  if (open == 0) return std::move(document_);
  state().paragraph.inTable = false;  // a row cut off still ends its paragraph
  if (!paragraph_.runs.empty()) endParagraph();
  if (closed) return std::move(document_);
  return ResultOf<RichDocument>::Noted(
      std::move(document_), "the file ends inside " + std::to_string(open) +
                                (open == 1 ? " unclosed group" : " unclosed groups") +
                                "; the text up to there was read");
}

// True when the token stands in for the character of the \uN before it.
bool Parser::consumeSkipped() {
  if (skipRemaining_ == 0) return false;
  --skipRemaining_;
  return true;
}

void Parser::hexByte(std::uint8_t byte) {
  groupStart_ = false;
  if (consumeSkipped()) return;
  const Destination where = destination();
  if (where == Destination::Body || where == Destination::FontTable ||
      where == Destination::FieldInstruction || where == Destination::ListText) {
    pendingBytes_.push_back(static_cast<char>(byte));
  }
}

void Parser::flushBytes() {
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

void Parser::text(std::string_view bytes) {
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
void Parser::putRawText(std::string_view bytes, QString& out) {
  if (IsUtf8(bytes)) {
    out += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  } else {
    codePages_.decode(codePageNow(), bytes, out);
  }
}

void Parser::putChars(QStringView chars) {
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
QString& Parser::runText() {
  const CharState& chars = state().chars;
  if (!paragraph_.runs.empty() && chars == lastRunChars_) return paragraph_.runs.back().text;
  RichCharFormat format = resolve(chars);
  lastRunChars_ = chars;
  if (paragraph_.runs.empty() || !(paragraph_.runs.back().format == format)) {
    paragraph_.runs.push_back(RichRun{QString(), std::move(format)});
  }
  return paragraph_.runs.back().text;
}

RichCharFormat Parser::resolve(const CharState& chars) const {
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

int Parser::codePageNow() {
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
void Parser::endParagraph() {
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

void Parser::endCell() {
  chopTrailing(kRichLineBreak);  // the mark of the cell's last paragraph
  putChars(u"\t");
}

void Parser::endRow() {
  chopTrailing(kRichLineBreak);
  chopTrailing(u'\t');
  state().paragraph.inTable = false;
  endParagraph();
}

void Parser::chopTrailing(char16_t mark) {
  if (!paragraph_.runs.empty() && paragraph_.runs.back().text.endsWith(QChar(mark))) {
    paragraph_.runs.back().text.chop(1);
  }
}

RichParagraphFormat Parser::paragraphFormat() {
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

}  // namespace tarvo::rtf
