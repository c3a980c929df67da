#pragma once

// Signed setup programs: an update list may carry the Ed25519 signature of the setup
// program's SHA-256 digest, made with the supplier's release key. The program checks it
// against the public half built into it, so a setup program changed on the server or on the
// way is never run.
//
// Pure functions; safe from any thread.

#include <array>
#include <cstdint>
#include <string>

#include "base/result.h"

namespace tarvo {

using PublicKey = std::array<std::uint8_t, 32>;

// The release key's public half built into the program.
const PublicKey& ReleasePublicKey();

// The SHA-256 digest of the file's bytes, or why the file cannot be read.
ResultOf<std::string> FileDigest(const std::string& path);
// Success when `signatureBase64` is the key's signature over the file's digest.
Result VerifySetupSignature(const std::string& path, const std::string& signatureBase64,
                            const PublicKey& key);

}  // namespace tarvo
