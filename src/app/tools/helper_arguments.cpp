#include "app/tools/helper_arguments.h"

#include "base/date_text.h"
#include "store/line_split.h"

namespace tarvo {
namespace {

constexpr int kMaxWaitSeconds = 3600;

bool StartsWithFolded(const std::string& text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The text between a pair of single quotes around it, or the text itself.
std::string Unquoted(std::string text) {
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

ResultOf<WaitRequest> ParseWaitArguments(const std::vector<std::string>& arguments) {
  WaitRequest request;
  for (const std::string& argument : arguments) {
    if (StartsWithFolded(argument, "/d=")) {
      const std::optional<int> seconds = ParseDecimal(argument.substr(3));
      if (!seconds || *seconds < 0 || *seconds > kMaxWaitSeconds) {
        return Result::Failure("not a number of seconds from 0 to 3600: " + argument);
      }
      request.waitSeconds = *seconds;
    } else if (StartsWithFolded(argument, "/e=")) {
      request.commandLine = Unquoted(argument.substr(3));
    } else {
      return Result::Failure("unknown argument: " + argument);
    }
  }
  return request;
}

ResultOf<std::string> ParseLauncherArguments(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (StartsWithFolded(argument, "commandlist=") && argument.size() > 12) return argument.substr(12);
  }
  return Result::Failure("no commandlist=FILE among the arguments");
}

std::vector<std::string> CommandLinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = TrimBlanks(std::string_view(text).substr(start, end - start));
    if (!line.empty() && line.front() != '#' && line.front() != ';') lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace tarvo
