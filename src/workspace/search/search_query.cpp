#include "workspace/search/search_query.h"

#include "workspace/search/text_fold.h"

namespace tarvo {

namespace {

void AddTerm(SearchQuery& query, std::string_view raw) {
  std::string folded = FoldForSearch(raw);
  const std::size_t first = folded.find_first_not_of(' ');
  if (first == std::string::npos) return;
  const std::size_t last = folded.find_last_not_of(' ');
  query.terms.push_back(folded.substr(first, last - first + 1));
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

SearchQuery ParseSearchQuery(std::string_view typed) {
  SearchQuery query;
  std::size_t at = 0;
  while (at < typed.size()) {
    if (IsBlank(typed[at])) {
      ++at;
    } else if (typed[at] == '"') {
      const std::size_t close = typed.find('"', at + 1);
      const std::size_t end = close == std::string_view::npos ? typed.size() : close;
      AddTerm(query, typed.substr(at + 1, end - at - 1));
      at = end + 1;
    } else {
      std::size_t end = at;
      while (end < typed.size() && !IsBlank(typed[end]) && typed[end] != '"') ++end;
      AddTerm(query, typed.substr(at, end - at));
      at = end;
    }
  }
  return query;
}

}  // namespace tarvo
