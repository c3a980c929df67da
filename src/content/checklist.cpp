#include "content/checklist.h"

#include <algorithm>

#include "store/file_system.h"
#include "store/pair_file.h"
#include "store/pair_list.h"

namespace tarvo {

namespace {

constexpr int kChecklistBackups = 8;
constexpr std::string_view kAnyFile = "*.*";

bool ValidRow(const ChecklistItems& items, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < items.size();
}

}  // namespace

ChecklistItem MakeChecklistItem(std::string text) {
  ChecklistItem item;
  SetItemText(item, std::move(text));
  return item;
}

void SetItemText(ChecklistItem& item, std::string text) {
  item.text = std::move(text);
  item.link = FindLink(item.text).link;
}

void SetItemTicked(ChecklistItem& item, bool ticked, const std::string& nowStamp) {
  item.ticked = ticked;
  if (ticked) item.finished = nowStamp;
}

ChecklistItem DroppedPathItem(const std::string& path, bool isFolder) {
  if (!isFolder) return MakeChecklistItem(path);
  std::string folder = path;
  if (folder.empty() || folder.back() != kPathDelimiter) folder += kPathDelimiter;
  return MakeChecklistItem(folder + std::string(kAnyFile));
}

std::string LinkTargetToOpen(const LinkInfo& link) {
  const std::string& target = link.target;
  if (link.isFile && target.size() >= kAnyFile.size() && target.ends_with(kAnyFile)) {
    return target.substr(0, target.size() - kAnyFile.size());
  }
  return target;
}

std::string ContainingFolder(const LinkInfo& link) {
  const std::size_t last = link.target.find_last_of("/\\");
  return last == std::string::npos ? std::string() : link.target.substr(0, last + 1);
}

ChecklistItems ItemsFromLines(std::string_view text) {
  ChecklistItems items;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    items.push_back(MakeChecklistItem(std::string(text.substr(start, end - start))));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return items;
}

std::string LinesOfItems(const ChecklistItems& items, const std::vector<int>& rows) {
  std::string lines;
  for (const int row : rows) {
    if (!ValidRow(items, row)) continue;
    if (!lines.empty()) lines += "\r\n";
    lines += items[static_cast<std::size_t>(row)].text;
  }
  return lines;
}

void MoveItem(ChecklistItems& items, int row, int by) {
  const int to = row + by;
  if (!ValidRow(items, row) || !ValidRow(items, to)) return;
  std::swap(items[static_cast<std::size_t>(row)], items[static_cast<std::size_t>(to)]);
}

void RemoveItems(ChecklistItems& items, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (const int row : rows) {
    if (ValidRow(items, row)) items.erase(items.begin() + row);
  }
}

void RemoveAllTicks(ChecklistItems& items) {
  for (ChecklistItem& item : items) item.ticked = false;
}

void RemoveAllDates(ChecklistItems& items) {
  for (ChecklistItem& item : items) item.finished.clear();
}

std::optional<ChecklistProgress> ProgressOf(const ChecklistItems& items) {
  if (items.empty()) return std::nullopt;
  const auto ticked = std::count_if(items.begin(), items.end(), [](const ChecklistItem& item) { return item.ticked; });
  const auto count = static_cast<long long>(items.size());
  if (ticked == count) return ChecklistProgress{100, 3};
  if (ticked > 0) return ChecklistProgress{static_cast<int>(ticked * 100 / count), 2};
  return ChecklistProgress{0, 1};
}

ResultOf<ChecklistItems> ReadChecklist(const std::string& path) {
  ChecklistItems items;
  if (!fileSystem().exists(path)) return items;
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs); !loaded) return loaded;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view key = pairs.key(i);
    const std::string_view value = pairs.value(i);
    if (key == "chk") {
      ChecklistItem item;
      item.ticked = value == "1";
      items.push_back(std::move(item));
    } else if (items.empty()) {
      continue;  // an item's detail before any item began
    } else if (key == "txt") {
      SetItemText(items.back(), std::string(value));
    } else if (key == "fin") {
      items.back().finished = value;
    }
  }
  return items;
}

Result WriteChecklist(const std::string& path, const ChecklistItems& items) {
  PairList pairs;
  for (const ChecklistItem& item : items) {
    pairs.add("chk", item.ticked ? "1" : "0");
    pairs.add("txt", item.text);
    if (!item.finished.empty()) pairs.add("fin", item.finished);
  }
  return SavePairFile(path, pairs, kChecklistBackups);
}

}  // namespace tarvo
