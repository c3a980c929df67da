#include "workspace/search/text_fold.h"

#include <QChar>
#include <QList>
#include <QString>
#include <unordered_map>

namespace tarvo {
namespace fold_detail {

char32_t DecodeAt(std::string_view utf8, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(at);
  length = 1;
  std::size_t extra = 0;
  char32_t c = lead;
  if (lead >= 0xF0 && lead < 0xF8) {
    extra = 3;
    c = lead & 0x07;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    extra = 2;
    c = lead & 0x0F;
  } else if (lead >= 0xC0 && lead < 0xE0) {
    extra = 1;
    c = lead & 0x1F;
  }
  if (extra == 0 || at + extra >= utf8.size()) return lead;
  for (std::size_t i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return lead;
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  length = extra + 1;
  return c;
}

bool IsSingleCharacterWord(char32_t c) {
  return (c >= 0x3040 && c <= 0x30FF) ||    // kana
         (c >= 0x3400 && c <= 0x9FFF) ||    // ideographs
         (c >= 0xAC00 && c <= 0xD7AF) ||    // Hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||    // compatibility ideographs
         (c >= 0x20000 && c <= 0x3FFFF);    // ideographs beyond the basic plane
}

bool IsWordCharacter(char32_t c) {
  if (c < 0x80) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  }
  return QChar::isLetterOrNumber(c);
}

}  // namespace fold_detail

namespace {

using fold_detail::DecodeAt;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// What one non-ASCII character folds to; a single space stands for any white space.
std::string FoldCharacter(char32_t c) {
  if (QChar::isSpace(c)) return " ";
  const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
  std::string folded;
  for (char32_t part : decomposed.toUcs4()) {
    if (QChar::isMark(part)) continue;
    const QString cased = QString::fromUcs4(&part, 1).toCaseFolded();
    for (char32_t piece : cased.toUcs4()) {
      if (QChar::isSpace(piece)) {
        folded += ' ';
      } else {
        AppendUtf8(folded, piece);
      }
    }
  }
  return folded;
}

// Normalising a character is slow, and texts repeat the same few: the characters of the
// alphabetic scripts are folded once into a table shared by all threads, the rest remembered
// per thread as they come.
constexpr char32_t kTableEnd = 0x3000;

struct FoldTable {
  std::vector<std::string> folded;
  FoldTable() {
    folded.reserve(kTableEnd);
    for (char32_t c = 0; c < kTableEnd; ++c) folded.push_back(c < 0x80 ? std::string(1, static_cast<char>(c)) : FoldCharacter(c));
  }
};

const std::string& FoldedCharacter(char32_t c) {
  if (c < kTableEnd) {
    static const FoldTable table;
    return table.folded[c];
  }
  thread_local std::unordered_map<char32_t, std::string> cache;
  auto found = cache.find(c);
  if (found == cache.end()) found = cache.emplace(c, FoldCharacter(c)).first;
  return found->second;
}

bool IsAsciiSpace(unsigned char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// Folds the text, calling `put(foldedByte, sourceOffset)` for each folded byte.
template <typename Emit>
void Fold(std::string_view utf8, Emit&& put) {
  bool lastWasSpace = false;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    std::size_t length = 1;
    std::string_view piece;
    char ascii = 0;
    if (byte < 0x80) {
      ascii = IsAsciiSpace(byte) ? ' ' : (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + 32)
                                                                       : static_cast<char>(byte);
      piece = std::string_view(&ascii, 1);
    } else {
      piece = FoldedCharacter(DecodeAt(utf8, at, length));
    }
    for (char out : piece) {
      const bool space = out == ' ';
      if (!(space && lastWasSpace)) put(out, at);
      lastWasSpace = space;
    }
    at += length;
  }
}

}  // namespace

void FoldForSearchInto(std::string_view utf8, std::string& folded) {
  folded.clear();
  folded.reserve(utf8.size());
  Fold(utf8, [&](char out, std::size_t) { folded += out; });
}

std::string FoldForSearch(std::string_view utf8) {
  std::string folded;
  FoldForSearchInto(utf8, folded);
  return folded;
}

FoldedText FoldWithOrigins(std::string_view utf8) {
  FoldedText folded;
  folded.text.reserve(utf8.size());
  folded.origins.reserve(utf8.size() + 1);
  Fold(utf8, [&](char out, std::size_t source) {
    folded.text += out;
    folded.origins.push_back(static_cast<std::uint32_t>(source));
  });
  folded.origins.push_back(static_cast<std::uint32_t>(utf8.size()));
  return folded;
}

int Utf16Length(std::string_view utf8) {
  int units = 0;
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace tarvo
