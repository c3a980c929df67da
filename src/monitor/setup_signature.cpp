#include "monitor/setup_signature.h"

#include <openssl/evp.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <memory>

namespace tarvo {
namespace {

constexpr std::size_t kSignatureBytes = 64;

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

// The public half of the release key; the private half stays with whoever builds releases.
const PublicKey& ReleasePublicKey() {
  static const PublicKey key = {
      0x58, 0x0f, 0x6e, 0xb5, 0xd2, 0xd0, 0x40, 0xbd, 0xae, 0xc3, 0x75, 0x20, 0x01, 0x1d, 0xf2, 0x2b,
      0x53, 0xb6, 0x86, 0xa8, 0xc9, 0xb3, 0x14, 0x3d, 0x37, 0x1a, 0x02, 0xfb, 0x41, 0x49, 0xdd, 0x24,
  };
  return key;
}

ResultOf<std::string> FileDigest(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    return Result::Failure("cannot read " + path + ": " + file.errorString().toStdString());
  }
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&file)) return Result::Failure("cannot read " + path);
  const QByteArray digest = hash.result();
  return std::string(digest.constData(), static_cast<std::size_t>(digest.size()));
}

Result VerifySetupSignature(const std::string& path, const std::string& signatureBase64,
                            const PublicKey& key) {
  const QByteArray signature = QByteArray::fromBase64(
      QByteArray::fromStdString(signatureBase64), QByteArray::AbortOnBase64DecodingErrors);
  if (static_cast<std::size_t>(signature.size()) != kSignatureBytes) {
    return Result::Failure("the signature is not a 64-byte Ed25519 signature in base64");
  }
  ResultOf<std::string> digest = FileDigest(path);
  if (!digest) return digest.status();
  std::unique_ptr<EVP_PKEY, KeyFree> publicKey(
      EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!publicKey || !context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) != 1) {
    return Result::Failure("the signature cannot be checked: the key is not usable");
  }
  const auto* signatureBytes = reinterpret_cast<const unsigned char*>(signature.constData());
  const auto* message = reinterpret_cast<const unsigned char*>(digest->data());
  if (EVP_DigestVerify(context.get(), signatureBytes, kSignatureBytes, message, digest->size()) != 1) {
    return Result::Failure("the signature does not match the setup program");
  }
  return {};
}

}  // namespace tarvo
