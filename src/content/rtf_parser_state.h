#pragma once

// The state of the RTF parser that groups save and restore: where text goes, and the
// character and paragraph properties in force, as numbers into the document's tables.

#include <cstdint>

#include "content/rich_text_document.h"

namespace tarvo::rtf {

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

}  // namespace tarvo::rtf
