#include "content/rtf_tables.h"

#include <algorithm>

#include "content/rtf_code_page.h"

namespace tarvo {

void RtfFontTable::beginEntry(int number) {
  endEntry();
  entry_ = RtfFont{};
  entryNumber_ = number;
}

void RtfFontTable::setCharset(int charset) {
  if (entry_) entry_->codePage = CodePageOfCharset(charset);
}

void RtfFontTable::addText(QStringView text) {
  if (!entry_) return;
  const qsizetype end = text.indexOf(u';');
  entry_->family += end < 0 ? text : text.left(end);
  if (end >= 0) endEntry();
}

void RtfFontTable::endEntry() {
  if (!entry_) return;
  entry_->family = entry_->family.trimmed();
  fonts_.insert_or_assign(entryNumber_, std::move(*entry_));
  entry_.reset();
}

const RtfFont* RtfFontTable::find(int number) const {
  const auto found = fonts_.find(number);
  return found == fonts_.end() ? nullptr : &found->second;
}

void RtfColourTable::addText(std::string_view text) {
  for (const char c : text) {
    if (c != ';') continue;
    if (given_) {
      const auto component = [](int value) { return static_cast<RichColour>(std::clamp(value, 0, 255)); };
      colours_.emplace_back(component(red_) << 16 | component(green_) << 8 | component(blue_));
    } else {
      colours_.emplace_back(std::nullopt);
    }
    red_ = green_ = blue_ = 0;
    given_ = false;
  }
}

std::optional<RichColour> RtfColourTable::find(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= colours_.size()) return std::nullopt;
  return colours_[static_cast<std::size_t>(index)];
}

void RtfListTable::beginLevel() {
  if (lists_.empty()) return;
  lists_.back().levels.push_back(RichListKind::Decimal);
}

void RtfListTable::setLevelFormat(int numberFormat) {
  if (lists_.empty() || lists_.back().levels.empty()) return;
  lists_.back().levels.back() = ListKindOfNumberFormat(numberFormat);
}

void RtfListTable::setListId(int id, bool inOverrideTable) {
  if (inOverrideTable) {
    if (!overrides_.empty()) overrides_.back().listId = id;
  } else if (!lists_.empty()) {
    lists_.back().id = id;
  }
}

void RtfListTable::setOverrideNumber(int number) {
  if (!overrides_.empty()) overrides_.back().number = number;
}

std::optional<RichListKind> RtfListTable::kindOf(int overrideNumber, int level) const {
  const auto override = std::find_if(overrides_.begin(), overrides_.end(),
                                     [&](const Override& o) { return o.number == overrideNumber; });
  if (override == overrides_.end()) return std::nullopt;
  const auto list = std::find_if(lists_.begin(), lists_.end(),
                                 [&](const List& l) { return l.id == override->listId; });
  if (list == lists_.end() || level < 0 || static_cast<std::size_t>(level) >= list->levels.size()) {
    return std::nullopt;
  }
  return list->levels[static_cast<std::size_t>(level)];
}

RichListKind ListKindOfNumberFormat(int numberFormat) {
  switch (numberFormat) {
    case 1: return RichListKind::UpperRoman;
    case 2: return RichListKind::LowerRoman;
    case 3: return RichListKind::UpperAlpha;
    case 4: return RichListKind::LowerAlpha;
    case 23: return RichListKind::Bullet;
    case 255: return RichListKind::None;  // a level that shows no number
    default: return RichListKind::Decimal;
  }
}

}  // namespace tarvo
