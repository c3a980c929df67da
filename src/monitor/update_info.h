#pragma once

// The update list a supplier publishes for an application (updatelist.txt): key=value lines,
// keys compared in lower case. The monitor uses the application, the offered version, the
// address of the setup program and, when present, the setup program's signature; the other
// keys are read and carried.

#include <string>

#include "base/result.h"
#include "store/pair_list.h"

namespace tarvo {

struct UpdateInfo {
  std::string application;
  std::string version;
  std::string date;
  std::string rollback;
  std::string earliestversion;
  std::string url;
  std::string silent;
  // Base64 of the Ed25519 signature over the setup program's SHA-256; empty when unsigned.
  std::string signature;
};

// The list of the pairs; a failure when none of them is a key of the list.
ResultOf<UpdateInfo> UpdateInfoFromPairs(const PairList& pairs);
// A failure when the file is missing, cannot be read or holds no key of the list.
ResultOf<UpdateInfo> ReadUpdateInfo(const std::string& path);

}  // namespace tarvo
