#include "viewer/doubled_quotes.h"

namespace tarvo {

std::string Undoubled(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    text.push_back(field[i]);
    if (field[i] == '"' && i + 1 < field.size() && field[i + 1] == '"') ++i;
  }
  return text;
}

std::string Doubled(std::string_view text) {
  std::string field;
  field.reserve(text.size() + 2);
  for (const char c : text) {
    field.push_back(c);
    if (c == '"') field.push_back('"');
  }
  return field;
}

}  // namespace tarvo
