// Updates over HTTPS and signed setup programs.
#include <gtest/gtest.h>

#include "monitor/monitor_fixture.h"
#include "monitor/test_credentials.h"

namespace tarvo {
namespace {

using test::HttpTestServer;
using test::MonitorFixture;
using test::RecordingSetup;
using test::SigningKey;

class UpdateSecurityTest : public MonitorFixture {
 protected:
  // Offers version 2.0 whose setup program is served as `served`, with this signature line.
  void offerSigned(const QByteArray& served, const std::string& signature) {
    offer("2.0", "signature=" + signature + "\n");
    server_.serve("/widget/Setup", {200, served, -1});
  }

  SigningKey key_;
};

TEST_F(UpdateSecurityTest, ATamperedSetupProgramIsDeletedLoggedAndNeverRun) {
  const QByteArray genuine = RecordingSetup(root_.file("setup-words"));
  QByteArray tampered = genuine;
  tampered.append("rm -rf \"$HOME\"\n");
  offerSigned(tampered, key_.signatureOf(genuine.toStdString()));
  MonitorSettings keyed = settings();
  keyed.releaseKey = key_.publicKey();
  SoftwareMonitor& monitor = monitorOf({product("1.0")}, keyed);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));

  EXPECT_EQ(stored().errorcodes, "*** Setup program signature does not match");
  EXPECT_TRUE(logged("*** Setup program refused - the signature does not match the setup program - file deleted"));
  EXPECT_FALSE(exists(data_ + "Download/Setup"));
  EXPECT_FALSE(exists(data_ + "Download/Setup.part"));
  EXPECT_FALSE(exists(data_ + "Download/install.sh"));
  EXPECT_FALSE(logged("Installing new version"));
}

TEST_F(UpdateSecurityTest, ACorrectlySignedSetupProgramIsRun) {
  const std::string marker = root_.file("setup-words");
  const QByteArray genuine = RecordingSetup(marker);
  offerSigned(genuine, key_.signatureOf(genuine.toStdString()));
  MonitorSettings keyed = settings();
  keyed.releaseKey = key_.publicKey();
  SoftwareMonitor& monitor = monitorOf({product("1.0")}, keyed);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));

  EXPECT_EQ(stored().errorcodes, "Up to date");
  EXPECT_TRUE(logged("Setup program signature verified - " + server_.address("/widget/Setup")));
  EXPECT_TRUE(waitForFile(marker)) << "the signed setup program did not run";
  EXPECT_TRUE(waitForFile(restartMarker_));
}

TEST_F(UpdateSecurityTest, ASignatureOfAnotherKeyOrNotASignatureAtAllIsRefused) {
  const QByteArray genuine = RecordingSetup(root_.file("setup-words"));
  SigningKey stranger;
  offerSigned(genuine, stranger.signatureOf(genuine.toStdString()));
  MonitorSettings keyed = settings();
  keyed.releaseKey = key_.publicKey();
  SoftwareMonitor& monitor = monitorOf({product("1.0")}, keyed);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "*** Setup program signature does not match");

  offerSigned(genuine, "not base64 at all!");
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "*** Setup program signature does not match");
  EXPECT_TRUE(logged("the signature is not a 64-byte Ed25519 signature in base64"));
  EXPECT_FALSE(exists(data_ + "Download/Setup"));
}

TEST_F(UpdateSecurityTest, HttpsWorksWithACertificateTheProgramTrustsAndOnlyThen) {
  const test::TlsIdentity identity = test::MakeSelfSignedIdentity(root_.path());
  ASSERT_FALSE(identity.certificate.isNull());
  ASSERT_FALSE(identity.key.isNull());
  HttpTestServer secure;
  ASSERT_TRUE(secure.listenTls(identity.certificate, identity.key));
  const std::string marker = root_.file("setup-words");
  secure.serve("/widget/updatelist.txt",
               {200, QByteArray::fromStdString("application=Widget\nversion=2.0\nurl=" + secure.address("/widget/Setup")), -1});
  secure.serve("/widget/Setup", {200, RecordingSetup(marker), -1});
  SoftwareRecord record = product("1.0");
  record.url = secure.address("/widget/updatelist.txt");

  // Without trust in the certificate the server is not talked to.
  SoftwareMonitor& untrusting = monitorOf({record});
  ASSERT_TRUE(untrusting.RunSoftwareMonitor(true));
  EXPECT_EQ(stored().errorcodes, "*** Unable to connect");

  // The manager keeps the refused connection for this host; a new trust needs a new one.
  network_.clearConnectionCache();
  MonitorSettings trusting = settings();
  trusting.download.extraTrust = {identity.certificate};
  SoftwareMonitor& monitor = monitorOf({record}, trusting);
  ASSERT_TRUE(monitor.RunSoftwareMonitor(true));
  ASSERT_EQ(stored().errorcodes, "Up to date") << log();
  EXPECT_TRUE(logged("Installing new version - Product=Widget, Version=2.0"));
  EXPECT_TRUE(waitForFile(marker));
  EXPECT_TRUE(waitForFile(restartMarker_));
}

}  // namespace
}  // namespace tarvo
