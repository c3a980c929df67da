#pragma once

// Test shorthand: the data file an open gave, or null when it failed.

#include "store/data_file.h"

namespace tarvo::test {

inline DataFilePtr OrNull(ResultOf<DataFilePtr> opened) {
  return opened ? std::move(*opened) : DataFilePtr();
}

}  // namespace tarvo::test
