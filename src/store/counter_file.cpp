#include "store/counter_file.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "store/file_system.h"

namespace tarvo {
namespace {

constexpr int kNotANumber = -2;
constexpr std::size_t kDigits = 8;

std::string Formatted(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08d", value);
  return text;
}

int ParseCounter(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return kNotANumber;
  return value;
}

}  // namespace

int NextCounter(const std::string& path) {
  FileSystem& files = fileSystem();
  if (!files.exists(path)) return WriteCounter(path, 1);
  FileHandle file = files.open(path, OpenIntent::ReadWriteCreate);
  if (!file.isOpen()) return -1;
  char digits[kDigits];
  const auto got = files.readAt(file, 0, digits, kDigits);
  if (got < 0) return -1;
  const int current = ParseCounter(std::string_view(digits, static_cast<std::size_t>(got)));
  const int next = current == kNotANumber || current == 0x7fffffff ? -1 : current + 1;
  const std::string text = Formatted(next);
  if (!files.writeAt(file, 0, text.data(), text.size()) || !files.flush(file)) return -1;
  return next;
}

int WriteCounter(const std::string& path, int value) {
  FileSystem& files = fileSystem();
  FileHandle file = files.open(path, OpenIntent::CreateEmpty);
  if (!file.isOpen()) return -1;
  const std::string text = Formatted(value);
  if (!files.write(file, text.data(), text.size()) || !files.flush(file)) return -1;
  return value;
}

}  // namespace tarvo
