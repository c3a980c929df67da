#pragma once

// The main window: the topic tree with its "Due" and "Status" columns, the detail area whose
// panel follows the selected topic's section type, the attribute tool bars, and the log.
// It owns the session (settings, log and the workspace document) for the run and translates
// events into calls on it; the command channel's messages arrive here on the user-interface
// thread. It stops serving the command channel before it dies.

#include <QIcon>
#include <QMainWindow>
#include <cstdio>
#include <functional>
#include <memory>

#include "workspace/dashboard.h"
#include "workspace/reminders.h"
#include "workspace/session.h"
#include "workspace/topic_exchange.h"
#include "platform/channel.h"
#include "ui/sound/sound_player.h"

class QLabel;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class QSystemTrayIcon;
class QTimer;
class QTreeView;

namespace tarvo {

class TopicActions;
class TSummaryPanel;
class TopicNode;
class TopicTreeModel;
class TPreferencesPanel;
class TSearchPanel;
struct SearchHit;
class TTopicPagesPanel;
class TSoftwarePanel;
class TNetworkPanel;
class ViewerRegistry;

// The program's own icon, for every window.
const QIcon& ProgramIcon();

class TformMain : public QMainWindow {
  Q_OBJECT

 public:
  // `channels` holds the instance marker; the window adds the command channel to it. The data
  // folder is made under `homeDrive`.
  TformMain(ChannelManager& channels, const std::string& homeDrive, const std::string& programFolder,
            QWidget* parent = nullptr);
  ~TformMain() override;

  // Serves the command channel; false when another instance already does (then end).
  bool listenForCommands();
  // Runs the start-up steps and shows the loaded workspace.
  void start();
  // Every log line (main log and channels) also goes to this stream, for diagnosis.
  void echoLogTo(std::FILE* stream) { echo_ = stream; }

  Session& session() { return *session_; }
  TopicTreeModel& treeModel() { return *model_; }
  // The command handler: "wakeup", "close", "run" and "view" lines.
  void handleCommands(const ChannelMessages& lines);
  // Autosave (the timer's and Ctrl+S).
  void MVSave();
  // "Display log": the main log in the viewer.
  void buttonMainLogClick();
  // The help page, opened by the desktop (also F1).
  void buttonHelpClick();
  // The options dialog of a topic; what it confirms is one undoable step.
  void EditTopicDeadline(TopicNode* node);
  // "Export calendar...": every deadline and event as an iCalendar file the user picks.
  void exportCalendarClick();
  bool exportCalendarTo(const std::string& path);
  // The summary over the whole window, its lists rebuilt (the "Summary" button).
  void buttonSummaryClick();
  // The summary with the lists as they are (at start, just built with the tree).
  void showSummary();
  // One dashboard list in the topic list dialog; the chosen topic is shown in the tree.
  void showCategory(Category category);
  // Shows the topic in the tree: only the way to it open, it open one level, selected.
  void jumpToTopic(TopicNode* node);
  // A chosen search result: its topic shown in the tree, its page opened at the match.
  void showSearchHit(const SearchHit& hit);
  // Sends a copy of the selected topic to the colleague at `tag` of the user list (-1: all).
  void SendTopic(int tag);
  // Every ten seconds while connected: what colleagues sent is merged into the tree.
  void timerCheckInboxTimer();
  // Add-on pack folders beside the program are merged (first after five seconds, then hourly).
  void timerAddonTimer();
  // Asks whether receivers may change the sent topic; a message box unless a test puts its own.
  std::function<bool()> askLock;
  TNetworkPanel& networkPanel() { return *panelNetwork_; }
  TSummaryPanel& summaryPanel() { return *panelEntry_; }
  ViewerRegistry& viewers() { return *viewers_; }
  TopicActions& topicActions() { return *actions_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildLayout();
  QWidget* buildTopPanel();
  QWidget* buildDetailArea();
  QWidget* buildFoot();
  void showTree();
  void restoreGeometry();
  void restoreSplitters();
  void keepOnScreen();
  void storeGeometry();
  void treeMainChange();
  void showExpandedBelow(const TopicNode* top);
  void buildActions();
  void showContextMenu(const QPoint& at);
  void updateSummaryCaptions();
  // A double click beside the expander and images opens the topic's options.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A command expanded or collapsed a node: the view follows.
  void showExpanded(const QModelIndex& index, bool expanded);
  // The view expanded or collapsed a node: the tree keeps it, and it is saved.
  void treeMainExpandedChange(const QModelIndex& index, bool expanded);
  // The view's scroll position as the tree's top visible node, before the tree is saved.
  void rememberTopNode();
  void appendLog(const std::string& line);
  void timerStartTimer();
  // Every ten seconds: deadlines move on with the clock, and what became due is told.
  void timerDeadlineTimer();
  void remind(const Reminder& reminder);
  void timerSaveTimer();
  void PlayExchangeSound(ExchangeSound sound);
  [[nodiscard]] ExchangeIdentity exchangeIdentity() const;
  // The timers that change the tree are held while a receive or a pack merge runs.
  void holdTreeTimers(bool hold);

  ChannelManager& channels_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<TopicTreeModel> model_;
  std::unique_ptr<ViewerRegistry> viewers_;
  SoundPlayer sounds_;
  TopicActions* actions_ = nullptr;
  std::FILE* echo_ = nullptr;
  bool closing_ = false;
  bool followingTree_ = false;  // the view is being opened to match the tree
  bool shownOnce_ = false;

  QWidget* panelTop_ = nullptr;
  TSummaryPanel* panelEntry_ = nullptr;
  QSplitter* splitterTree_ = nullptr;
  QSplitter* splitterFoot_ = nullptr;
  QTreeView* treeMain_ = nullptr;
  QStackedWidget* panelDetail_ = nullptr;
  QWidget* panelNone_ = nullptr;
  TTopicPagesPanel* panelToDoNew_ = nullptr;
  TSearchPanel* panelSearch_ = nullptr;
  TNetworkPanel* panelNetwork_ = nullptr;
  TPreferencesPanel* panelPreferences_ = nullptr;
  QWidget* panelAbout_ = nullptr;
  TSoftwarePanel* panelSoftware_ = nullptr;
  QWidget* panelContacts_ = nullptr;
  QLabel* labelAbout_ = nullptr;
  QPlainTextEdit* reLog_ = nullptr;
  QTimer* timerStart_ = nullptr;
  QTimer* timerSave_ = nullptr;
  QTimer* timerDeadline_ = nullptr;
  QTimer* timerCheckInbox_ = nullptr;
  QTimer* timerAddon_ = nullptr;
  std::unique_ptr<TopicExchange> exchange_;
  int pagesListener_ = 0;
  QSystemTrayIcon* tray_ = nullptr;  // null where the desktop has no tray
  std::string remindedUni_;          // the topic of the last reminder, shown when it is clicked
  Reminders reminders_;
};

}  // namespace tarvo
