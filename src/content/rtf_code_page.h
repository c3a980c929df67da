#pragma once

// The 8-bit code pages of RTF text: \ansicpgN names the document's, \fcharsetN a font's, and
// \'hh bytes and raw 8-bit text are characters in them. Windows-1252 is built in, since it is
// the default and must work everywhere; the others come from Qt's converters when this Qt has
// them, and fall back to Windows-1252 when it does not, so the text stays readable.

#include <QString>
#include <QStringDecoder>
#include <string_view>
#include <unordered_map>

namespace tarvo {

inline constexpr int kDefaultCodePage = 1252;

// The code page of an \fcharset value; 0 when the charset names none (default, symbol, OEM).
int CodePageOfCharset(int charset);

class RtfCodePages {
 public:
  // Appends the characters of `bytes` in `codePage` to `out`.
  void decode(int codePage, std::string_view bytes, QString& out);
  // True when the code page is known (built in, or available from Qt).
  bool isKnown(int codePage);

 private:
  QStringDecoder* decoderFor(int codePage);

  std::unordered_map<int, QStringDecoder> decoders_;
};

// Appends Windows-1252 bytes to `out`.
void AppendWindows1252(std::string_view bytes, QString& out);

// True when `bytes` is well-formed UTF-8 (shortest forms, no surrogates).
bool IsUtf8(std::string_view bytes);

}  // namespace tarvo
