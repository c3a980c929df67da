#include "monitor/install_script.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>

namespace tarvo {
namespace {

// What /bin/sh prints for one line of the script.
std::string ShellOutput(const std::string& line) {
  QProcess shell;
  shell.start("/bin/sh", {"-c", QString::fromStdString(line)});
  EXPECT_TRUE(shell.waitForFinished(30000));
  return shell.readAllStandardOutput().toStdString();
}

TEST(InstallScript, WordsFromFilesReachTheShellAsTheyAre) {
  const std::vector<std::string> hostile = {"Widget", "Widget; touch /tmp/x", "Wid$(id)get `id`", "a \"b\" 'c' \\d", "x\ny"};
  for (const std::string& application : hostile) {
    const std::vector<std::string> lines =
        InstallScriptLines({application, "/opt/a$b/", "/d/$Tarvo/Download/Setup", "/d/$Tarvo/", "/usr/bin/tarvo"});
    std::string shown = application;
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    EXPECT_EQ(ShellOutput(lines[0]), "Updating " + shown + "\n") << lines[0];
    // Each double-quoted word comes back exactly.
    EXPECT_EQ(ShellOutput("printf '%s|' " + lines[2].substr(0, lines[2].find(" /w"))), "/d/$Tarvo/Download/Setup|");
    EXPECT_EQ(ShellOutput("printf '%s|' " + lines[3]), "/opt/a$b/tesvik|/E='/usr/bin/tarvo'|");
  }
}

TEST(InstallScript, TheLauncherRestartsWithItsCommandListAndAnyOtherProgramItself) {
  EXPECT_EQ(RestartCommand("/usr/bin/", "lanvire", "/usr/bin/lanvire"), "/usr/bin/lanvire commandlist=startauto.dat");
  EXPECT_EQ(RestartCommand("/usr/bin/", "tarvo", "/usr/bin/tarvo"), "/usr/bin/tarvo");
}

}  // namespace
}  // namespace tarvo
