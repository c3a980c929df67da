#pragma once

// The number a list paragraph shows ("3.", "c.", "iv."), counted as readers count: each level
// counts its own items, a shallower item restarts the deeper levels, a change of kind starts a
// new list at that level, and a paragraph outside any list ends the list.

#include <QString>
#include <array>

#include "content/rich_text_document.h"

namespace tarvo {

class ListCounters {
 public:
  // The text shown before the next paragraph, which has this kind and level.
  QString next(RichListKind kind, int level);

 private:
  std::array<int, kRichMaxListLevel + 1> counts_{};
  std::array<RichListKind, kRichMaxListLevel + 1> kinds_{};
};

// `number` (from 1) written in a list kind: "3", "c", "IV"; a bullet for Bullet.
QString ListNumberText(RichListKind kind, int number);

}  // namespace tarvo
