#include "sharing/net_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/pair_file.h"
#include "store/pair_list.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

std::vector<std::string> KeysOf(const PairList& pairs) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < pairs.size(); ++i) keys.emplace_back(pairs.key(i));
  return keys;
}

// Sets an environment variable (or removes it) for one test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct RoundTripCase {
  const char* what;
  bool backupData;
  bool autoConnect;
  std::vector<std::string> keys;
};

class NetSettingsRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(NetSettingsRoundTrip, WritesTheKeysInOrderScrambledAndReadsThemBack) {
  const RoundTripCase& with = GetParam();
  test::TempFolder data;
  const std::string path = data.file("net.txt");
  NetSettings saved;
  saved.folder = "/srv/Jürgen's share/LANTarvo";
  saved.password = " pa=ss word ";  // blanks and "=" belong to the password
  saved.userName = "Jürgen";
  saved.backupData = with.backupData;
  saved.dataPassword = "secret data";
  saved.autoConnect = with.autoConnect;
  ASSERT_TRUE(SaveNetSettings(path, saved).ok());

  const std::string bytes = data.read("net.txt");
  EXPECT_TRUE(bytes.starts_with("QZENCR01"));
  EXPECT_EQ(bytes.find("pa=ss"), std::string::npos) << "the password is not there as text";
  EXPECT_EQ(bytes.find("Jürgen"), std::string::npos);
  EXPECT_EQ(bytes.find("net="), std::string::npos);

  PairList pairs;
  ASSERT_TRUE(LoadPairFile(path, pairs, /*secure=*/true).ok());
  EXPECT_EQ(KeysOf(pairs), with.keys) << with.what;
  EXPECT_EQ(pairs.valueOf("mem", "absent"), with.autoConnect ? "Y" : "absent");
  EXPECT_EQ(pairs.valueOf("backup", "absent"), with.backupData ? "Y" : "absent");

  NetSettings loaded;
  loaded.backupData = !with.backupData;  // loading replaces what was there before
  loaded.autoConnect = !with.autoConnect;
  ASSERT_TRUE(LoadNetSettings(path, loaded).ok());
  EXPECT_TRUE(loaded.readable);
  EXPECT_EQ(loaded.folder, saved.folder);
  EXPECT_EQ(loaded.password, saved.password);
  EXPECT_EQ(loaded.userName, saved.userName);
  EXPECT_EQ(loaded.dataPassword, saved.dataPassword);
  EXPECT_EQ(loaded.backupData, with.backupData);
  EXPECT_EQ(loaded.autoConnect, with.autoConnect);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, NetSettingsRoundTrip,
    testing::Values(
        RoundTripCase{"no flags", false, false, {"net", "pw", "user", "datapw"}},
        RoundTripCase{"backup only", true, false, {"net", "pw", "user", "backup", "datapw"}},
        RoundTripCase{"connect again only", false, true, {"net", "pw", "user", "datapw", "mem"}},
        RoundTripCase{"both", true, true, {"net", "pw", "user", "backup", "datapw", "mem"}}));

TEST(NetSettings, FlagsAreSetOnlyByYAndAMissingFileGivesTheDefaults) {
  test::TempFolder data;
  const std::string path = data.file("net.txt");
  NetSettings settings;
  settings.folder = "left over";
  settings.autoConnect = true;
  ASSERT_TRUE(LoadNetSettings(path, settings).ok()) << "a first start has no net.txt";
  EXPECT_TRUE(settings.readable);
  EXPECT_EQ(settings.folder, "");
  EXPECT_FALSE(settings.autoConnect);
  EXPECT_FALSE(data.has("net.txt")) << "reading makes no file";

  PairList pairs;
  pairs.add("net", "/srv/share");
  pairs.add("backup", "y");
  pairs.add("mem", "Yes");
  test::WriteBytes(path, PairFileBytes(pairs, ScrambleKey(path)));
  ASSERT_TRUE(LoadNetSettings(path, settings).ok());
  EXPECT_EQ(settings.folder, "/srv/share");
  EXPECT_FALSE(settings.backupData) << "\"y\" is not \"Y\"";
  EXPECT_FALSE(settings.autoConnect) << "\"Yes\" is not \"Y\"";
}

TEST(NetSettings, AnUnreadableFileIsReportedAndNeverSavedOver) {
  test::TempFolder data;
  const std::string path = data.file("net.txt");
  NetSettings original;
  original.folder = "/srv/share";
  original.password = "secret";
  ASSERT_TRUE(SaveNetSettings(path, original).ok());
  const std::string before = data.read("net.txt");

  NetSettings settings;
  {
    test::FailingFileSystem failing;
    failing.failRead = true;
    failing.onlyPathsWith = "net.txt";
    ScopedFileSystem scoped(failing);
    const Result loaded = LoadNetSettings(path, settings);
    ASSERT_FALSE(loaded.ok());
    EXPECT_NE(loaded.reason().find("net.txt"), std::string::npos) << loaded.reason();
  }
  EXPECT_FALSE(settings.readable);
  settings.folder = "/somewhere/else";
  settings.changed = true;
  EXPECT_FALSE(SaveNetSettingsIfChanged(path, settings).ok());
  EXPECT_TRUE(settings.changed) << "still to be saved: nothing was written";
  EXPECT_EQ(data.read("net.txt"), before);
  EXPECT_EQ(data.names(), std::vector<std::string>{"net.txt"}) << "not even a backup copy";
}

TEST(NetSettings, SavesOnlyWhenChangedKeepsFiveBackupsAndRefusesLineBreaks) {
  test::TempFolder data;
  const std::string path = data.file("net.txt");
  NetSettings settings;
  settings.userName = "ann";
  ASSERT_TRUE(SaveNetSettingsIfChanged(path, settings).ok());
  EXPECT_FALSE(data.has("net.txt")) << "nothing changed, nothing written";

  for (int save = 1; save <= 8; ++save) {
    settings.folder = "/srv/share" + std::to_string(save);
    settings.changed = true;
    ASSERT_TRUE(SaveNetSettingsIfChanged(path, settings).ok());
    EXPECT_FALSE(settings.changed);
  }
  EXPECT_EQ(data.names(), (std::vector<std::string>{"net(3).txt", "net(4).txt", "net(5).txt",
                                                    "net(6).txt", "net(7).txt", "net.txt"}));

  const std::string before = data.read("net.txt");
  settings.password = "two\r\nlines";
  settings.changed = true;
  EXPECT_FALSE(SaveNetSettingsIfChanged(path, settings).ok());
  EXPECT_EQ(data.read("net.txt"), before);
}

TEST(NetSettings, AnEmptyUserNameBecomesTheLoginName) {
  {
    ScopedVariable username("USERNAME", "Ann");
    ScopedVariable user("USER", "ann_login");
    EXPECT_EQ(DefaultUserName(), "Ann");
    NetSettings settings;
    FillDefaultUserName(settings);
    EXPECT_EQ(settings.userName, "Ann");
    settings.userName = "Annie";
    FillDefaultUserName(settings);
    EXPECT_EQ(settings.userName, "Annie") << "a name of the user's own stays";
  }
  ScopedVariable username("USERNAME", nullptr);
  ScopedVariable user("USER", "ann_login");
  NetSettings settings;
  FillDefaultUserName(settings);
  EXPECT_EQ(settings.userName, "ann_login");
}

}  // namespace
}  // namespace tarvo
