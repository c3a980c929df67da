#pragma once

// The tables at the head of an RTF document that the text refers to by number: fonts
// (\fonttbl), colours (\colortbl) and lists (\listtable with \listoverridetable).

#include <QString>
#include <optional>
#include <unordered_map>
#include <vector>

#include "content/rich_text_document.h"

namespace tarvo {

struct RtfFont {
  QString family;
  int codePage = 0;  // from \fcharset; 0 when the document's code page applies
};

class RtfFontTable {
 public:
  // \fN inside the table starts an entry; the name follows as text up to ';'.
  void beginEntry(int number);
  void setCharset(int charset);
  // Name text; a ';' ends the entry.
  void addText(QStringView text);
  // Ends the entry whose name has no ';' (at the end of its group).
  void endEntry();
  // The code page the name of the entry being read is written in; 0 for the document's.
  [[nodiscard]] int entryCodePage() const { return entry_ ? entry_->codePage : 0; }

  [[nodiscard]] const RtfFont* find(int number) const;

 private:
  std::unordered_map<int, RtfFont> fonts_;
  std::optional<RtfFont> entry_;
  int entryNumber_ = 0;
};

class RtfColourTable {
 public:
  void setRed(int value) { red_ = value; given_ = true; }
  void setGreen(int value) { green_ = value; given_ = true; }
  void setBlue(int value) { blue_ = value; given_ = true; }
  // Text of the table: each ';' ends an entry; an entry without components is "automatic".
  void addText(std::string_view text);

  // The colour numbered `index` (as in \cfN or \highlightN); none for "automatic" and for
  // numbers the table does not have.
  [[nodiscard]] std::optional<RichColour> find(int index) const;

 private:
  std::vector<std::optional<RichColour>> colours_;
  int red_ = 0;
  int green_ = 0;
  int blue_ = 0;
  bool given_ = false;
};

class RtfListTable {
 public:
  // Inside \listtable.
  void beginList() { lists_.emplace_back(); }
  void beginLevel();
  void setLevelFormat(int numberFormat);
  void setListId(int id, bool inOverrideTable);
  // Inside \listoverridetable.
  void beginOverride() { overrides_.emplace_back(); }
  void setOverrideNumber(int number);

  // The kind of list a paragraph with \lsN\ilvlL is in; none when the tables do not say.
  [[nodiscard]] std::optional<RichListKind> kindOf(int overrideNumber, int level) const;

 private:
  struct List {
    int id = 0;
    std::vector<RichListKind> levels;
  };
  struct Override {
    int listId = 0;
    int number = 0;
  };

  std::vector<List> lists_;
  std::vector<Override> overrides_;
};

// The list kind of an RTF number format (\levelnfc).
RichListKind ListKindOfNumberFormat(int numberFormat);

}  // namespace tarvo
