#pragma once

// The command lines of the two helper programs that an update's installation script runs:
//
//   tesvik [/d=SECONDS] [/E='COMMAND LINE']
//     waits until no instance of the program runs any more (at most SECONDS; none: no wait),
//     then starts the command line, if one is given, and ends.
//   lanvire commandlist=FILE
//     starts every command line of FILE (one a line; empty lines and lines beginning with
//     "#" or ";" are skipped). A FILE without a folder is looked for beside the launcher,
//     then in the data folder.
//
// Switches are read without regard to case, as the installers that write them do.

#include <string>
#include <vector>

#include "base/result.h"

namespace tarvo {

struct WaitRequest {
  int waitSeconds = 0;
  std::string commandLine;  // empty: nothing to start
};

ResultOf<WaitRequest> ParseWaitArguments(const std::vector<std::string>& arguments);
// The FILE of "commandlist=FILE".
ResultOf<std::string> ParseLauncherArguments(const std::vector<std::string>& arguments);
// The command lines of a command list's text.
std::vector<std::string> CommandLinesOf(const std::string& text);

}  // namespace tarvo
