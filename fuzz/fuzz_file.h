#pragma once

// Puts a fuzz input into a real file, so the store is fuzzed through its real open path.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "store/data_file.h"

inline const std::string& FuzzFilePath() {
  static const std::string path = "/tmp/tarvo-fuzz-" + std::to_string(getpid()) + ".dat";
  return path;
}

// The data file an open gave, or null.
inline tarvo::DataFilePtr OrNull(tarvo::ResultOf<tarvo::DataFilePtr> opened) {
  return opened ? std::move(*opened) : tarvo::DataFilePtr();
}

inline void PutFuzzFile(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(FuzzFilePath().c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}
