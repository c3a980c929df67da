#pragma once

// A mapped file that is cut short while mapped (a log emptied in place by its rotation) makes
// the system stop the program with a bus error as soon as a page past the new end is read:
// the viewer would take the whole program, and every unsaved edit, down with it. Mappings
// registered here are guarded instead: each page read past the end is replaced by zero bytes,
// the read goes on, and the mapping is marked so that its owner reads the file again.
//
// A bus error anywhere else goes on to the handler that was there before, or stops the
// program as it always would.

#include <cstddef>

namespace tarvo {

class CutShortGuard {
 public:
  // Guards [begin, begin + size) until the guard is destroyed; with no free slot (more than
  // sixty-four files mapped at once) the range is simply not guarded.
  CutShortGuard(const char* begin, std::size_t size);
  ~CutShortGuard();
  CutShortGuard(const CutShortGuard&) = delete;
  CutShortGuard& operator=(const CutShortGuard&) = delete;

  // Whether a read past the file's end was answered with zero bytes.
  [[nodiscard]] bool cutShort() const;

 private:
  int slot_ = -1;
};

}  // namespace tarvo
