#pragma once

// Reads a note's RTF into a RichDocument: the text with its character and paragraph formatting,
// links, lists and the text of tables. Pictures, headers, style sheets and everything else a
// note does not show are skipped.
//
// What bad input gives:
// - Bytes that do not start with "{\rtf", and groups nested deeper than kRtfMaxGroupDepth, are
//   failures: nothing sensible can be shown, and the caller keeps the file untouched.
// - A file that ends early (unclosed groups, a cut control word) gives the text read so far
//   with a note saying so. A damaged note still holds the person's words; showing them loses
//   nothing, while the note tells the caller not to replace the file without keeping a copy.
// Neither case can crash or loop: the reader consumes at least one byte per step.

#include <QByteArray>
#include <string_view>

#include "base/result.h"
#include "content/rich_text_document.h"

namespace tarvo {

inline constexpr int kRtfMaxGroupDepth = 1000;

ResultOf<RichDocument> ReadRtf(std::string_view bytes);
inline ResultOf<RichDocument> ReadRtf(const QByteArray& bytes) {
  return ReadRtf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tarvo
