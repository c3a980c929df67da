#pragma once

// A checklist page's items: a tick, a text (which may hold a web address or a file path, shown
// as a link) and the moment the item was ticked. The edits the checklist commands make, the
// progress rule that ticks drive, and the checklist file.
//
// Plain values and pure functions, except the file functions, which return the reason of a
// failure. Stamps are "yyyymmdd-hhnnss".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/text_scan.h"

namespace tarvo {

struct ChecklistItem {
  bool ticked = false;
  std::string text;
  std::string finished;  // stamp of the tick; empty when never ticked or cleared
  LinkInfo link;

  bool operator==(const ChecklistItem& other) const {
    return ticked == other.ticked && text == other.text && finished == other.finished;
  }
};

using ChecklistItems = std::vector<ChecklistItem>;

// An unticked item with the link found in its text.
ChecklistItem MakeChecklistItem(std::string text);
// Sets the text and the link found in it.
void SetItemText(ChecklistItem& item, std::string text);
// Ticking stamps the item; unticking keeps the stamp.
void SetItemTicked(ChecklistItem& item, bool ticked, const std::string& nowStamp);

// The item a dropped path becomes: a file as its path, a folder as its path followed by the
// delimiter and "*.*", so that opening the item opens the folder.
ChecklistItem DroppedPathItem(const std::string& path, bool isFolder);
// What opening an item's link opens: the target, or for a "*.*" name the folder that holds it.
std::string LinkTargetToOpen(const LinkInfo& link);
// The folder that holds a file link's target ("Open containing folder").
std::string ContainingFolder(const LinkInfo& link);

// One item per line of pasted text (CR LF, LF or CR); an empty last line adds nothing.
ChecklistItems ItemsFromLines(std::string_view text);
// The texts of the chosen items, one per line, CR LF between them.
std::string LinesOfItems(const ChecklistItems& items, const std::vector<int>& rows);

void MoveItem(ChecklistItems& items, int row, int by);
void RemoveItems(ChecklistItems& items, std::vector<int> rows);
void RemoveAllTicks(ChecklistItems& items);
void RemoveAllDates(ChecklistItems& items);

// The progress and task status the ticks give: all ticked 100 and finished (3), some ticked
// their share (rounded down) and in progress (2), none 0 and not started (1). Nothing for an
// empty list.
struct ChecklistProgress {
  int progress = 0;
  int status = 1;
  bool operator==(const ChecklistProgress&) const = default;
};
std::optional<ChecklistProgress> ProgressOf(const ChecklistItems& items);

// The checklist file: one group per item, "chk", "txt" and, when ticked once, "fin". A missing
// file is an empty list; a file that cannot be read is a failure with the reason.
ResultOf<ChecklistItems> ReadChecklist(const std::string& path);
// Rewrites it safely with 8 numbered backups.
Result WriteChecklist(const std::string& path, const ChecklistItems& items);

}  // namespace tarvo
