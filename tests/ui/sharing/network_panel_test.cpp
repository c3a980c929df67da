#include "ui/sharing/network_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/date_text.h"
#include "sharing/shared_folder.h"
#include "store/data_file.h"
#include "store/pair_file.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);

// One user's copy of the program: its data folder, its settings and its network panel.
struct Copy {
  explicit Copy(NetSettings loaded = {}) : settings(std::move(loaded)) {
    panel = std::make_unique<TNetworkPanel>(settings, data.file("net.txt"), kYearFirst);
    panel->ask = [this](const QString& question) {
      questions << question;
      return answer;
    };
  }

  template <typename T>
  T* find(const char* name) const {
    T* child = panel->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }
  QPushButton* connectButton() const { return find<QPushButton>("buttonNetConnect"); }
  QLabel* status() const { return find<QLabel>("labConnectStatus"); }
  QColor statusColour() const { return status()->palette().color(QPalette::WindowText); }
  QStringList listed() const {
    QStringList names;
    auto* list = find<QListWidget>("listUsers");
    for (int row = 0; row < list->count(); ++row) names << list->item(row)->text();
    return names;
  }
  void type(const QString& folder, const QString& user, const QString& password,
            const QString& repeat) const {
    edit("editNetworkFolder")->setText(folder);
    edit("editUserName")->setText(user);
    edit("editPassword")->setText(password);
    edit("editPasswordRepeat")->setText(repeat);
  }
  bool inputsEnabled() const {
    return edit("editNetworkFolder")->isEnabled() && edit("editUserName")->isEnabled() &&
           edit("editPassword")->isEnabled() && edit("editPasswordRepeat")->isEnabled() &&
           find<QPushButton>("buttonBrowse")->isEnabled();
  }

