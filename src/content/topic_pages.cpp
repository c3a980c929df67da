#include "content/topic_pages.h"

#include <algorithm>

#include "base/date_text.h"
#include "store/file_system.h"
#include "store/pair_file.h"
#include "store/pair_list.h"

namespace tarvo {

namespace {

constexpr int kPagesBackups = 5;
constexpr int kPageInfoBackups = 8;

// Stored numbers that cannot be read count as the given value; the files are ours, but a hand
// edit must not stop the pages from showing.
int NumberOr(std::string_view text, int fallback) { return DecimalOr(text, fallback); }
bool FlagOr(std::string_view text, bool fallback) { return DecimalOr(text, fallback ? 1 : 0) != 0; }

TopicPage NewPage(PageKind kind, int id, const char* title) {
  TopicPage page;
  page.content = static_cast<int>(kind);
  page.id = id;
  page.title = title;
  return page;
}

void ApplyPagesPair(TopicPages& pages, std::string_view key, std::string_view value) {
  if (key == "vis") {
    pages.visibleTab = std::max(0, NumberOr(value, 0));
  } else if (key == "con") {
    TopicPage page;
    page.content = NumberOr(value, 0);
    pages.pages.push_back(std::move(page));
  } else if (pages.pages.empty()) {
    return;  // a page's detail before any page began
  } else if (key == "uni") {
    pages.pages.back().id = NumberOr(value, 0);
    pages.highestId = std::max(pages.highestId, pages.pages.back().id);
  } else if (key == "file") {
    pages.pages.back().fileName = std::string(value);
  }
}

// A page's file lies in its own folder: a name that would lead out of it is not followed.
bool SafeFileName(std::string_view name) {
  return name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\\') == std::string_view::npos;
}

void ApplyInfoPair(PageInfo& info, std::string& title, bool& hasFile, std::string_view key,
                   std::string_view value) {
  if (key == "cre") info.created = value;
  else if (key == "ame") info.amended = value;
  else if (key == "dis") title = value;
  else if (key == "fsa") info.fsa = value;
  else if (key == "data") hasFile = FlagOr(value, true);
  else if (key == "rtf") info.richText = FlagOr(value, true);
  else if (info.columns.empty()) return;  // a column's detail before any column began
  else if (key == "hdg") info.columns.back().heading = value;
  else if (key == "fld") info.columns.back().field = value;
  else if (key == "cld") info.columns.back().cld = value;
  else if (key == "vis") info.columns.back().visible = FlagOr(value, true);
  else if (key == "wid") info.columns.back().width = NumberOr(value, 100);
  else if (key == "tpe") info.columns.back().type = NumberOr(value, 0);
}

}  // namespace

std::string PageCaption(const TopicPage& page) {
  if (!page.title.empty()) return page.title;
  switch (page.kind()) {
    case PageKind::Notes: return "Details";
    case PageKind::Checklist: return "Checklist";
    case PageKind::List: return "List";
  }
  return "Page";
}

ResultOf<TopicPages> LoadTopicPages(const PageFolders& folders, const std::string& topicId,
                                    int sectionType) {
  TopicPages pages;
  pages.topicId = topicId;
  pages.path = JoinPath(folders.packs, topicId + ".pkt");
  if (!fileSystem().exists(pages.path)) {
    if (sectionType == 1) {
      pages.pages.push_back(NewPage(PageKind::Notes, 1, "Details"));
      pages.pages.push_back(NewPage(PageKind::Checklist, 2, "Checklist"));
      pages.highestId = 2;
    }
    return pages;
  }
  PairList pairs;
  if (Result loaded = LoadPairFile(pages.path, pairs); !loaded) {
    return Result::Failure("the pages file " + pages.path + " cannot be read: " + loaded.reason());
  }
  for (std::size_t i = 0; i < pairs.size(); ++i) ApplyPagesPair(pages, pairs.key(i), pairs.value(i));

  std::string unreadable;
  for (TopicPage& page : pages.pages) {
    if (!SafeFileName(page.fileName)) {
      if (!unreadable.empty()) unreadable += "; ";
      unreadable += "the pages file " + pages.path + " names the page file \"" + page.fileName +
                    "\", which would lie outside its folder; the page shows empty";
      page.fileName.clear();
      continue;
    }
    if (Result info = LoadPageInfo(folders, page); !info) {
      if (!unreadable.empty()) unreadable += "; ";
      unreadable += info.reason();
    }
  }
  if (!unreadable.empty()) return ResultOf<TopicPages>::Noted(std::move(pages), unreadable);
  return pages;
}

Result SaveTopicPages(TopicPages& pages) {
  PairList pairs;
  if (pages.visibleTab > 0) pairs.add("vis", std::to_string(pages.visibleTab));
  for (const TopicPage& page : pages.pages) {
    pairs.add("con", std::to_string(page.content));
    pairs.add("uni", std::to_string(page.id));
    pairs.add("file", page.fileName);
  }
  Result saved = SavePairFile(pages.path, pairs, kPagesBackups);
  if (saved) pages.changed = false;
  return saved;
}

std::string PageInfoPath(const PageFolders& folders, const TopicPage& page) {
  if (page.fileName.empty()) return {};
  const std::size_t dot = page.fileName.rfind('.');
  const std::string stem = dot == std::string::npos ? page.fileName : page.fileName.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : page.fileName.substr(dot + 1);
  return JoinPath(folders.checklists, stem + ".~" + extension);
}

Result LoadPageInfo(const PageFolders& folders, TopicPage& page) {
  const std::string path = PageInfoPath(folders, page);
  if (path.empty() || !fileSystem().exists(path)) return {};
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs); !loaded) {
    return Result::Failure("the page information " + path + " cannot be read: " + loaded.reason());
  }
  PageInfo info;
  std::string title = page.title;
  bool hasFile = page.hasFile;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view key = pairs.key(i);
    const std::string_view value = pairs.value(i);
    if (key != "col") {
      ApplyInfoPair(info, title, hasFile, key, value);
      continue;
    }
    const std::optional<int> number = ParseDecimal(value);
    if (!number) {
      return Result::Failure("the page information " + path + " has the column number \"" +
                             std::string(value) + "\", which is not a number");
    }
    ColumnDefinition column;
    column.number = *number;
    info.highestColumn = std::max(info.highestColumn, column.number);
    info.columns.push_back(std::move(column));
  }
  page.info = std::move(info);
  page.title = std::move(title);
  page.hasFile = hasFile;
  return {};
}

