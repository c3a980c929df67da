#include "workspace/search/page_texts.h"

#include <QFile>

#include "content/checklist.h"
#include "content/page_store.h"
#include "content/rich_text_document.h"
#include "content/rtf_reader.h"

namespace tarvo {

bool SearchFieldOf(const TopicPage& page, SearchField& field) {
  if (page.kind() == PageKind::Notes) {
    field = SearchField::Notes;
    return true;
  }
  if (page.kind() == PageKind::Checklist) {
    field = SearchField::Checklist;
    return true;
  }
  return false;
}

std::string StoredPageText(const PageFolders& folders, const TopicPage& page) {
  if (page.fileName.empty()) return {};
  if (page.kind() == PageKind::Checklist) {
    ResultOf<ChecklistItems> items = ReadChecklist(ChecklistPath(folders, page));
    if (!items) return {};
    std::string text;
    // One line per item, empty ones included, so a line number is the item's row.
    for (std::size_t row = 0; row < items->size(); ++row) {
      if (row > 0) text += '\n';
      text += (*items)[row].text;
    }
    return text;
  }
  if (page.kind() == PageKind::Notes) {
    QFile file(QString::fromStdString(NotesPath(folders, page)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    ResultOf<RichDocument> document = ReadRtf(file.readAll());
    return document ? document->plainText().toStdString() : std::string();
  }
  return {};
}

std::vector<SearchDocument> StoredPageDocuments(const PageFolders& folders, const std::string& topicId,
                                                int sectionType) {
  std::vector<SearchDocument> documents;
  ResultOf<TopicPages> pages = LoadTopicPages(folders, topicId, sectionType);
  if (!pages) return documents;
  for (const TopicPage& page : pages->pages) {
    SearchField field = SearchField::Title;
    if (!SearchFieldOf(page, field)) continue;
    std::string text = StoredPageText(folders, page);
    if (!text.empty()) documents.push_back(SearchDocument{topicId, field, page.id, std::move(text)});
  }
  return documents;
}

}  // namespace tarvo