  test::TempFolder data;
  NetSettings settings;
  std::unique_ptr<TNetworkPanel> panel;
  QStringList questions;
  bool answer = true;
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

TEST(NetworkPanel, ShowsTheControlsAndEnablesConnectOnlyForCompleteMatchingEntries) {
  Copy ann;
  ann.panel->InitNetworkPanel();
  EXPECT_EQ(ann.status()->text(), "Not connected");
  EXPECT_EQ(ann.statusColour(), kBlack);
  EXPECT_EQ(ann.connectButton()->text(), "Connect");
  EXPECT_EQ(ann.find<QPushButton>("buttonBrowse")->toolTip(),
            "Select or create local network Tarvo folder");
  EXPECT_EQ(ann.edit("editPassword")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(ann.edit("editPasswordRepeat")->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(ann.find<QCheckBox>("checkBackupData")->isHidden());
  EXPECT_EQ(ann.find<QCheckBox>("checkBackupData")->text(), "Back up my data");
  EXPECT_TRUE(ann.edit("editDataPw")->isHidden());
  EXPECT_EQ(ann.find<QGroupBox>(nullptr)->title(), "Local Tarvo network information");
  QStringList captions;
  for (const QLabel* label : ann.panel->findChildren<QLabel*>()) captions << label->text();
  for (const char* caption : {"Local Tarvo network folder", "Tarvo network user name",
                              "Tarvo network password", "Type in password again",
                              "Connection status", "Local Tarvo network friends:"}) {
    EXPECT_TRUE(captions.contains(caption)) << caption;
  }

  ann.type("/srv/share", "ann", "secret", "secreT");
  EXPECT_FALSE(ann.connectButton()->isEnabled()) << "the repeat differs";
  EXPECT_TRUE(ann.settings.changed);
  EXPECT_EQ(ann.settings.password, "secret") << "the settings follow the boxes";
  ann.edit("editPasswordRepeat")->setText("secret");
  EXPECT_TRUE(ann.connectButton()->isEnabled());
  ann.edit("editUserName")->clear();
  EXPECT_FALSE(ann.connectButton()->isEnabled());

  // Enter in a password box does nothing while Connect is disabled.
  QTest::keyClick(ann.edit("editPassword"), Qt::Key_Return);
  EXPECT_TRUE(ann.questions.isEmpty());
  EXPECT_EQ(ann.status()->text(), "Not connected");
}

TEST(NetworkPanel, TheFirstUserCreatesTheFolderAndDisconnectingGivesTheInputsBack) {
  test::TempFolder share;
  Copy ann;
  ann.panel->InitNetworkPanel();
  QSignalSpy changes(ann.panel.get(), &TNetworkPanel::connectionChanged);
  ann.type(Q(share.path()), "ann", "secret", "secret");
  QTest::keyClick(ann.edit("editPasswordRepeat"), Qt::Key_Return);  // Enter presses Connect

  EXPECT_EQ(ann.questions, QStringList{"This LAN Tarvo connection does not exist yet.\n"
                                       "Do you wish to create it now?"});
  EXPECT_EQ(ann.status()->text(), "Connected OK");
  EXPECT_EQ(ann.statusColour(), kGreen);
  EXPECT_EQ(ann.connectButton()->text(), "Disconnect");
  EXPECT_TRUE(ann.connectButton()->isEnabled());
  EXPECT_FALSE(ann.inputsEnabled());
  EXPECT_TRUE(share.has("Tarvo.dat"));
  EXPECT_EQ(share.read("ann.usr").size(), std::string("2026/01/01 00:00:00\r\n").size());
  EXPECT_TRUE(ann.listed().isEmpty()) << "the only user is Ann herself";
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.at(0).at(0).toBool(), true);
  EXPECT_TRUE(ann.settings.autoConnect);
  ASSERT_TRUE(ann.panel->saveSettingsIfChanged().ok());
  NetSettings stored;
  ASSERT_TRUE(LoadNetSettings(ann.data.file("net.txt"), stored).ok());
  EXPECT_TRUE(stored.autoConnect);
  EXPECT_EQ(stored.folder, share.path());

  ann.connectButton()->click();
  EXPECT_EQ(ann.status()->text(), "Not connected");
  EXPECT_EQ(ann.statusColour(), kBlack);
  EXPECT_EQ(ann.connectButton()->text(), "Connect");
  EXPECT_TRUE(ann.inputsEnabled());
  ASSERT_EQ(changes.count(), 2);
  EXPECT_EQ(changes.at(1).at(0).toBool(), false);
  EXPECT_FALSE(ann.settings.autoConnect);
  EXPECT_TRUE(ann.settings.changed);
}

TEST(NetworkPanel, AWrongPasswordIsShownInRedAndWritesNoUserLine) {
  test::TempFolder share;
  Copy ann;
  ann.type(Q(share.path()), "ann", "secret", "secret");
  ann.connectButton()->click();
  ASSERT_EQ(ann.status()->text(), "Connected OK");

  Copy bob;
  bob.panel->InitNetworkPanel();
  QSignalSpy changes(bob.panel.get(), &TNetworkPanel::connectionChanged);
  bob.type(Q(share.path()), "bob", "guess", "guess");
  bob.connectButton()->click();
  EXPECT_EQ(bob.status()->text(), "*** LAN Tarvo password incorrect");
  EXPECT_EQ(bob.statusColour(), kRed);
  EXPECT_EQ(bob.connectButton()->text(), "Connect");
  EXPECT_TRUE(bob.inputsEnabled()) << "Bob can type the right password";
  EXPECT_FALSE(share.has("bob.usr"));
  EXPECT_TRUE(bob.questions.isEmpty());
  EXPECT_EQ(changes.count(), 0);
}

TEST(NetworkPanel, ListsTheColleaguesAndOffersAllOnlyForMoreThanOne) {
  test::TempFolder share;
  Copy ann;
  ann.type(Q(share.path()), "ann", "pw", "pw");
  ann.connectButton()->click();
  ASSERT_TRUE(ann.settings.connected);
  share.put("cid.usr", "line\r\n");
  ann.panel->GetNetworkUsers();
  EXPECT_EQ(ann.listed(), QStringList{"  cid"});
  QMenu* menu = ann.panel->menuSendto();
  ASSERT_EQ(menu->actions().size(), 1) << "no \"All\" for one colleague";
  EXPECT_EQ(menu->actions().at(0)->text(), "cid");

  share.put("bob.usr", "line\r\n");
  ann.panel->GetNetworkUsers();
  ASSERT_EQ(ann.settings.users, (std::vector<std::string>{"ann", "bob", "cid"}));
  EXPECT_EQ(ann.listed(), (QStringList{"  bob", "  cid"}));
  QStringList items;
  QList<int> tags;
  for (const QAction* action : menu->actions()) {
    items << action->text();
    tags << action->data().toInt();
  }
  EXPECT_EQ(items, (QStringList{"bob", "cid", "All"}));
  EXPECT_EQ(tags, (QList<int>{1, 2, -1})) << "the index in the users, -1 for all";

  QSignalSpy sends(ann.panel.get(), &TNetworkPanel::sendRequested);
  menu->actions().at(1)->trigger();
  menu->actions().at(2)->trigger();
  ASSERT_EQ(sends.count(), 2);
  EXPECT_EQ(sends.at(0).at(0).toInt(), 2);
  EXPECT_EQ(sends.at(1).at(0).toInt(), -1);
}

TEST(NetworkPanel, AFolderThatVanishesKeepsTheColleaguesOnShow) {
  test::TempFolder root;
  const std::string folder = root.file("share");
  ASSERT_TRUE(QDir().mkdir(Q(folder)));
  test::WriteBytes(JoinPath(folder, "bob.usr"), "line\r\n");
  Copy ann;
  ann.type(Q(folder), "ann", "pw", "pw");
  ann.connectButton()->click();
  ASSERT_EQ(ann.listed(), QStringList{"  bob"});
  QSignalSpy changes(ann.panel.get(), &TNetworkPanel::connectionChanged);

  ASSERT_TRUE(QDir().rename(Q(folder), Q(root.file("away"))));
  ASSERT_FALSE(SharedFolderReachable(ann.settings.resolvedFolder));
  ann.panel->GetNetworkUsers();
  EXPECT_EQ(ann.listed(), QStringList{"  bob"}) << "the folder is away, not empty";
  EXPECT_TRUE(ann.panel->menuSendto()->isEnabled()) << "still connected until told otherwise";
  ann.panel->markDisconnected();
  EXPECT_EQ(ann.status()->text(), "*** LAN Tarvo not accessible");
  EXPECT_EQ(ann.statusColour(), kRed);
  EXPECT_EQ(ann.connectButton()->text(), "Connect");
  EXPECT_TRUE(ann.inputsEnabled());
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.at(0).at(0).toBool(), false);
  EXPECT_EQ(ann.listed(), QStringList{"  bob"});
  EXPECT_FALSE(ann.panel->menuSendto()->isEnabled()) << "nothing to send through";
  EXPECT_TRUE(ann.settings.autoConnect) << "the next start tries again";
}

TEST(NetworkPanel, ARestartAfterClosingWhileConnectedReconnectsWithoutAnyInput) {
  test::TempFolder share;
  NetSettings stored;
  {
    Copy ann;
    ann.type(Q(share.path()), "ann", "pw", "pw");
    ann.connectButton()->click();
    ASSERT_TRUE(ann.panel->saveSettingsIfChanged().ok());
    ASSERT_TRUE(LoadNetSettings(ann.data.file("net.txt"), stored).ok());
  }
  share.put("bob.usr", "line\r\n");
  Copy again(stored);
  QSignalSpy changes(again.panel.get(), &TNetworkPanel::connectionChanged);
  again.panel->InitNetworkPanel();
  EXPECT_TRUE(again.questions.isEmpty());
  EXPECT_EQ(again.status()->text(), "Connected OK");
  EXPECT_EQ(again.edit("editPasswordRepeat")->text(), "pw");
  EXPECT_EQ(again.listed(), QStringList{"  bob"});
  EXPECT_EQ(changes.count(), 1);
  const std::string lines = share.read("ann.usr");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << "a line for each connection";

  stored.autoConnect = false;
  Copy manual(stored);
  manual.panel->InitNetworkPanel();
  EXPECT_EQ(manual.status()->text(), "Not connected");
  EXPECT_TRUE(manual.connectButton()->isEnabled()) << "everything is there to connect";
}

TEST(NetworkPanel, AnEmptyUserNameIsTheLoginNameAndBrowseReplacesTheFolder) {
  const char* old = std::getenv("USERNAME");
  const std::string saved = old != nullptr ? old : "";
  setenv("USERNAME", "Login Name", 1);
  Copy ann;
  ann.panel->InitNetworkPanel();
  if (old != nullptr) {
    setenv("USERNAME", saved.c_str(), 1);
  } else {
    unsetenv("USERNAME");
  }
  EXPECT_EQ(ann.edit("editUserName")->text(), "Login Name");
  EXPECT_FALSE(ann.connectButton()->isEnabled()) << "no folder and no password yet";

  QStringList startedAt;
  QString choice = "/srv/picked";
  ann.panel->pickFolder = [&](const QString& start) {
    startedAt << start;
    return choice;
  };
  ann.edit("editNetworkFolder")->setText("/srv/typed");
  ann.find<QPushButton>("buttonBrowse")->click();
  EXPECT_EQ(ann.edit("editNetworkFolder")->text(), "/srv/picked");
  choice.clear();
  ann.find<QPushButton>("buttonBrowse")->click();
  EXPECT_EQ(ann.edit("editNetworkFolder")->text(), "/srv/picked") << "cancelled: kept";
  EXPECT_EQ(startedAt, (QStringList{"/srv/typed", "/srv/picked"}));
  EXPECT_EQ(ann.settings.folder, "/srv/picked");
}

TEST(NetworkPanel, ConnectedWithColleaguesNothingOverlapsAndTabFollowsTheReadingOrder) {
  test::TempFolder share;
  share.put("bob.usr", "line\r\n");
  share.put("cid.usr", "line\r\n");
  Copy ann;
  ann.panel->InitNetworkPanel();
  ann.panel->resize(640, 480);
  ann.panel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(ann.panel.get()));
  ann.type(Q(share.path()), "ann", "pw", "pw");
  ann.connectButton()->click();
  ASSERT_EQ(ann.listed(), (QStringList{"  bob", "  cid"}));

