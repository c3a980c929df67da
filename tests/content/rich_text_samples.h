#pragma once

// Notes that use one formatting kind each, shared by the codec's and the editor adapter's
// round-trip tests.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "content/rich_text_document.h"

namespace tarvo::test {

struct RichSample {
  std::string name;
  RichDocument document;
};

// A paragraph of runs in formats; each pair is text and format.
RichParagraph MakeParagraph(std::vector<std::pair<QString, RichCharFormat>> runs,
                            RichParagraphFormat format = {});
// One plain paragraph per text.
RichDocument PlainDocument(const std::vector<QString>& texts);

// One document per formatting kind, and last one with all of them together.
std::vector<RichSample> EveryFormattingKind();

}  // namespace tarvo::test

namespace tarvo {
// Readable failure messages: gtest prints documents with this.
void PrintTo(const RichDocument& document, std::ostream* out);
}  // namespace tarvo
