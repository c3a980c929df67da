#include "sharing/exchange_names.h"

namespace tarvo {

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.size() > 255) return false;
  for (unsigned char c : name) {
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
  }
  // ".." inside a name is harmless on its own, but a name such as "..x" or "a..b" is never one
  // this program makes: refusing it keeps the rule easy to state to whoever sent it.
  return name.find("..") == std::string_view::npos;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string InboxFolderName(std::string_view userName) { return LowerAscii(userName) + "-Inbox"; }

std::string ExchangePrefix(std::string_view userName) { return LowerAscii(userName) + "-"; }

std::string ExchangeId(std::string_view uni, std::string_view senderName) {
  if (uni.find('-') != std::string_view::npos) return std::string(uni);
  return ExchangePrefix(senderName) + std::string(uni);
}

std::string LocalIdOf(std::string_view exchangeId, std::string_view ownName) {
  const std::size_t dash = exchangeId.find('-');
  if (dash != std::string_view::npos && exchangeId.substr(0, dash) == LowerAscii(ownName)) {
    return std::string(exchangeId.substr(dash + 1));
  }
  return std::string(exchangeId);
}

std::string SendFileName(std::string_view senderName, std::string_view shortStamp) {
  return LowerAscii(senderName) + "-" + std::string(shortStamp) + ".str";
}

}  // namespace tarvo