  const std::vector<QWidget*> order{
      ann.edit("editNetworkFolder"), ann.find<QPushButton>("buttonBrowse"),
      ann.edit("editUserName"),      ann.edit("editPassword"),
      ann.edit("editPasswordRepeat"), ann.connectButton(),
      ann.find<QListWidget>("listUsers")};
  std::vector<QWidget*> shown(order);
  shown.push_back(ann.status());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const QRect area(shown[i]->mapTo(ann.panel.get(), QPoint()), shown[i]->size());
    EXPECT_TRUE(ann.panel->rect().contains(area)) << shown[i]->objectName().toStdString();
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      const QRect other(shown[j]->mapTo(ann.panel.get(), QPoint()), shown[j]->size());
      EXPECT_FALSE(area.intersects(other)) << shown[i]->objectName().toStdString() << " "
                                           << shown[j]->objectName().toStdString();
    }
  }
  EXPECT_GE(ann.status()->width(), ann.status()->sizeHint().width()) << "the status is not cut";
  if (const char* shot = std::getenv("TARVO_PANEL_SHOT")) ann.panel->grab().save(shot);

  ann.connectButton()->click();  // disconnected, every box takes the focus again
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus || !next->isVisible()) next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i + 1]) << order[i]->objectName().toStdString();
  }
}

}  // namespace
}  // namespace tarvo
