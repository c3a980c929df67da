// The parser's control words and symbols: destinations, characters, and the properties of
// the body, the tables and old-style numbering.

#include <algorithm>

#include "content/rtf_field.h"
#include "content/rtf_parser.h"

namespace tarvo::rtf {

void Parser::controlWord(const RtfToken& token) {
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

void Parser::enterDestination(RtfKeyword keyword) {
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
bool Parser::characterWord(RtfKeyword keyword, const RtfToken& token) {
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

void Parser::bodyWord(RtfKeyword keyword, const RtfToken& token) {
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

void Parser::paragraphProperty(RtfKeyword keyword, int parameter) {
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

void Parser::characterProperty(RtfKeyword keyword, const RtfToken& token) {
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

void Parser::tableWord(RtfKeyword keyword, const RtfToken& token) {
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

void Parser::numberingWord(RtfKeyword keyword, int parameter) {
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

void Parser::controlSymbol(char symbol) {
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

}  // namespace tarvo::rtf
