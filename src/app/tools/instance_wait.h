#pragma once

// Waiting for the program to end: its running instance holds the instance marker, so the
// wait is over when the marker can be taken (and it is let go again at once).

#include <string>

#include "base/result.h"

namespace tarvo {

// The folder the program falls back to for its channels: <HOMEDRIVE or HOME>/$Tarvo/.run.
void UseProgramChannelFallback();
// True when no instance runs (any more) within `seconds`; false when one still runs.
ResultOf<bool> WaitUntilNoInstance(int seconds);
// Starts the command line on its own; a command line that is one existing program's path
// (spaces and all) is started as that program.
Result StartCommandLine(const std::string& commandLine);

}  // namespace tarvo
