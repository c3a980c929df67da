#pragma once

// The network panel: the shared folder, the user's name and the folder's password, the
// Connect/Disconnect button, the connection's status and the colleagues found in the folder,
// and the "Send copy to" menu built from them.
//
// The panel works on the NetSettings it is given (owned by the main window) and keeps them in
// step with the boxes, so the periodic save (saveSettingsIfChanged) writes what is on show.
// It emits connectionChanged when the connection is made or left, so the owner can start or
// stop looking at the inbox, and sendRequested when a colleague is chosen from menuSendto.

#include <QWidget>
#include <functional>
#include <string>

#include "base/result.h"
#include "sharing/net_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace tarvo {

class TNetworkPanel : public QWidget {
  Q_OBJECT

 public:
  // `settingsPath` is net.txt; `dateOrder` is the user's date order for the ".usr" lines.
  TNetworkPanel(NetSettings& settings, std::string settingsPath, int dateOrder,
                QWidget* parent = nullptr);

  [[nodiscard]] NetSettings& settings() { return settings_; }
  [[nodiscard]] const std::string& settingsPath() const { return settingsPath_; }
  // The "Send copy to" menu: one item per colleague (data: the index in settings().users) and
  // "All" (data: -1) when there is more than one. The panel owns it.
  [[nodiscard]] QMenu* menuSendto() const { return menuSendto_; }
  void setDateOrder(int dateOrder) { dateOrder_ = dateOrder; }

  // Start-up: shows the stored settings and "Not connected", and connects again when the user
  // was connected at the last save.
  void InitNetworkPanel();
  // Writes net.txt when something changed (the periodic save).
  [[nodiscard]] Result saveSettingsIfChanged();
  // The inbox timer found the folder gone: shown as not accessible, the colleagues are kept.
  void markDisconnected();
  // Reads the colleagues from the shared folder again while connected (a folder out of reach
  // keeps the ones known) and rebuilds the list and the menu.
  void GetNetworkUsers();

  // Asks a Yes/No question; a message box unless a test puts its own.
  std::function<bool(const QString&)> ask;
  // Lets the user pick a folder starting at the one given; empty when cancelled. The folder
  // picker unless a test puts its own.
  std::function<QString(const QString&)> pickFolder;

 signals:
  void connectionChanged(bool connected);
  // `tag` is the colleague's index in settings().users, or -1 for all of them.
  void sendRequested(int tag);

 private:
  void buildControls();
  void showSettings();
  void editNetworkFolderChange();
  void buttonBrowseClick();
  void buttonNetConnectClick();
  void ConnectSharedFolder();
  void Disconnect();
  void showConnected(bool connected);
  void showStatus(const QString& text, const QColor& colour, const QString& detail = {});
  void fillUserList();
  void pressConnectWhenEnabled();
  [[nodiscard]] bool inputsComplete() const;

  NetSettings& settings_;
  std::string settingsPath_;
  int dateOrder_;
  bool showing_ = false;  // true while the boxes are filled from the settings

  QLineEdit* editNetworkFolder_;
  QPushButton* buttonBrowse_;
  QLineEdit* editUserName_;
  QLineEdit* editPassword_;
  QLineEdit* editPasswordRepeat_;
  QLabel* labConnectStatus_;
  QListWidget* listUsers_;
  QPushButton* buttonNetConnect_;
  QCheckBox* checkBackupData_;
  QLineEdit* editDataPw_;
  QMenu* menuSendto_;
};

}  // namespace tarvo
