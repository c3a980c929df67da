#pragma once

// What the user typed in the search box, as the terms a text must hold: each word, and each
// quoted phrase as one term (a quote left open while typing runs to the end). Every term is
// folded (see text_fold.h); a text matches when it holds every term, in any order.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct SearchQuery {
  std::vector<std::string> terms;  // folded, none empty

  [[nodiscard]] bool empty() const { return terms.empty(); }
};

SearchQuery ParseSearchQuery(std::string_view typedUtf8);

}  // namespace tarvo
