#include "content/rtf_writer.h"

#include <QHash>
#include <array>
#include <charconv>

#include "content/rtf_list_text.h"

namespace tarvo {

namespace {

// The \levelnfc number formats of the list kinds.
int NumberFormatOf(RichListKind kind) {
  switch (kind) {
    case RichListKind::Bullet: return 23;
    case RichListKind::UpperRoman: return 1;
    case RichListKind::LowerRoman: return 2;
    case RichListKind::UpperAlpha: return 3;
    case RichListKind::LowerAlpha: return 4;
    default: return 0;
  }
}

// One list per kind: \lsN is the kind's number and its \listid the same number plus this.
constexpr int kListIdBase = 1000;
constexpr int kListIndentStep = 360;  // twips per list level in the list table

class RtfWriter {
 public:
  explicit RtfWriter(const RichDocument& document) : document_(document) {}

  std::string write();

 private:
  void collectTables();
  void header();
  void fontTable();
  void colourTable();
  void listTables();
  void listLevel(RichListKind kind, int level);
  void paragraph(const RichParagraph& paragraph, bool last);
  void paragraphProperties(const RichParagraphFormat& format);
  void listText(const RichParagraphFormat& format);
  void run(const RichRun& run);
  void runProperties(const RichCharFormat& format);
  void link(const QString& target);
  void text(QStringView text);
  void word(std::string_view name, int value);
  void number(int value);

