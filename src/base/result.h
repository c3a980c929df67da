#pragma once

// The outcome of an operation that can fail: success, or the reason for the failure in words a
// person can act on ("cannot write /home/ann/$Tarvo/pref.txt: No space left on device").
//
// Both types are [[nodiscard]]: a caller either handles the failure (logs its "*** " line with
// the reason and keeps the data) or passes it on. A success may carry a note: something went
// wrong on the side that did not stop the operation (a backup copy that could not be made), and
// the caller logs it too.

#include <optional>
#include <string>
#include <utility>

namespace tarvo {

class [[nodiscard]] Result {
 public:
  Result() = default;

  static Result Failure(std::string reason) {
    Result result;
    result.failed_ = true;
    result.reason_ = reason.empty() ? std::string("unknown reason") : std::move(reason);
    return result;
  }
  // A failure from an operating-system error number: "<what> <path>: <system's words>".
  static Result FromErrno(const std::string& what, const std::string& path, int errorNumber);
  // Success with a note for the log.
  static Result Noted(std::string note) {
    Result result;
    result.reason_ = std::move(note);
    return result;
  }

  [[nodiscard]] bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  // Why it failed; empty on success.
  [[nodiscard]] const std::string& reason() const { return failed_ ? reason_ : empty(); }
  // What went wrong on the side of a success; empty when nothing did.
  [[nodiscard]] const std::string& note() const { return failed_ ? empty() : reason_; }
  // Adds this result's note (or reason) to another success's notes.
  Result& addNote(const std::string& note);

 private:
  static const std::string& empty() {
    static const std::string none;
    return none;
  }

  bool failed_ = false;
  std::string reason_;
};

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] ResultOf {
 public:
  ResultOf(T value) : value_(std::move(value)) {}  // NOLINT: a value converts implicitly
  ResultOf(Result failure) : failure_(std::move(failure)) {}  // NOLINT: so does a failure
  // A value with a note for the log.
  static ResultOf Noted(T value, std::string note) {
    ResultOf result(std::move(value));
    result.failure_ = Result::Noted(std::move(note));
    return result;
  }

  [[nodiscard]] bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  [[nodiscard]] T& value() { return *value_; }
  [[nodiscard]] const T& value() const { return *value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  [[nodiscard]] const std::string& reason() const { return failure_.reason(); }
  [[nodiscard]] const std::string& note() const { return failure_.note(); }
  // Comparing a result with a value would hide the failure case: compare value() instead.
  template <typename U>
  bool operator==(const U&) const = delete;

  // The failure as a plain result (success when there is a value).
  [[nodiscard]] Result status() const { return failure_; }

 private:
  std::optional<T> value_;
  Result failure_;
};

// The operating system's words for an error number.
std::string SystemErrorText(int errorNumber);

}  // namespace tarvo
