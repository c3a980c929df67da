#pragma once

// Moving a send through the shared folder: the outbox of this data folder is copied into a
// colleague's inbox, and emptied after each send.
//
// Every file appears in an inbox complete or not at all: it is copied under a temporary name
// that no receiver lists, forced to disk and then renamed. The page files go first and the send
// file last, so a receiver that sees the send file finds its pages beside it.

#include <string>

#include "base/result.h"

namespace tarvo {

inline constexpr const char* kPartialSuffix = ".partial";

// The recipient's inbox in the shared folder; made when missing. Every file of `outbox` is
// copied into it, replacing files of the same name. The first failure stops the delivery.
Result DeliverOutbox(const std::string& outbox, const std::string& sharedFolder, const std::string& recipient);

// Deletes every file in the outbox; reports the first that could not be deleted.
Result ClearOutbox(const std::string& outbox);

// Removes temporary copies that a sender left in `inbox` when it stopped in the middle of a
// copy, once they are older than `maxAgeSeconds`. The number removed.
int RemoveStalePartials(const std::string& inbox, long long maxAgeSeconds);

}  // namespace tarvo
