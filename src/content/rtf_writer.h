#pragma once

// Writes a RichDocument as RTF that word processors read: 7-bit bytes only, with font, colour
// and list tables; non-ASCII text as \uN (UTF-16 units, so a character beyond the BMP is a
// surrogate pair), links as HYPERLINK fields, and list paragraphs with both the list table and
// the shown number, so older readers show the bullet too. ReadRtf gives the same document back.

#include <string>

#include "content/rich_text_document.h"

namespace tarvo {

std::string WriteRtf(const RichDocument& document);

}  // namespace tarvo
