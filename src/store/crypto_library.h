#pragma once

// The optional encryption library of the maker, bound at start-up when it is installed.
// Absent is normal: nothing in the program depends on it, and none of its entry points is
// called; they are looked up so that a later feature can use them.

#include <QDateTime>
#include <QLibrary>
#include <QString>
#include <array>

namespace tarvo {

inline constexpr std::array<const char*, 8> kCryptoEntryPoints = {
    "EncryptFile",   "DecryptFile",   "EncryptString", "DecryptString",
    "OpenCrypt",     "EncryptBuffer", "DecryptBuffer", "CloseCrypt",
};

class CryptoLibrary {
 public:
  // Binds the library found at `location` (a name searched on the library path, or a path).
  explicit CryptoLibrary(const QString& location = "ZelCrypt");
  ~CryptoLibrary();
  CryptoLibrary(const CryptoLibrary&) = delete;
  CryptoLibrary& operator=(const CryptoLibrary&) = delete;

  [[nodiscard]] bool loaded() const { return loaded_; }
  // The address of an entry point, or null when the library does not export it.
  [[nodiscard]] QFunctionPointer entryPoint(std::size_t index) const { return entryPoints_[index]; }

  QDateTime timestamp;
  QString text;

 private:
  bool LoadCryptoLibrary(const QString& location);
  void FreeCryptoLibrary();

  QLibrary library_;
  bool loaded_ = false;
  std::array<QFunctionPointer, kCryptoEntryPoints.size()> entryPoints_{};
};

}  // namespace tarvo
