#pragma once

// The detail pages of one topic (a notes page, a checklist page, ...) and the small files that
// describe them: the pages file in the packs folder, listing the pages in tab order, and one
// information file per page with content, holding its stamps, title and column layout.
//
// Ownership: plain values; the workspace keeps one TopicPages per topic it has shown.
// Failure: loads and saves return the reason; a pages or information file that cannot be read
// leaves the defaults and is never written over before the caller has reported it.

#include <string>
#include <vector>

#include "base/result.h"

namespace tarvo {

// Where page files live: the three sub-folders of the data folder that hold them.
struct PageFolders {
  std::string packs;       // pages files, <topic id>.pkt
  std::string checklists;  // checklist files and every page's information file
  std::string notes;       // notes files, rich text
};

enum class PageKind : int { Notes = 0, Checklist = 1, List = 2 };

// One column of a page's list view as the information file keeps it.
struct ColumnDefinition {
  int number = -1;
  std::string heading;  // empty: the built-in caption
  std::string field;    // kept as read
  std::string cld;      // kept as read
  bool visible = true;
  int width = 100;
  int type = 0;         // kept as read
};

// What the information file beside a page's content file holds.
struct PageInfo {
  std::string created;   // stamps, filled with the current one when empty at a save
  std::string amended;
  std::string fsa;       // kept as read
  bool richText = false;
  std::vector<ColumnDefinition> columns;
  int highestColumn = 0;
  bool changed = false;  // the information file must be rewritten
};

struct TopicPage {
  int content = 0;        // PageKind as stored; other values are kept as they are
  int id = 0;             // unique within the topic, from 1
  std::string title;      // tab caption; empty shows the kind's name
  std::string fileName;   // the content file (no folder); empty while the page has no content
  bool hasFile = false;
  bool loaded = false;    // the content has been read into its editor
  bool changed = false;   // the content changed since the last save
  PageInfo info;

  [[nodiscard]] PageKind kind() const { return static_cast<PageKind>(content); }
};

struct TopicPages {
  std::string topicId;
  std::string path;  // the pages file
  std::vector<TopicPage> pages;
  int highestId = 0;
  int visibleTab = 0;
  bool changed = false;  // the pages file must be rewritten
};

// The caption of a page: its title, or the name of its kind when it has none.
std::string PageCaption(const TopicPage& page);

// The pages of a topic from its pages file; a topic of a pages section (section type 1) without
// one gets a notes page "Details" (id 1) and a checklist page "Checklist" (id 2). Each page with
// a content file reads its information file; one that cannot be read leaves that page at its
// defaults and is named in the result's note.
ResultOf<TopicPages> LoadTopicPages(const PageFolders& folders, const std::string& topicId,
                                    int sectionType);
// Rewrites the pages file (5 numbered backups) and clears `changed`.
Result SaveTopicPages(TopicPages& pages);

// The information file of a page: in the checklist folder, named as the content file with
// ".~" + its old extension ("42-2.lst" -> "42-2.~lst"); empty for a page without a content file.
std::string PageInfoPath(const PageFolders& folders, const TopicPage& page);
Result LoadPageInfo(const PageFolders& folders, TopicPage& page);
// Writes it (8 backups), filling empty stamps with `now`, and clears info.changed.
Result SavePageInfo(const PageFolders& folders, TopicPage& page, const std::string& now);

// The topic's page summary kept in its record: how many pages have content, and which kinds.
struct PageSummary {
  int count = 0;  // dac
  int kinds = 0;  // dam: 1 notes, 2 checklist, 4 list, 8 any other kind
};
PageSummary SummaryOf(const TopicPages& pages);

}  // namespace tarvo
