#include "store/crypto_library.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(CryptoLibrary, AbsentIsNormalAndAnyExportsCount) {
  const CryptoLibrary none("/no/such/folder/libZelCrypt.so");
  EXPECT_FALSE(none.loaded());
  const CryptoLibrary searched;  // nothing of that name is installed here
  EXPECT_FALSE(searched.loaded());

  const CryptoLibrary partial(TARVO_TEST_PARTIAL_CRYPTO);
  ASSERT_TRUE(partial.loaded());
  EXPECT_NE(partial.entryPoint(0), nullptr) << "EncryptFile";
  EXPECT_EQ(partial.entryPoint(1), nullptr) << "DecryptFile is not exported";
  EXPECT_NE(partial.entryPoint(7), nullptr) << "CloseCrypt";

  const CryptoLibrary empty(TARVO_TEST_EMPTY_CRYPTO);
  EXPECT_TRUE(empty.loaded()) << "a library without any of the names still counts";
  for (std::size_t i = 0; i < kCryptoEntryPoints.size(); ++i) EXPECT_EQ(empty.entryPoint(i), nullptr);
}

}  // namespace
}  // namespace tarvo
