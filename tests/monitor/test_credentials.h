#pragma once

// Keys and certificates made afresh by each test: an Ed25519 release key pair to sign setup
// programs with, and a self-signed certificate for the HTTPS test server.

#include <QSslCertificate>
#include <QSslKey>
#include <string>

#include "monitor/setup_signature.h"

namespace tarvo::test {

class SigningKey {
 public:
  SigningKey();
  ~SigningKey();
  SigningKey(const SigningKey&) = delete;
  SigningKey& operator=(const SigningKey&) = delete;

  [[nodiscard]] PublicKey publicKey() const;
  // Base64 of the signature over the SHA-256 digest of `bytes`, as an update list carries it.
  [[nodiscard]] std::string signatureOf(const std::string& bytes) const;

 private:
  void* key_;  // EVP_PKEY
};

struct TlsIdentity {
  QSslCertificate certificate;
  QSslKey key;
};
// A certificate for 127.0.0.1, made with the openssl program in `folder`.
TlsIdentity MakeSelfSignedIdentity(const std::string& folder);

}  // namespace tarvo::test
