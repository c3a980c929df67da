// tesvik: waits until the program has ended, then starts a command line. An update's
// installation script runs it before the setup program (so the setup never replaces a
// program in use) and after it (to start the program again).
//
//   tesvik [/d=SECONDS] [/E='COMMAND LINE']
//
// Exit status: 0 when done (also when the program still ran after SECONDS: the setup goes
// on regardless), 1 when the command line could not be started, 2 for bad arguments.

#include <QCoreApplication>
#include <cstdio>

#include "app/tools/helper_arguments.h"
#include "app/tools/instance_wait.h"

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const tarvo::ResultOf<tarvo::WaitRequest> request = tarvo::ParseWaitArguments(arguments);
  if (!request) {
    std::fprintf(stderr, "tesvik: %s\nusage: tesvik [/d=SECONDS] [/E='COMMAND LINE']\n", request.reason().c_str());
    return 2;
  }
  tarvo::UseProgramChannelFallback();
  if (request->waitSeconds > 0) {
    const tarvo::ResultOf<bool> ended = tarvo::WaitUntilNoInstance(request->waitSeconds);
    if (!ended) std::fprintf(stderr, "tesvik: cannot tell whether the program runs: %s\n", ended.reason().c_str());
    else if (!*ended) std::fprintf(stderr, "tesvik: the program still runs after %d s; going on\n", request->waitSeconds);
  }
  if (request->commandLine.empty()) return 0;
  if (tarvo::Result started = tarvo::StartCommandLine(request->commandLine); !started) {
    std::fprintf(stderr, "tesvik: %s\n", started.reason().c_str());
    return 1;
  }
  return 0;
}
