#pragma once

// A fresh temporary folder per test, with helpers to put and read exact bytes.

#include <QTemporaryDir>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::test {

// Reads a whole file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);

class TempFolder {
 public:
  TempFolder();

  // The folder's path, without a trailing delimiter.
  [[nodiscard]] const std::string& path() const { return path_; }
  // The path of `name` inside the folder.
  [[nodiscard]] std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

  void put(std::string_view name, std::string_view bytes) const { WriteBytes(file(name), bytes); }
  [[nodiscard]] std::string read(std::string_view name) const { return ReadBytes(file(name)); }
  [[nodiscard]] bool has(std::string_view name) const;
  // The names in the folder, sorted.
  [[nodiscard]] std::vector<std::string> names() const;

 private:
  QTemporaryDir dir_;
  std::string path_;
};

}  // namespace tarvo::test
