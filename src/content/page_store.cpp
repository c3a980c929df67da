#include "content/page_store.h"

#include "base/date_text.h"
#include "content/rtf_reader.h"
#include "store/backups.h"
#include "store/file_system.h"
#include "store/pair_file.h"
#include "store/safe_replace.h"

namespace tarvo {

namespace {

constexpr int kNotesBackups = 3;

std::string ContentFileName(const TopicPages& pages, const TopicPage& page, const char* extension) {
  return pages.topicId + "-" + std::to_string(page.id) + extension;
}

// The page has content now: it gets its file name on the first save, and the pages file lists it.
void GainContent(TopicPages& pages, TopicPage& page, const char* extension) {
  if (page.fileName.empty()) {
    page.fileName = ContentFileName(pages, page, extension);
    pages.changed = true;
  }
  if (!page.hasFile) {
    page.hasFile = true;
    pages.changed = true;
  }
}

// The page has no content any more: its file goes, with the copies stamped with a date; the
// numbered backups stay, the last way back to what it held.
Result LoseContent(TopicPages& pages, TopicPage& page, const std::string& path) {
  if (!page.hasFile) return {};
  page.fileName.clear();
  page.hasFile = false;
  pages.changed = true;
  PurgeBackups(path, 0);
  if (fileSystem().exists(path)) {
    if (Result removed = fileSystem().remove(path); !removed) return removed;
  }
  return {};
}

// Notes are written to a temporary file first, which replaces the note only once it is whole.
std::string TemporaryOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return (dot == std::string::npos ? path : path.substr(0, dot)) + ".tmp";
}

// Sets a page file that could not be used aside and says so: "<what> <path> <why>; it was
// copied to ...".
std::string SetAsideWithReport(const std::string& what, const std::string& path, const std::string& why) {
  ResultOf<std::string> aside = SetPageFileAside(path, StampText());
  const std::string where = aside ? "; it was copied to " + *aside
                                  : "; it could not be copied aside either: " + aside.reason();
  return "*** The " + what + " " + path + " " + why + where;
}

// A text that is no rich text, kept as plain paragraphs, one per line.
RichDocument PlainDocument(std::string_view bytes) {
  RichDocument document;
  const QStringList lines = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).split('\n');
  for (const QString& line : lines) {
    RichParagraph paragraph;
    QString text = line;
    if (text.endsWith('\r')) text.chop(1);
    paragraph.append(text, RichCharFormat{});
    document.paragraphs.push_back(std::move(paragraph));
  }
  return document;
}

void Amend(TopicPage& page, const std::string& nowStamp) {
  page.info.amended = nowStamp;
  page.info.changed = true;
}

}  // namespace

std::string ChecklistPath(const PageFolders& folders, const TopicPage& page) {
  return page.fileName.empty() ? std::string() : JoinPath(folders.checklists, page.fileName);
}

std::string NotesPath(const PageFolders& folders, const TopicPage& page) {
  return page.fileName.empty() ? std::string() : JoinPath(folders.notes, page.fileName);
}

ResultOf<std::string> SetPageFileAside(const std::string& path, const std::string& nowStamp) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind(kPathDelimiter);
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  const std::string extension = hasExtension ? path.substr(dot) : std::string();
  const std::string aside = stem + "-unreadable-" + nowStamp + extension;
  if (Result copied = ReplaceWithCopy(path, aside); !copied) return copied;
  return aside;
}

ResultOf<ChecklistItems> LoadChecklistPage(const PageFolders& folders, const TopicPage& page) {
  const std::string path = ChecklistPath(folders, page);
  if (path.empty()) return ChecklistItems{};
  ResultOf<ChecklistItems> items = ReadChecklist(path);
  if (items) return items;
  return ResultOf<ChecklistItems>::Noted(
      ChecklistItems{}, SetAsideWithReport("checklist", path, "cannot be read (" + items.reason() + ")"));
}

ResultOf<std::string> LoadNotesBytes(const PageFolders& folders, const TopicPage& page) {
  const std::string path = NotesPath(folders, page);
  if (path.empty() || !fileSystem().exists(path)) return std::string();
  ResultOf<std::string> bytes = ReadWholeFile(path);
  if (bytes) return bytes;
  return Result::Failure(SetAsideWithReport("note", path, "cannot be read (" + bytes.reason() + ")"));
}

ResultOf<RichDocument> LoadNotesPage(const PageFolders& folders, const TopicPage& page) {
  ResultOf<std::string> bytes = LoadNotesBytes(folders, page);
  if (!bytes) return bytes.status();
  if (bytes->empty()) return RichDocument{};
  ResultOf<RichDocument> note = ReadRtf(*bytes);
  const std::string path = NotesPath(folders, page);
  if (!note) {
    return ResultOf<RichDocument>::Noted(
        PlainDocument(*bytes), SetAsideWithReport("note", path, "is not rich text we can read (" + note.reason() + ")"));
  }
  if (!note.note().empty()) {
    return ResultOf<RichDocument>::Noted(std::move(*note), SetAsideWithReport("note", path, "was read only in part: " + note.note()));
  }
  return note;
}

Result SaveChecklistPage(const PageFolders& folders, TopicPages& pages, TopicPage& page,
                         const ChecklistItems& items, const std::string& nowStamp) {
  page.changed = false;
  if (items.empty()) return LoseContent(pages, page, ChecklistPath(folders, page));
  GainContent(pages, page, ".lst");
  Amend(page, nowStamp);
  return WriteChecklist(ChecklistPath(folders, page), items);
}

Result SaveNotesPage(const PageFolders& folders, TopicPages& pages, TopicPage& page,
                     std::string_view rtf, const std::string& nowStamp) {
  page.changed = false;
  if (rtf.empty()) return LoseContent(pages, page, NotesPath(folders, page));
  GainContent(pages, page, ".txt");
  page.info.richText = true;
  Amend(page, nowStamp);
  const std::string path = NotesPath(folders, page);
  const std::string temporary = TemporaryOf(path);
  Result saved = SaveBytesThrough(temporary, path, rtf, kNotesBackups);
  // After a save the temporary name is only a second name of the note; a failure to drop it
  // costs nothing but a stray file, which the next save replaces.
  if (saved && fileSystem().exists(temporary)) (void)fileSystem().remove(temporary);
  return saved;
}

Result SavePageFiles(const PageFolders& folders, TopicPages& pages, TopicPage& page,
                     const std::string& nowStamp) {
  Result saved;
  if (page.info.changed) saved = SavePageInfo(folders, page, nowStamp);
  if (pages.changed) {
    if (Result listed = SaveTopicPages(pages); !listed && saved) saved = listed;
  }
  return saved;
}

}  // namespace tarvo
