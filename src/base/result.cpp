#include "base/result.h"

#include <cstring>

namespace tarvo {

Result Result::FromErrno(const std::string& what, const std::string& path, int errorNumber) {
  return Failure(what + " " + path + ": " + SystemErrorText(errorNumber));
}

Result& Result::addNote(const std::string& note) {
  if (note.empty() || failed_) return *this;
  reason_ = reason_.empty() ? note : reason_ + "; " + note;
  return *this;
}

std::string SystemErrorText(int errorNumber) {
  char buffer[256] = {};
  // The GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = ::strerror_r(errorNumber, buffer, sizeof buffer);
  return text != nullptr ? std::string(text) : std::string(buffer);
}

}  // namespace tarvo