Result SavePageInfo(const PageFolders& folders, TopicPage& page, const std::string& now) {
  const std::string path = PageInfoPath(folders, page);
  if (path.empty()) return {};
  PageInfo& info = page.info;
  if (info.created.empty()) info.created = now;
  if (info.amended.empty()) info.amended = now;
  PairList pairs;
  pairs.add("cre", info.created);
  pairs.add("ame", info.amended);
  if (!page.title.empty()) pairs.add("dis", page.title);
  if (page.hasFile) pairs.add("data", "1");
  if (info.richText) pairs.add("rtf", "1");
  if (!info.fsa.empty()) pairs.add("fsa", info.fsa);
  for (const ColumnDefinition& column : info.columns) {
    pairs.add("col", std::to_string(column.number));
    if (!column.heading.empty()) pairs.add("hdg", column.heading);
    if (!column.field.empty()) pairs.add("fld", column.field);
    if (!column.cld.empty()) pairs.add("cld", column.cld);
    pairs.add("vis", column.visible ? "1" : "0");
    pairs.add("wid", std::to_string(column.width));
    pairs.add("tpe", std::to_string(column.type));
  }
  Result saved = SavePairFile(path, pairs, kPageInfoBackups);
  if (saved) info.changed = false;
  return saved;
}

PageSummary SummaryOf(const TopicPages& pages) {
  PageSummary summary;
  for (const TopicPage& page : pages.pages) {
    if (!page.hasFile) continue;
    ++summary.count;
    switch (page.content) {
      case 0: summary.kinds |= 1; break;
      case 1: summary.kinds |= 2; break;
      case 2: summary.kinds |= 4; break;
      default: summary.kinds |= 8; break;
    }
  }
  return summary;
}

}  // namespace tarvo
