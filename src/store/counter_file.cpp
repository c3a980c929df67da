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

ResultOf<int> NextCounter(const std::string& path) {
  FileSystem& files = fileSystem();
  if (!files.exists(path)) {
    if (Result written = WriteCounter(path, 1); !written) return written;
    return 1;
  }
  ResultOf<FileHandle> file = files.open(path, OpenIntent::ReadWriteCreate);
  if (!file) return file.status();
  char digits[kDigits];
  const ResultOf<std::size_t> got = files.readAt(*file, 0, digits, kDigits);
  if (!got) return got.status();
  const int current = ParseCounter(std::string_view(digits, *got));
  const int next = current == kNotANumber || current == 0x7fffffff || current < 0 ? -1 : current + 1;
  const std::string text = Formatted(next);
  Result written = files.writeAt(*file, 0, text.data(), text.size());
  if (written) written = files.flush(*file);
  if (!written) return written;
  if (next < 0) {
    return Result::Failure("the counter file " + path + " holds no usable number (\"" +
                           std::string(digits, *got) + "\")");
  }
  return next;
}

Result WriteCounter(const std::string& path, int value) {
  FileSystem& files = fileSystem();
  ResultOf<FileHandle> file = files.open(path, OpenIntent::CreateEmpty);
  if (!file) return file.status();
  const std::string text = Formatted(value);
  Result written = files.write(*file, text.data(), text.size());
  if (written) written = files.flush(*file);
  return written;
}

}  // namespace tarvo