  const RichDocument& document_;
  std::string out_;
  std::vector<QString> fonts_;
  QHash<QString, int> fontIndex_;
  QHash<RichColour, int> colourIndex_;  // 1-based: entry 0 is "automatic"
  std::vector<RichColour> colours_;
  std::array<bool, 7> kindsUsed_{};
  ListCounters counters_;
};

std::string RtfWriter::write() {
  collectTables();
  std::size_t textSize = 0;
  for (const RichParagraph& paragraph : document_.paragraphs) {
    for (const RichRun& run : paragraph.runs) textSize += static_cast<std::size_t>(run.text.size());
  }
  out_.reserve(textSize * 2 + 1024);
  header();
  for (std::size_t i = 0; i < document_.paragraphs.size(); ++i) {
    paragraph(document_.paragraphs[i], i + 1 == document_.paragraphs.size());
  }
  out_ += "}\n";
  return std::move(out_);
}

void RtfWriter::collectTables() {
  for (const RichParagraph& paragraph : document_.paragraphs) {
    kindsUsed_[static_cast<std::size_t>(paragraph.format.listKind)] = true;
    for (const RichRun& run : paragraph.runs) {
      const RichCharFormat& format = run.format;
      if (!fontIndex_.contains(format.fontFamily)) {
        fontIndex_.insert(format.fontFamily, static_cast<int>(fonts_.size()));
        fonts_.push_back(format.fontFamily);
      }
      for (const auto& colour : {format.textColour, format.backColour}) {
        if (colour && !colourIndex_.contains(*colour)) {
          colours_.push_back(*colour);
          colourIndex_.insert(*colour, static_cast<int>(colours_.size()));
        }
      }
    }
  }
}

void RtfWriter::header() {
  out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n";
  fontTable();
  colourTable();
  listTables();
}

void RtfWriter::fontTable() {
  out_ += "{\\fonttbl";
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    word("{\\f", static_cast<int>(i));
    out_ += "\\fnil\\fcharset0 ";
    QString name = fonts_[i];
    text(name.remove(u';'));  // the ';' would end the name; no real font has one
    out_ += ";}";
  }
  out_ += "}\n";
}

void RtfWriter::colourTable() {
  out_ += "{\\colortbl;";
  for (const RichColour colour : colours_) {
    word("\\red", static_cast<int>(colour >> 16 & 0xFF));
    word("\\green", static_cast<int>(colour >> 8 & 0xFF));
    word("\\blue", static_cast<int>(colour & 0xFF));
    out_ += ';';
  }
  out_ += "}\n";
}

void RtfWriter::listTables() {
  bool any = false;
  for (std::size_t kind = 1; kind < kindsUsed_.size(); ++kind) any = any || kindsUsed_[kind];
  if (!any) return;
  out_ += "{\\*\\listtable\n";
  for (std::size_t index = 1; index < kindsUsed_.size(); ++index) {
    if (!kindsUsed_[index]) continue;
    const auto kind = static_cast<RichListKind>(index);
    word("{\\list\\listtemplateid", kListIdBase + static_cast<int>(index));
    out_ += "\\listhybrid\n";
    for (int level = 0; level <= kRichMaxListLevel; ++level) listLevel(kind, level);
    word("{\\listname ;}\\listid", kListIdBase + static_cast<int>(index));
    out_ += "}\n";
  }
  out_ += "}\n{\\*\\listoverridetable";
  for (std::size_t index = 1; index < kindsUsed_.size(); ++index) {
    if (!kindsUsed_[index]) continue;
    word("{\\listoverride\\listid", kListIdBase + static_cast<int>(index));
    word("\\listoverridecount0\\ls", static_cast<int>(index));
    out_ += '}';
  }
  out_ += "}\n";
}

void RtfWriter::listLevel(RichListKind kind, int level) {
  const int format = NumberFormatOf(kind);
  word("{\\listlevel\\levelnfc", format);
  word("\\levelnfcn", format);
  out_ += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1";
  if (kind == RichListKind::Bullet) {
    out_ += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
  } else {
    // The text is the level's own number (placeholder \'0L) and a dot.
    out_ += "{\\leveltext\\'02\\'0";
    out_ += static_cast<char>('0' + level);
    out_ += ".;}{\\levelnumbers\\'01;}";
  }
  const int indent = kListIndentStep * 2 * (level + 1);
  word("\\fi", -kListIndentStep);
  word("\\li", indent);
  word("\\lin", indent);
  out_ += "}\n";
}

void RtfWriter::paragraph(const RichParagraph& paragraph, bool last) {
  paragraphProperties(paragraph.format);
  listText(paragraph.format);
  for (const RichRun& run : paragraph.runs) this->run(run);
  // The last paragraph needs no mark, unless it is empty: then the mark is all there is of it.
  if (!last || paragraph.runs.empty()) out_ += "\\par";
  out_ += '\n';
}

void RtfWriter::paragraphProperties(const RichParagraphFormat& format) {
  out_ += "\\pard";
  switch (format.alignment) {
    case RichAlignment::Centre: out_ += "\\qc"; break;
    case RichAlignment::Right: out_ += "\\qr"; break;
    case RichAlignment::Justify: out_ += "\\qj"; break;
    case RichAlignment::Left: break;
  }
  if (format.leftIndent != 0) word("\\li", format.leftIndent);
  if (format.rightIndent != 0) word("\\ri", format.rightIndent);
  if (format.firstLineIndent != 0) word("\\fi", format.firstLineIndent);
  if (format.listKind != RichListKind::None) {
    word("\\ls", static_cast<int>(format.listKind));
    word("\\ilvl", format.listLevel);
  }
  out_ += ' ';
}

// The number or bullet as text, for readers without lists; readers with lists skip it.
void RtfWriter::listText(const RichParagraphFormat& format) {
  const QString shown = counters_.next(format.listKind, format.listLevel);
  if (format.listKind == RichListKind::None) return;
  out_ += "{\\listtext\\pard\\plain ";
  text(shown);
  out_ += "\\tab}";
}

void RtfWriter::run(const RichRun& run) {
  const bool linked = !run.format.link.isEmpty();
  if (linked) link(run.format.link);
  out_ += '{';
  runProperties(run.format);
  out_ += ' ';
  text(run.text);
  out_ += '}';
  if (linked) out_ += "}}";
}

void RtfWriter::runProperties(const RichCharFormat& format) {
  word("\\f", fontIndex_.value(format.fontFamily));
  word("\\fs", format.halfPoints);
  if (format.bold) out_ += "\\b";
  if (format.italic) out_ += "\\i";
  if (format.underline) out_ += "\\ul";
  if (format.strikeOut) out_ += "\\strike";
  if (format.textColour) word("\\cf", colourIndex_.value(*format.textColour));
  if (format.backColour) {
    const int index = colourIndex_.value(*format.backColour);
    word("\\chcbpat", index);
    word("\\highlight", index);
  }
}

void RtfWriter::link(const QString& target) {
  out_ += "{\\field{\\*\\fldinst{HYPERLINK ";
  QString quoted = target;
  quoted.replace(QStringLiteral("\""), QStringLiteral("%22"));
  if (quoted.startsWith(u'#')) {
    out_ += "\\\\l ";
    quoted.remove(0, 1);
  }
  out_ += '"';
  text(quoted);
  out_ += "\"}}{\\fldrslt";
}

void RtfWriter::text(QStringView text) {
  for (const QChar qc : text) {
    const char16_t c = qc.unicode();
    if (c >= 0x20 && c < 0x80) {
      if (c == '\\' || c == '{' || c == '}') out_ += '\\';
      out_ += static_cast<char>(c);
    } else if (c == u'\t') {
      out_ += "\\tab ";
    } else if (c == kRichLineBreak) {
      out_ += "\\line ";
    } else {  // beyond ASCII, and control characters that plain text would lose
      word("\\u", c >= 0x8000 ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
      out_ += '?';
    }
  }
}

void RtfWriter::word(std::string_view name, int value) {
  out_ += name;
  number(value);
}

void RtfWriter::number(int value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out_.append(digits, result.ptr);
}

}  // namespace

std::string WriteRtf(const RichDocument& document) { return RtfWriter(document).write(); }

}  // namespace tarvo
