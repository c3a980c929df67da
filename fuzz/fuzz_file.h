#pragma once

// Puts a fuzz input into a real file, so the store is fuzzed through its real open path.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

inline const std::string& FuzzFilePath() {
  static const std::string path = "/tmp/tarvo-fuzz-" + std::to_string(getpid()) + ".dat";
  return path;
}

inline void PutFuzzFile(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(FuzzFilePath().c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}
