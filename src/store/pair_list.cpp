#include "store/pair_list.h"

namespace tarvo {

std::size_t PairList::find(std::string_view wanted) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (key(i) == wanted) return i;
  }
  return npos;
}

std::string_view PairList::valueOf(std::string_view wanted, std::string_view fallback) const {
  const std::size_t index = find(wanted);
  return index == npos ? fallback : value(index);
}

void PairList::add(std::string_view key, std::string_view value) {
  entries_.push_back({text_.size(), static_cast<std::uint32_t>(key.size()),
                      static_cast<std::uint32_t>(value.size())});
  text_.insert(text_.end(), key.begin(), key.end());
  text_.insert(text_.end(), value.begin(), value.end());
}

void PairList::clear() {
  text_.clear();
  entries_.clear();
}

void PairList::reserve(std::size_t pairs, std::size_t textBytes) {
  entries_.reserve(pairs);
  text_.reserve(textBytes);
}

}  // namespace tarvo
