#include "content/rtf_list_text.h"

#include <algorithm>

namespace tarvo {

namespace {

QString Letters(int number, char16_t first) {
  QString letters;
  for (int n = number; n > 0; n = (n - 1) / 26) {
    letters.prepend(QChar(static_cast<char16_t>(first + (n - 1) % 26)));
  }
  return letters;
}

QString Roman(int number) {
  static constexpr std::pair<int, const char*> kDigits[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
  QString roman;
  int rest = std::min(number, 3999);
  for (const auto& [value, digits] : kDigits) {
    for (; rest >= value; rest -= value) roman += QLatin1StringView(digits);
  }
  return roman;
}

}  // namespace

QString ListNumberText(RichListKind kind, int number) {
  switch (kind) {
    case RichListKind::None: return {};
    case RichListKind::Bullet: return QStringLiteral("\u2022");
    case RichListKind::Decimal: return QString::number(number);
    case RichListKind::LowerAlpha: return Letters(number, u'a');
    case RichListKind::UpperAlpha: return Letters(number, u'A');
    case RichListKind::LowerRoman: return Roman(number);
    case RichListKind::UpperRoman: return Roman(number).toUpper();
  }
  return {};
}

QString ListCounters::next(RichListKind kind, int level) {
  if (kind == RichListKind::None) {
    counts_.fill(0);
    return {};
  }
  const auto at = static_cast<std::size_t>(std::clamp(level, 0, kRichMaxListLevel));
  std::fill(counts_.begin() + static_cast<std::ptrdiff_t>(at) + 1, counts_.end(), 0);
  if (kinds_[at] != kind) counts_[at] = 0;
  kinds_[at] = kind;
  const int number = ++counts_[at];
  return kind == RichListKind::Bullet ? ListNumberText(kind, number)
                                      : ListNumberText(kind, number) + u'.';
}

}  // namespace tarvo
