#pragma once

// Reading and saving the content of a topic's pages: a checklist page's items in the checklist
// folder, a notes page's rich text in the notes folder, each named after the topic and the page
// ("42-2.lst", "42-1.txt") when it is first saved with content, and deleted when it is saved
// empty. A content file that cannot be read is first copied aside under a name that backups
// never prune, so the next save cannot lose what was in it.

#include <string>
#include <string_view>

#include "base/result.h"
#include "content/checklist.h"
#include "content/rich_text_document.h"
#include "content/topic_pages.h"

namespace tarvo {

std::string ChecklistPath(const PageFolders& folders, const TopicPage& page);
std::string NotesPath(const PageFolders& folders, const TopicPage& page);

// The items of a checklist page; a missing file is an empty list. A file that cannot be read
// gives an empty list with a note for the log saying where the file was set aside.
ResultOf<ChecklistItems> LoadChecklistPage(const PageFolders& folders, const TopicPage& page);
// The stored bytes of a notes page; empty when it has none. A failure when the file exists and
// cannot be read (it is set aside first, and the reason says where).
ResultOf<std::string> LoadNotesBytes(const PageFolders& folders, const TopicPage& page);

// The note of a notes page; empty when it has none. A note read only in part, or no rich text
// at all (its words then come as plain paragraphs), is set aside first and comes with a note for
// the log saying where. A failure when the file cannot be read at all.
ResultOf<RichDocument> LoadNotesPage(const PageFolders& folders, const TopicPage& page);

// Copies a page file that could not be used to "<name>-unreadable-<stamp>.<ext>" beside it.
// The copy's path.
ResultOf<std::string> SetPageFileAside(const std::string& path, const std::string& nowStamp);

// Saves a changed checklist page: with items, the file (made on the first save) is rewritten;
// without, the file and its date-stamped copies are deleted and the page has no content again.
// Marks the pages file changed when the page gains or loses its file, and the information file
// changed with the new stamp.
Result SaveChecklistPage(const PageFolders& folders, TopicPages& pages, TopicPage& page,
                         const ChecklistItems& items, const std::string& nowStamp);
// The same for a notes page; `rtf` empty means the note has no text. At most three numbered
// backups of earlier versions are kept.
Result SaveNotesPage(const PageFolders& folders, TopicPages& pages, TopicPage& page,
                     std::string_view rtf, const std::string& nowStamp);

// The end of every page save: the page's information file when it changed, then the pages file
// when it changed.
Result SavePageFiles(const PageFolders& folders, TopicPages& pages, TopicPage& page,
                     const std::string& nowStamp);

}  // namespace tarvo
