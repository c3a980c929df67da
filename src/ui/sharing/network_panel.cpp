#include "ui/sharing/network_panel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/clock.h"
#include "sharing/shared_folder.h"
#include "ui/pages/folder_dialog.h"

namespace tarvo {
namespace {

const QColor kConnectedColour(0x00, 0x80, 0x00);
const QColor kFailedColour(0xFF, 0x00, 0x00);
const QColor kNeutralColour(0x00, 0x00, 0x00);

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Std(const QString& text) { return text.toStdString(); }

QLineEdit* PasswordBox(const char* name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setEchoMode(QLineEdit::Password);
  return box;
}

}  // namespace

TNetworkPanel::TNetworkPanel(NetSettings& settings, std::string settingsPath, int dateOrder,
                             QWidget* parent)
    : QWidget(parent), settings_(settings), settingsPath_(std::move(settingsPath)),
      dateOrder_(dateOrder) {
  setObjectName("panelNetwork");
  ask = [this](const QString& question) {
    return QMessageBox::question(this, QString(), question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  };
  pickFolder = [this](const QString& start) {
    TSelectFolder dialog("LANTarvo", start, this);
    dialog.exec();
    return dialog.result();
  };
  buildControls();
  showSettings();
}

void TNetworkPanel::buildControls() {
  auto* outer = new QVBoxLayout(this);
  auto* group = new QGroupBox("Local Tarvo network information", this);
  group->setMaximumWidth(560);
  auto* form = new QFormLayout(group);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

  editNetworkFolder_ = new QLineEdit(group);
  editNetworkFolder_->setObjectName("editNetworkFolder");
  buttonBrowse_ = new QPushButton("Browse...", group);
  buttonBrowse_->setObjectName("buttonBrowse");
  buttonBrowse_->setToolTip("Select or create local network Tarvo folder");
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(editNetworkFolder_, 1);
  folderRow->addWidget(buttonBrowse_);
  auto* folderLabel = new QLabel("Local Tarvo network folder", group);
  folderLabel->setBuddy(editNetworkFolder_);
  form->addRow(folderLabel, folderRow);

  editUserName_ = new QLineEdit(group);
  editUserName_->setObjectName("editUserName");
  form->addRow("Tarvo network user name", editUserName_);
  editPassword_ = PasswordBox("editPassword", group);
  form->addRow("Tarvo network password", editPassword_);
  editPasswordRepeat_ = PasswordBox("editPasswordRepeat", group);
  form->addRow("Type in password again", editPasswordRepeat_);

  // Kept and written back with the settings; nothing uses them yet, so they are not shown.
  checkBackupData_ = new QCheckBox("Back up my data", group);
  checkBackupData_->setObjectName("checkBackupData");
  checkBackupData_->hide();
  editDataPw_ = PasswordBox("editDataPw", group);
  editDataPw_->hide();

  labConnectStatus_ = new QLabel(group);
  labConnectStatus_->setObjectName("labConnectStatus");
  labConnectStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  labConnectStatus_->setWordWrap(true);
  form->addRow("Connection status", labConnectStatus_);
  buttonNetConnect_ = new QPushButton("Connect", group);
  buttonNetConnect_->setObjectName("buttonNetConnect");
  form->addRow(QString(), buttonNetConnect_);
  form->setAlignment(buttonNetConnect_, Qt::AlignLeft);

  auto* friends = new QLabel("Local Tarvo network friends:", group);
  listUsers_ = new QListWidget(group);
  listUsers_->setObjectName("listUsers");
  friends->setBuddy(listUsers_);
  form->addRow(friends);
  form->addRow(listUsers_);
  outer->addWidget(group);
  outer->addStretch();

  menuSendto_ = new QMenu("Send copy to", this);
  menuSendto_->setObjectName("menuSendto");
  menuSendto_->setEnabled(false);
  connect(menuSendto_, &QMenu::triggered, this,
          [this](QAction* action) { emit sendRequested(action->data().toInt()); });

  for (QLineEdit* box : {editNetworkFolder_, editUserName_, editPassword_, editPasswordRepeat_,
                         editDataPw_}) {
    connect(box, &QLineEdit::textChanged, this, &TNetworkPanel::editNetworkFolderChange);
  }
  connect(checkBackupData_, &QCheckBox::toggled, this, &TNetworkPanel::editNetworkFolderChange);
  connect(buttonBrowse_, &QPushButton::clicked, this, &TNetworkPanel::buttonBrowseClick);
  connect(buttonNetConnect_, &QPushButton::clicked, this, &TNetworkPanel::buttonNetConnectClick);
  connect(editPassword_, &QLineEdit::returnPressed, this, &TNetworkPanel::pressConnectWhenEnabled);
  connect(editPasswordRepeat_, &QLineEdit::returnPressed, this,
          &TNetworkPanel::pressConnectWhenEnabled);

  setTabOrder(editNetworkFolder_, buttonBrowse_);
  setTabOrder(buttonBrowse_, editUserName_);
  setTabOrder(editUserName_, editPassword_);
  setTabOrder(editPassword_, editPasswordRepeat_);
  setTabOrder(editPasswordRepeat_, buttonNetConnect_);
  setTabOrder(buttonNetConnect_, listUsers_);
}

void TNetworkPanel::showSettings() {
  showing_ = true;
  editNetworkFolder_->setText(Text(settings_.folder));
  editUserName_->setText(Text(settings_.userName));
  editPassword_->setText(Text(settings_.password));
  // The password was typed twice when it was stored.
  editPasswordRepeat_->setText(Text(settings_.password));
  checkBackupData_->setChecked(settings_.backupData);
  editDataPw_->setText(Text(settings_.dataPassword));
  showing_ = false;
}

void TNetworkPanel::InitNetworkPanel() {
  FillDefaultUserName(settings_);
  showSettings();
  showStatus(Text(kStatusNotConnected), kNeutralColour);
  showConnected(false);
  if (inputsComplete() && settings_.autoConnect) ConnectSharedFolder();
}

Result TNetworkPanel::saveSettingsIfChanged() {
  return SaveNetSettingsIfChanged(settingsPath_, settings_);
}

bool TNetworkPanel::inputsComplete() const {
  const ConnectionEntries entries{Std(editNetworkFolder_->text()), Std(editPassword_->text()),
                                  Std(editUserName_->text()), checkBackupData_->isChecked()};
  return CanConnect(entries, Std(editPasswordRepeat_->text()));
}

void TNetworkPanel::editNetworkFolderChange() {
  if (showing_) return;
  settings_.folder = Std(editNetworkFolder_->text());
  settings_.password = Std(editPassword_->text());
  settings_.userName = Std(editUserName_->text());
  settings_.backupData = checkBackupData_->isChecked();
  settings_.dataPassword = Std(editDataPw_->text());
  settings_.changed = true;
  buttonNetConnect_->setEnabled(settings_.connected || inputsComplete());
}

void TNetworkPanel::buttonBrowseClick() {
  const QString chosen = pickFolder(editNetworkFolder_->text());
  if (!chosen.isEmpty()) editNetworkFolder_->setText(chosen);
}

void TNetworkPanel::buttonNetConnectClick() {
  if (settings_.connected) {
    Disconnect();
    return;
  }
  ConnectSharedFolder();
}

void TNetworkPanel::pressConnectWhenEnabled() {
  if (buttonNetConnect_->isEnabled()) buttonNetConnect_->click();
}

void TNetworkPanel::ConnectSharedFolder() {
  const ConnectionEntries entries{Std(editNetworkFolder_->text()), Std(editPassword_->text()),
                                  Std(editUserName_->text()), checkBackupData_->isChecked()};
  const ConnectOutcome outcome = tarvo::ConnectSharedFolder(
      settings_, entries, [this] { return ask(Text(kCreateQuestion)); }, Clock::now(),
      dateOrder_);
  if (outcome.status.empty()) return;  // the user chose not to create the connection
  showStatus(Text(outcome.status), outcome.connected ? kConnectedColour : kFailedColour,
             Text(outcome.detail));
  showConnected(outcome.connected);
  if (!outcome.connected) return;
  fillUserList();
  emit connectionChanged(true);
}

void TNetworkPanel::Disconnect() {
  DisconnectSharedFolder(settings_);
  showStatus(Text(kStatusNotConnected), kNeutralColour);
  showConnected(false);
  fillUserList();
  emit connectionChanged(false);
}

void TNetworkPanel::markDisconnected() {
  if (!settings_.connected) return;
  LoseSharedFolder(settings_);
  showStatus(Text(kStatusNotAccessible), kFailedColour);
  showConnected(false);
  emit connectionChanged(false);
}

void TNetworkPanel::GetNetworkUsers() {
  // An unreachable folder keeps the colleagues known so far on show.
  if (settings_.connected) (void)RefreshSharedUsers(settings_);
  fillUserList();
}

void TNetworkPanel::showConnected(bool connected) {
  buttonNetConnect_->setText(connected ? "Disconnect" : "Connect");
  buttonNetConnect_->setEnabled(connected || inputsComplete());
  for (QWidget* input : std::initializer_list<QWidget*>{
           buttonBrowse_, editNetworkFolder_, editPassword_, editPasswordRepeat_, editUserName_}) {
    input->setEnabled(!connected);
  }
  // Nothing can be sent while the folder is out of reach, even with the colleagues on show.
  menuSendto_->setEnabled(connected);
}

void TNetworkPanel::showStatus(const QString& text, const QColor& colour, const QString& detail) {
  labConnectStatus_->setText(text);
  labConnectStatus_->setToolTip(detail);
  QPalette palette = labConnectStatus_->palette();
  palette.setColor(QPalette::WindowText, colour);
  labConnectStatus_->setPalette(palette);
}

void TNetworkPanel::fillUserList() {
  menuSendto_->clear();
  listUsers_->clear();
  const std::string& ownName = settings_.userName;
  for (std::size_t index = 0; index < settings_.users.size(); ++index) {
    const std::string& name = settings_.users[index];
    if (name == ownName) continue;
    listUsers_->addItem("  " + Text(name));
    // A "&" in a name would otherwise underline the next letter instead of showing.
    QAction* item = menuSendto_->addAction(Text(name).replace("&", "&&"));
    item->setData(static_cast<int>(index));
  }
  if (listUsers_->count() > 1) menuSendto_->addAction("All")->setData(-1);
}

}  // namespace tarvo
