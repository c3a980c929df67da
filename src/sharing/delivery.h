#pragma once

// Moving a send through the shared folder: the outbox of this data folder is copied into a
// colleague's inbox, and emptied after each send.
//
// Every file appears in an inbox complete or not at all: it is copied under a temporary name
// that no receiver lists ("<name>.<sender>.partial"), forced to disk and then renamed. The page
// files go first and the send file last, so a receiver that sees the send file finds its pages
// beside it. A send file waiting in an inbox is never replaced by another of the same name
// (two sends within one second): the later one gets a number.

#include <string>

#include "base/result.h"

namespace tarvo {

inline constexpr const char* kPartialSuffix = ".partial";

// The recipient's inbox in the shared folder; made when missing. Every file of `outbox` is
// copied into it, page files replacing files of the same name. The first failure stops.
Result DeliverOutbox(const std::string& outbox, const std::string& sharedFolder, const std::string& recipient,
                     const std::string& sender);

// Deletes every file in the outbox; reports the first that could not be deleted.
Result ClearOutbox(const std::string& outbox);

// Removes the temporary copies `sender` left in the colleague's inbox when it stopped in the
// middle of a delivery (the program was ended). The number removed.
int RemoveOwnPartials(const std::string& sharedFolder, const std::string& recipient, const std::string& sender);

// Removes temporary copies anyone left in `inbox` longer than `maxAgeSeconds` ago.
int RemoveStalePartials(const std::string& inbox, long long maxAgeSeconds);

}  // namespace tarvo
