#pragma once

// A topic note as plain values: paragraphs of formatted runs. The RTF reader and writer and the
// editor's adapter all meet here, so a note can be compared, stored and converted without a
// text widget. Measures are in twips (1/20 point) and font sizes in half points, the units the
// notes files use, so reading and writing never rounds.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvo {

// A colour as 0xRRGGBB.
using RichColour = std::uint32_t;

// The soft line break inside a paragraph (the editor's own separator).
inline constexpr char16_t kRichLineBreak = u'\u2028';
// The font size of text that names none: 12 points.
inline constexpr int kRichDefaultHalfPoints = 24;

struct RichCharFormat {
  QString fontFamily;  // empty: the editor's default font
  int halfPoints = kRichDefaultHalfPoints;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::optional<RichColour> textColour;  // none: the default text colour
  std::optional<RichColour> backColour;  // none: no highlight
  QString link;                          // the URL the text opens; empty for plain text

  bool operator==(const RichCharFormat&) const = default;
};

struct RichRun {
  QString text;
  RichCharFormat format;

  bool operator==(const RichRun&) const = default;
};

enum class RichAlignment : std::uint8_t { Left, Centre, Right, Justify };

enum class RichListKind : std::uint8_t {
  None,
  Bullet,
  Decimal,
  LowerAlpha,
  UpperAlpha,
  LowerRoman,
  UpperRoman,
};

inline constexpr int kRichMaxListLevel = 8;  // nine levels, 0 to 8

struct RichParagraphFormat {
  RichAlignment alignment = RichAlignment::Left;
  int leftIndent = 0;       // twips
  int rightIndent = 0;      // twips
  int firstLineIndent = 0;  // twips, negative for a hanging first line
  RichListKind listKind = RichListKind::None;
  int listLevel = 0;  // 0 to kRichMaxListLevel; meaningful only in a list

  bool operator==(const RichParagraphFormat&) const = default;
};

struct RichParagraph {
  RichParagraphFormat format;
  std::vector<RichRun> runs;  // never empty texts; neighbours never share a format

  // Adds text in a format, joining it to the last run when the formats are equal, so equal
  // content always has the same runs.
  void append(const QString& text, const RichCharFormat& runFormat);
  [[nodiscard]] QString text() const;

  bool operator==(const RichParagraph&) const = default;
};

struct RichDocument {
  std::vector<RichParagraph> paragraphs;

  // The text with one '\n' between paragraphs, as a plain-text export shows it.
  [[nodiscard]] QString plainText() const;
  // True when there is no character to keep (an empty note is deleted, not saved).
  [[nodiscard]] bool isEmpty() const;

  bool operator==(const RichDocument&) const = default;
};

}  // namespace tarvo
