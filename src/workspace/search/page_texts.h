#pragma once

// The searchable texts of a topic's pages as they are stored: a note's plain text, a
// checklist's items one per line. Only reads: a file that cannot be read gives no text here and
// is left for the page itself to report and set aside when it is opened.

#include <string>
#include <vector>

#include "content/topic_pages.h"
#include "workspace/search/search_index.h"

namespace tarvo {

// The text of one page; empty for a page without content or of a kind that holds no text.
std::string StoredPageText(const PageFolders& folders, const TopicPage& page);
// A document per page with text, read from the topic's pages file.
std::vector<SearchDocument> StoredPageDocuments(const PageFolders& folders, const std::string& topicId,
                                                int sectionType);
// Where a page's text goes in the index; false for a kind of page that holds no text.
bool SearchFieldOf(const TopicPage& page, SearchField& field);

}  // namespace tarvo
