#pragma once

// The names topics and files carry between colleagues, and the check every name taken from a
// shared folder must pass.
//
// A shared folder is written by several people at once and by anyone who can reach it, so a
// name read from it (a user file, a file in an inbox, a page file named inside a pages file or
// a pack) is used only when it names an entry directly inside its own folder: no path
// delimiter, no "." or "..", no control character, nothing empty.

#include <string>
#include <string_view>

namespace tarvo {

// True when `name` can only ever mean an entry directly inside the folder it is joined to.
[[nodiscard]] bool IsSafeEntryName(std::string_view name);

// A user's inbox in the shared folder: the lower-case user name + "-Inbox".
std::string InboxFolderName(std::string_view userName);
// "ann-" for Ann: the start of every exchange id of her own topics.
std::string ExchangePrefix(std::string_view userName);

// The id a topic travels under: a local id (no "-") gets the sender's prefix, an id that
// already came from a colleague travels as it is.
std::string ExchangeId(std::string_view uni, std::string_view senderName);
// The id a received topic takes here: the receiver's own topics come back under their local
// id, every other id stays as it is.
std::string LocalIdOf(std::string_view exchangeId, std::string_view ownName);

// The send file's name: lower-case sender + "-" + stamp + ".str".
std::string SendFileName(std::string_view senderName, std::string_view shortStamp);

// Lower case of plain ASCII letters; other bytes (UTF-8 included) are kept as they are, so
// that every instance derives the same folder names from the same user name.
std::string LowerAscii(std::string_view text);

}  // namespace tarvo
