#pragma once

// Starting other programs, opening documents with the desktop's chosen program, the system
// version, and the request of the command channel's "run" command.
//
// Programs without windows of their own cannot be shown minimized or hidden here; the show
// mode is recorded in the request and passed on, not applied.

#include <string>

#include "base/result.h"

namespace tarvo {

enum ShowMode : int { kShowHidden = 0, kShowNormal = 1, kShowMinimized = 2 };
enum ProcessFlags : unsigned { kNoProcessFlags = 0, kIdlePriority = 1 };

struct RunRequest {
  std::string program;
  std::string parameters;
  std::string showWord;
  std::string control;
  std::string extra1;
  std::string extra2;
  std::string numberText;
  int number = 0;
  int showMode = kShowNormal;
  std::string commandLine;  // "program" "parameters"
};

// Starts the command line (program and arguments split as a shell would, quotes grouping).
// With `wait`, waits up to `timeoutMs` for it to end; a failure when it could not start or did
// not end in time (it is then stopped).
Result RunProgram(const std::string& commandLine, bool wait, int timeoutMs, unsigned flags,
                  int showMode);
// Opens a file or address with the desktop's program for it (xdg-open); a failure says why:
// no opener installed, or the opener found no program for it.
Result OpenWithShell(const std::string& pathOrAddress);
// The kernel's version as "major.minor".
std::string OsVersionText();
RunRequest ParseRunRequest(const std::string& value);
// Starts what a "run" request names: true when it started, false when the request is
// "controlled" (such requests are not for this program to start).
ResultOf<bool> StartRunRequest(const RunRequest& request);

}  // namespace tarvo
