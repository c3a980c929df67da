#include "monitor/test_credentials.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

namespace tarvo::test {

SigningKey::SigningKey() {
  EVP_PKEY* key = nullptr;
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr);
  EXPECT_TRUE(context != nullptr && EVP_PKEY_keygen_init(context) == 1 && EVP_PKEY_keygen(context, &key) == 1);
  EVP_PKEY_CTX_free(context);
  key_ = key;
}

SigningKey::~SigningKey() { EVP_PKEY_free(static_cast<EVP_PKEY*>(key_)); }

PublicKey SigningKey::publicKey() const {
  PublicKey raw{};
  std::size_t length = raw.size();
  EXPECT_EQ(EVP_PKEY_get_raw_public_key(static_cast<EVP_PKEY*>(key_), raw.data(), &length), 1);
  return raw;
}

std::string SigningKey::signatureOf(const std::string& bytes) const {
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256);
  unsigned char signature[64];
  std::size_t length = sizeof signature;
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  const bool signedOk =
      EVP_DigestSignInit(context, nullptr, nullptr, nullptr, static_cast<EVP_PKEY*>(key_)) == 1 &&
      EVP_DigestSign(context, signature, &length, reinterpret_cast<const unsigned char*>(digest.constData()),
                     static_cast<std::size_t>(digest.size())) == 1;
  EVP_MD_CTX_free(context);
  EXPECT_TRUE(signedOk);
  return QByteArray(reinterpret_cast<const char*>(signature), static_cast<qsizetype>(length)).toBase64().toStdString();
}

TlsIdentity MakeSelfSignedIdentity(const std::string& folder) {
  const QString certificatePath = QString::fromStdString(folder + "/server.crt");
  const QString keyPath = QString::fromStdString(folder + "/server.key");
  QProcess openssl;
  openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                            "-keyout", keyPath, "-out", certificatePath, "-days", "2", "-subj", "/CN=127.0.0.1",
                            "-addext", "subjectAltName=IP:127.0.0.1"});
  EXPECT_TRUE(openssl.waitForFinished(60000)) << "openssl did not finish";
  EXPECT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
  QFile certificate(certificatePath);
  QFile key(keyPath);
  EXPECT_TRUE(certificate.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
  return {QSslCertificate(certificate.readAll(), QSsl::Pem), QSslKey(key.readAll(), QSsl::Ec, QSsl::Pem)};
}

}  // namespace tarvo::test
