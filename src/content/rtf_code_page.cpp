#include "content/rtf_code_page.h"

#include <array>

namespace tarvo {

namespace {

// Windows-1252's characters at 0x80 to 0x9F; the rest of the page is Latin-1. The five holes
// of the page map to themselves, as Windows does.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const char* QtNameOf(int codePage) {
  switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 866: return "IBM866";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 20866: return "KOI8-R";
    case 28591: return "ISO-8859-1";
    case 65001: return "UTF-8";
    default: return nullptr;
  }
}

}  // namespace

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
  }
}

void AppendWindows1252(std::string_view bytes, QString& out) {
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    out += (value >= 0x80 && value < 0xA0) ? QChar(kWindows1252High[value - 0x80])
                                           : QChar(static_cast<char16_t>(value));
  }
}

bool IsUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; value = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; value = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; value = lead & 0x07; }
    else return false;
    if (i + static_cast<std::size_t>(length) > bytes.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      value = value << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

void RtfCodePages::decode(int codePage, std::string_view bytes, QString& out) {
  QStringDecoder* decoder = codePage == kDefaultCodePage ? nullptr : decoderFor(codePage);
  if (decoder == nullptr) {
    AppendWindows1252(bytes, out);
    return;
  }
  out += decoder->decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  // Each decode stands alone: a byte sequence cut off at the end must not swallow the
  // characters of the next, unrelated piece of text.
  decoder->resetState();
}

bool RtfCodePages::isKnown(int codePage) {
  return codePage == kDefaultCodePage || decoderFor(codePage) != nullptr;
}

QStringDecoder* RtfCodePages::decoderFor(int codePage) {
  auto found = decoders_.find(codePage);
  if (found == decoders_.end()) {
    const char* name = QtNameOf(codePage);
    QStringDecoder decoder = name != nullptr ? QStringDecoder(name) : QStringDecoder();
    found = decoders_.emplace(codePage, std::move(decoder)).first;
  }
  return found->second.isValid() ? &found->second : nullptr;
}

}  // namespace tarvo
