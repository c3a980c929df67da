#pragma once

// The script that installs a downloaded setup program unattended ("install.sh", run by
// /bin/sh): it says what it updates, lets the helper wait until this program has ended, runs
// the setup silently with its log in the data folder, and has the helper start the program
// again.
//
// Folders end with the path delimiter. Every text that comes from a file (a path, an
// application's name) is escaped for the shell, so that it reaches the program as the same
// word: a data folder is always named "$Tarvo", which the shell would otherwise expand.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

inline constexpr std::string_view kWaitHelperName = "tesvik";
inline constexpr std::string_view kLauncherName = "lanvire";

struct InstallScriptParts {
  std::string application;
  std::string programFolder;  // where the helper programs are
  std::string setupPath;
  std::string dataFolder;
  std::string restartCommand;  // what starts this program again
};

// The command line that starts this program again after an update: the launcher with its
// command list when this program is the launcher, otherwise the program itself.
std::string RestartCommand(const std::string& programFolder, std::string_view executableName,
                           const std::string& executablePath);
// The four lines of the script.
std::vector<std::string> InstallScriptLines(const InstallScriptParts& parts);

// `text` for the inside of a double-quoted shell word: $ ` \ and " escaped.
std::string InsideDoubleQuotes(std::string_view text);
// `text` as bare shell words: every character that the shell would treat specially escaped.
std::string EscapedWords(std::string_view text);

}  // namespace tarvo
