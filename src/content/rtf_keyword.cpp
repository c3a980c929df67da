#include "content/rtf_keyword.h"

#include <array>
#include <cstdint>
#include <utility>

namespace tarvo {

namespace {

using K = RtfKeyword;

constexpr std::pair<std::string_view, RtfKeyword> kKeywords[] = {
    {"rtf", K::Rtf}, {"fonttbl", K::FontTable}, {"colortbl", K::ColourTable},
    {"listtable", K::ListTable}, {"listoverridetable", K::ListOverrideTable},
    {"field", K::Field}, {"fldinst", K::FieldInstruction}, {"fldrslt", K::FieldResult},
    {"listtext", K::ListText}, {"pntext", K::ListText}, {"pn", K::NumberingProps},
    // Destinations whose text is not part of the note.
    {"stylesheet", K::SkippedDestination}, {"info", K::SkippedDestination},
    {"pict", K::SkippedDestination}, {"object", K::SkippedDestination},
    {"header", K::SkippedDestination}, {"headerl", K::SkippedDestination},
    {"headerr", K::SkippedDestination}, {"headerf", K::SkippedDestination},
    {"footer", K::SkippedDestination}, {"footerl", K::SkippedDestination},
    {"footerr", K::SkippedDestination}, {"footerf", K::SkippedDestination},
    {"footnote", K::SkippedDestination}, {"annotation", K::SkippedDestination},
    {"xe", K::SkippedDestination}, {"tc", K::SkippedDestination},
    {"txe", K::SkippedDestination}, {"rxe", K::SkippedDestination},
    {"nonshppict", K::SkippedDestination}, {"shp", K::SkippedDestination},
    {"nonesttables", K::SkippedDestination}, {"filetbl", K::SkippedDestination},
    {"revtbl", K::SkippedDestination}, {"rsidtbl", K::SkippedDestination},
    {"themedata", K::SkippedDestination}, {"colorschememapping", K::SkippedDestination},
    {"latentstyles", K::SkippedDestination}, {"datastore", K::SkippedDestination},
    {"generator", K::SkippedDestination}, {"pgdsctbl", K::SkippedDestination},
    {"do", K::SkippedDestination}, {"template", K::SkippedDestination},
    {"ansicpg", K::AnsiCodePage}, {"deff", K::DefaultFont}, {"f", K::Font},
    {"fcharset", K::Charset}, {"red", K::Red}, {"green", K::Green}, {"blue", K::Blue},
    {"uc", K::UnicodeSkip}, {"u", K::Unicode},
    {"par", K::Par}, {"line", K::Line}, {"tab", K::Tab}, {"cell", K::Cell},
    {"nestcell", K::Cell}, {"row", K::Row}, {"nestrow", K::Row}, {"emdash", K::EmDash},
    {"endash", K::EnDash}, {"bullet", K::Bullet}, {"lquote", K::LeftQuote},
    {"rquote", K::RightQuote}, {"ldblquote", K::LeftDoubleQuote},
    {"rdblquote", K::RightDoubleQuote}, {"emspace", K::EmSpace}, {"enspace", K::EnSpace},
    {"qmspace", K::QuarterEmSpace},
    {"pard", K::ParagraphDefault}, {"ql", K::AlignLeft}, {"qc", K::AlignCentre},
    {"qr", K::AlignRight}, {"qj", K::AlignJustify}, {"qd", K::AlignJustify},
    {"li", K::LeftIndent}, {"lin", K::LeftIndent}, {"ri", K::RightIndent},
    {"rin", K::RightIndent}, {"fi", K::FirstLineIndent}, {"ls", K::ListOverride},
    {"ilvl", K::ListLevel}, {"intbl", K::InTable},
    {"plain", K::Plain}, {"b", K::Bold}, {"i", K::Italic}, {"ul", K::Underline},
    {"uld", K::Underline}, {"uldb", K::Underline}, {"ulw", K::Underline},
    {"ulth", K::Underline}, {"uldash", K::Underline}, {"uldashd", K::Underline},
    {"uldashdd", K::Underline}, {"ulwave", K::Underline}, {"ulhwave", K::Underline},
    {"ululdbwave", K::Underline}, {"ulthd", K::Underline}, {"ulldash", K::Underline},
    {"ulnone", K::UnderlineNone}, {"strike", K::Strike}, {"striked", K::Strike},
    {"v", K::Hidden}, {"cf", K::TextColour}, {"cb", K::BackColour},
    {"highlight", K::BackColour}, {"chcbpat", K::BackColour}, {"fs", K::FontSize},
    {"pnlvlblt", K::NumberingBullet}, {"pnlvlbody", K::NumberingBody},
    {"pnlvl", K::NumberingLevel}, {"pndec", K::NumberingDecimal},
    {"pnucrm", K::NumberingUpperRoman}, {"pnlcrm", K::NumberingLowerRoman},
    {"pnucltr", K::NumberingUpperLetter}, {"pnlcltr", K::NumberingLowerLetter},
    {"list", K::List}, {"listid", K::ListId}, {"listlevel", K::LevelEntry},
    {"levelnfc", K::LevelNumberFormat}, {"levelnfcn", K::LevelNumberFormat},
    {"listoverride", K::OverrideEntry},
};

// Control words are looked up once per word of every note, so the table is open addressing
// over a short FNV-1a hash: no allocation, and usually one comparison.
constexpr std::size_t kSlots = 512;  // a power of two, well above the number of keywords

std::size_t Hash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash & (kSlots - 1);
}

struct Slot {
  std::string_view name;
  RtfKeyword keyword = RtfKeyword::Unknown;
};

const std::array<Slot, kSlots>& Table() {
  static const std::array<Slot, kSlots> table = [] {
    std::array<Slot, kSlots> slots{};
    for (const auto& [name, keyword] : kKeywords) {
      std::size_t at = Hash(name);
      while (!slots[at].name.empty()) at = (at + 1) & (kSlots - 1);
      slots[at] = {name, keyword};
    }
    return slots;
  }();
  return table;
}

}  // namespace

RtfKeyword LookupRtfKeyword(std::string_view name) {
  const auto& table = Table();
  for (std::size_t at = Hash(name);; at = (at + 1) & (kSlots - 1)) {
    if (table[at].name.empty()) return RtfKeyword::Unknown;
    if (table[at].name == name) return table[at].keyword;
  }
}

}  // namespace tarvo
