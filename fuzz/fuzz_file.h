#pragma once

// Puts a fuzz input into a real file, so the store is fuzzed through its real open path.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

inline void PutBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

inline void PutText(const std::string& path, const std::string& text) {
  PutBytes(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

inline void PutFuzzFile(const std::uint8_t* data, std::size_t size) { PutBytes(FuzzFilePath(), data, size); }

// A folder of this process for targets that need several files, made on first use.
inline const std::string& FuzzFolder(const std::string& name) {
  static const std::string path = [&name] {
    std::string folder = "/tmp/tarvo-fuzz-" + name + "-" + std::to_string(getpid());
    if (std::system(("mkdir -p " + folder).c_str()) != 0) std::abort();
    return folder;
  }();
  return path;
}
