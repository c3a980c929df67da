#include "store/crypto_library.h"

namespace tarvo {

CryptoLibrary::CryptoLibrary(const QString& location) { loaded_ = LoadCryptoLibrary(location); }

CryptoLibrary::~CryptoLibrary() {
  if (loaded_) FreeCryptoLibrary();
}

bool CryptoLibrary::LoadCryptoLibrary(const QString& location) {
  library_.setFileName(location);
  if (!library_.load()) return false;
  for (std::size_t i = 0; i < kCryptoEntryPoints.size(); ++i) {
    entryPoints_[i] = library_.resolve(kCryptoEntryPoints[i]);
  }
  return true;
}

void CryptoLibrary::FreeCryptoLibrary() {
  entryPoints_.fill(nullptr);
  library_.unload();
  loaded_ = false;
}

}  // namespace tarvo
