#include "monitor/install_script.h"

namespace tarvo {

std::string RestartCommand(const std::string& programFolder, std::string_view executableName,
                           const std::string& executablePath) {
  if (executableName == kLauncherName) {
    return programFolder + std::string(kLauncherName) + " commandlist=startauto.dat";
  }
  return executablePath;
}

std::string InsideDoubleQuotes(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '$' || c == '`' || c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string EscapedWords(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == ' ' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',' ||
                       c == '/' || c == ':' || c == '=' || c == '@' || c == '%' ||
                       static_cast<unsigned char>(c) >= 0x80;
    if (c == '\n' || c == '\r') {
      escaped += ' ';  // a line break would end the script's line
      continue;
    }
    if (!plain) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::vector<std::string> InstallScriptLines(const InstallScriptParts& parts) {
  const std::string helper = InsideDoubleQuotes(parts.programFolder + std::string(kWaitHelperName));
  return {
      "echo Updating " + EscapedWords(parts.application),
      "\"" + helper + "\" /d=20",
      "\"" + InsideDoubleQuotes(parts.setupPath) + "\" /w /s /v/qn /v\"/lx " +
          InsideDoubleQuotes(parts.dataFolder) + "InstallLog.txt\"",
      "\"" + helper + "\" \"/E='" + InsideDoubleQuotes(parts.restartCommand) + "'\"",
  };
}

}  // namespace tarvo
