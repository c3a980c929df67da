#pragma once

// The control words the reader acts on, looked up by name without allocating. Every other
// control word is Unknown, and an unknown word is ignored, as RTF asks of its readers.

#include <cstdint>
#include <string_view>

namespace tarvo {

enum class RtfKeyword : std::uint8_t {
  Unknown,
  // Destinations: the first word of a group that says where its text goes.
  Rtf, FontTable, ColourTable, ListTable, ListOverrideTable, Field, FieldInstruction,
  FieldResult, ListText, NumberingProps, SkippedDestination,
  // Document, fonts and colours.
  AnsiCodePage, DefaultFont, Font, Charset, Red, Green, Blue,
  // Unicode.
  UnicodeSkip, Unicode,
  // Breaks and special characters.
  Par, Line, Tab, Cell, Row, EmDash, EnDash, Bullet, LeftQuote, RightQuote, LeftDoubleQuote,
  RightDoubleQuote, EmSpace, EnSpace, QuarterEmSpace,
  // Paragraph properties.
  ParagraphDefault, AlignLeft, AlignCentre, AlignRight, AlignJustify, LeftIndent,
  RightIndent, FirstLineIndent, ListOverride, ListLevel, InTable,
  // Character properties.
  Plain, Bold, Italic, Underline, UnderlineNone, Strike, Hidden, TextColour, BackColour,
  FontSize,
  // Old-style paragraph numbering (inside \pn).
  NumberingBullet, NumberingBody, NumberingLevel, NumberingDecimal, NumberingUpperRoman,
  NumberingLowerRoman, NumberingUpperLetter, NumberingLowerLetter,
  // The list table.
  List, ListId, LevelEntry, LevelNumberFormat, OverrideEntry,
};

RtfKeyword LookupRtfKeyword(std::string_view name);

}  // namespace tarvo
