#include "content/rich_text_document.h"

namespace tarvo {

void RichParagraph::append(const QString& text, const RichCharFormat& runFormat) {
  if (text.isEmpty()) return;
  if (!runs.empty() && runs.back().format == runFormat) {
    runs.back().text += text;
    return;
  }
  runs.push_back(RichRun{text, runFormat});
}

QString RichParagraph::text() const {
  QString joined;
  for (const RichRun& run : runs) joined += run.text;
  return joined;
}

QString RichDocument::plainText() const {
  QString joined;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) joined += u'\n';
    joined += paragraphs[i].text();
  }
  return joined;
}

bool RichDocument::isEmpty() const {
  for (const RichParagraph& paragraph : paragraphs) {
    if (!paragraph.runs.empty()) return false;
  }
  return true;
}

}  // namespace tarvo
