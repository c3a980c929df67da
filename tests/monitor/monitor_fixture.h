#pragma once

// A data folder named as the program names it ("$Tarvo", which a shell would expand), an
// installation folder with a blank in its name, a runtime folder of the test's own for the
// channels, a real HTTP server on 127.0.0.1 and a monitor over all of it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QNetworkAccessManager>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "monitor/http_test_server.h"
#include "monitor/software_monitor.h"
#include "support/temp_folder.h"

namespace tarvo::test {

inline constexpr int kGenerous = 30000;  // bounds for waits, never expected to be reached

// A setup program: a shell script that records the words it was started with.
inline QByteArray RecordingSetup(const std::string& marker) {
  return QByteArray::fromStdString("#!/bin/sh\nfor word in \"$@\"; do printf '%s\\n' \"$word\"; done > '" + marker +
                                   "'\n");
}

class MonitorFixture : public ::testing::Test {
 protected:
  MonitorFixture() {
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    previousRuntime_ = previous != nullptr ? previous : "";
    chmod(runtime_.path().c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    data_ = root_.path() + "/$Tarvo/";
    install_ = root_.path() + "/Program Files/Widget/";
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(install_);
    restartMarker_ = root_.path() + "/restarted";
    restartProgram_ = root_.path() + "/restart-me";
    WriteBytes(restartProgram_, "#!/bin/sh\necho again > '" + restartMarker_ + "'\n");
    chmod(restartProgram_.c_str(), 0755);
    EXPECT_TRUE(server_.listen());
  }
  ~MonitorFixture() override { setenv("XDG_RUNTIME_DIR", previousRuntime_.c_str(), 1); }

  MonitorSettings settings() const {
    MonitorSettings settings;
    settings.dataFolder = data_;
    settings.programFolder = std::string(TARVO_TOOLS_DIR) + "/";
    settings.executablePath = restartProgram_;
    settings.executableName = "tarvo";
    settings.programTitle = "Tarvo-1";
    settings.defaultAddress = server_.base().toStdString() + "/";
    settings.download.timeoutMilliseconds = 2000;
    return settings;
  }

  // A record of an installed product that checks for updates at the server's list.
  SoftwareRecord product(const std::string& version) const {
    SoftwareRecord record;
    record.supplier = "Acme";
    record.product = "Widget";
    record.application = "Widget";
    record.version = version;
    record.installfolder = install_;
    record.autoupgrade = "Y";
    record.url = server_.address("/widget/updatelist.txt");
    record.checkperiod = "D";
    record.checknumber = "1";
    record.instance = "1";
    record.status = "A";
    return record;
  }

  // A monitor over a register holding these records.
  SoftwareMonitor& monitorOf(const std::vector<SoftwareRecord>& records, MonitorSettings settings) {
    SoftwareRegister stored(data_ + "VersionReg.lst");
    stored.records() = records;
    EXPECT_TRUE(stored.WriteRegister().ok());
    monitor_ = std::make_unique<SoftwareMonitor>(std::move(settings), network_);
    EXPECT_TRUE(monitor_->start().ok());
    return *monitor_;
  }
  SoftwareMonitor& monitorOf(const std::vector<SoftwareRecord>& records) { return monitorOf(records, settings()); }

  void offer(const std::string& version, const std::string& extraLines = {}) {
    server_.serve("/widget/updatelist.txt",
                  {200, QByteArray::fromStdString("application=Widget\nversion=" + version + "\nurl=" +
                                                  server_.address("/widget/Setup") + "\n" + extraLines),
                   -1});
  }

  [[nodiscard]] const SoftwareRecord& stored(std::size_t index = 0) { return monitor_->softwareRegister().records().at(index); }
  [[nodiscard]] std::string log() const { return ReadBytes(data_ + "VersionReg.log"); }
  [[nodiscard]] bool logged(const std::string& text) const { return log().find(text) != std::string::npos; }
  [[nodiscard]] bool exists(const std::string& path) const { return std::filesystem::exists(path); }
  bool waitForFile(const std::string& path) const {
    return QTest::qWaitFor([&] { return exists(path) && !ReadBytes(path).empty(); }, kGenerous);
  }

  TempFolder runtime_;
  TempFolder root_;
  std::string previousRuntime_;
  std::string data_;
  std::string install_;
  std::string restartMarker_;
  std::string restartProgram_;
  HttpTestServer server_;
  QNetworkAccessManager network_;
  std::unique_ptr<SoftwareMonitor> monitor_;
};

}  // namespace tarvo::test
