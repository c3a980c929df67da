#include "ui/main/main_window.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QFileDialog>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "base/date_text.h"
#include "base/version.h"
#include "platform/process_helpers.h"
#include "platform/single_instance.h"
#include "sharing/shared_folder.h"
#include "store/file_system.h"
#include "structure/topic_record.h"
#include "ui/main/preferences_panel.h"
#include "ui/main/search_panel.h"
#include "ui/main/summary_panel.h"
#include "ui/main/topic_actions.h"
#include "ui/main/topic_list_dialog.h"
#include "ui/main/topic_options_dialog.h"
#include "ui/main/topic_pages_panel.h"
#include "ui/main/topic_item_delegate.h"
#include "ui/main/topic_tree_model.h"
#include "ui/monitor/software_panel.h"
#include "ui/sharing/network_panel.h"
#include "ui/viewer/open_in_viewer.h"
#include "ui/viewer/accessible_names.h"
#include "ui/viewer/text_display_window.h"
#include "workspace/calendar_export.h"
#include "workspace/detail_panel.h"
#include "workspace/instance_commands.h"
#include "workspace/window_placement.h"

namespace tarvo {
namespace {

ViewerReport ReportTo(MainLog& log) {
  return [&log](const Result& result, const std::string& message) { (void)log.Report(result, message); };
}

constexpr int kStartMilliseconds = 1000;
constexpr int kSaveMilliseconds = 60000;
constexpr int kInboxMilliseconds = 10000;
constexpr int kFirstAddonMilliseconds = 5000;
constexpr int kLaterAddonMilliseconds = 3600000;
constexpr int kDeadlineMilliseconds = 10000;

// A tool button carrying one of the topic actions: its hint, image and enabled state.
QToolButton* ToolButton(QWidget* parent, const char* name, QAction* action) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setDefaultAction(action);
  button->setAutoRaise(true);
  return button;
}

QWidget* Labelled(QWidget* parent, const QString& caption, const std::vector<QToolButton*>& buttons) {
  auto* group = new QWidget(parent);
  auto* layout = new QHBoxLayout(group);
  layout->setContentsMargins(2, 0, 2, 0);
  layout->setSpacing(1);
  layout->addWidget(new QLabel(caption, group));
  for (QToolButton* button : buttons) {
    button->setParent(group);
    layout->addWidget(button);
  }
  return group;
}

QWidget* Panel(QWidget* parent, const char* name, const QString& caption) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(name);
  auto* layout = new QVBoxLayout(panel);
  auto* title = new QLabel(caption, panel);
  QFont font = title->font();
  font.setBold(true);
  title->setFont(font);
  layout->addWidget(title);
  return panel;
}

}  // namespace

TformMain::TformMain(ChannelManager& channels, const std::string& homeDrive,
                     const std::string& programFolder, QWidget* parent)
    : QMainWindow(parent),
      channels_(channels),
      session_(std::make_unique<Session>(DataFolders::For(homeDrive, programFolder))),
      sounds_(SoundPlayer::ModuleFoldersOf(QApplication::applicationDirPath().toStdString())) {
  setObjectName("formMain");
  setWindowTitle(kProductName);
  setWindowIcon(ProgramIcon());
  model_ = std::make_unique<TopicTreeModel>(session_->workspace);
  buildLayout();
  session_->log.setDisplay([this](const std::string& line) { appendLog(line); });

  timerStart_ = new QTimer(this);
  timerStart_->setObjectName("timerStart");
  timerStart_->setSingleShot(true);
  timerStart_->setInterval(kStartMilliseconds);
  connect(timerStart_, &QTimer::timeout, this, &TformMain::timerStartTimer);
  timerSave_ = new QTimer(this);
  timerSave_->setObjectName("timerSave");
  timerSave_->setInterval(kSaveMilliseconds);
  connect(timerSave_, &QTimer::timeout, this, &TformMain::timerSaveTimer);
  timerDeadline_ = new QTimer(this);
  timerDeadline_->setObjectName("timerDeadline");
  timerDeadline_->setInterval(kDeadlineMilliseconds);
  connect(timerDeadline_, &QTimer::timeout, this, &TformMain::timerDeadlineTimer);
  timerCheckInbox_ = new QTimer(this);
  timerCheckInbox_->setObjectName("timerCheckInbox");
  timerCheckInbox_->setInterval(kInboxMilliseconds);
  connect(timerCheckInbox_, &QTimer::timeout, this, &TformMain::timerCheckInboxTimer);
  timerAddon_ = new QTimer(this);
  timerAddon_->setObjectName("timerAddon");
  timerAddon_->setInterval(kFirstAddonMilliseconds);
  connect(timerAddon_, &QTimer::timeout, this, &TformMain::timerAddonTimer);
  askLock = [this] {
    return QMessageBox::question(this, kProductName, "Do you wish to lock the topic so receivers cannot make changes?",
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };

  buildActions();
  NameControlsForAccessibility(*this);
}

void TformMain::buildActions() {
  auto* help = new QAction("Help", this);
  help->setObjectName("MVHelp");
  help->setShortcut(QKeySequence::HelpContents);
  connect(help, &QAction::triggered, this, &TformMain::buttonHelpClick);
  addAction(help);

  auto* save = new QAction("&Save", this);
  save->setObjectName("MVSave");
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, &TformMain::MVSave);
  auto* exit = new QAction("E&xit", this);
  exit->setObjectName("MVExit");
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QUndoStack& undo = session_->workspace.undoStack();
  QAction* undoAction = undo.createUndoAction(this, "Undo");
  undoAction->setObjectName("MVUndo");
  undoAction->setShortcut(QKeySequence::Undo);
  QAction* redoAction = undo.createRedoAction(this, "Redo");
  redoAction->setObjectName("MVRedo");
  redoAction->setShortcuts({QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)});
  addActions({save, exit, undoAction, redoAction});
  actions_->fillMenuBar(*menuBar(), save, exit, undoAction, redoAction);
  auto* exportCalendar = new QAction("Export &calendar...", this);
  exportCalendar->setObjectName("MVExportCalendar");
  connect(exportCalendar, &QAction::triggered, this, &TformMain::exportCalendarClick);
  menuBar()->findChild<QMenu*>("menuFile")->insertAction(exit, exportCalendar);
  menuBar()->findChild<QMenu*>("menuFile")->insertActions(exit, panelSoftware_->menuActions());
  auto* openInViewer = new QAction("Open in &viewer...", this);
  openInViewer->setObjectName("actionOpenInViewer");
  connect(openInViewer, &QAction::triggered, this, [this] { AskAndShowFileInViewer(*viewers_, this, ReportTo(session_->log)); });
  menuBar()->findChild<QMenu*>("menuFile")->insertAction(exit, openInViewer);
  QMenu* edit = menuBar()->findChild<QMenu*>("menuEdit");
  edit->addSeparator();
  edit->addActions({panelSearch_->findAction(), panelSearch_->nextAction(), panelSearch_->previousAction()});
  addActions({panelSearch_->nextAction(), panelSearch_->previousAction()});
  connect(panelSearch_, &TSearchPanel::hitChosen, this, &TformMain::showSearchHit);
  connect(panelToDoNew_, &TTopicPagesPanel::pageSaved, &panelSearch_->service(), &SearchService::pageSaved);
  // A rename or an undo may change what the detail area shows of the selected topic.
  connect(&undo, &QUndoStack::indexChanged, this, &TformMain::treeMainChange);
}

TformMain::~TformMain() {
  // Its handler calls this window: the channel goes first. The document outlives the model
  // for a moment; its last signals must not reach a window being taken apart.
  channels_.dispose(kCommandChannel);
  channels_.setLog(nullptr);
  delete panelSearch_;  // it observes the document's tree, which goes before the window's children
  disconnect(&session_->workspace.undoStack(), nullptr, this, nullptr);
  session_->workspace.removePagesReplacedListener(pagesListener_);
  disconnect(&session_->workspace.undoStack(), nullptr, actions_, nullptr);
}

bool TformMain::listenForCommands() {
  // Handled after the listener has finished with the connection, so a "close" never pulls the
  // channel away under it.
  return !CreateServerChannel(channels_, kCommandChannel, [this](const ChannelMessages& lines) {
    QMetaObject::invokeMethod(this, [this, lines] { handleCommands(lines); }, Qt::QueuedConnection);
  });
}

void TformMain::buildLayout() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);

  splitterFoot_ = new QSplitter(Qt::Vertical, central);
  splitterFoot_->setObjectName("splitterFoot");
  splitterTree_ = new QSplitter(Qt::Horizontal, splitterFoot_);
  splitterTree_->setObjectName("splitterTree");

  auto* panelTree = new QWidget(splitterTree_);
  panelTree->setObjectName("panelTree");
  auto* treeLayout = new QVBoxLayout(panelTree);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  treeMain_ = new QTreeView(panelTree);
  treeMain_->setObjectName("treeMain");
  treeMain_->setAccessibleName("Topics");
  treeMain_->setModel(model_.get());
  treeMain_->setItemDelegate(new TopicItemDelegate(treeMain_));
  treeMain_->setIndentation(24);
  treeMain_->setIconSize(TopicTreeModel::DecorationSize());
  treeMain_->setUniformRowHeights(true);
  treeMain_->setAlternatingRowColors(true);
  treeMain_->setSelectionBehavior(QAbstractItemView::SelectRows);
  treeMain_->setDragEnabled(true);
  treeMain_->setAcceptDrops(true);
  setAcceptDrops(true);  // files for the checklist on show
  treeMain_->setDropIndicatorShown(true);
  treeMain_->setDragDropMode(QAbstractItemView::DragDrop);
  treeMain_->setDefaultDropAction(Qt::MoveAction);
  // A double click is for the topic's details, not for opening the node; captions are
  // renamed with F2 or right after a topic is added.
  treeMain_->setExpandsOnDoubleClick(false);
  treeMain_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  treeMain_->setContextMenuPolicy(Qt::CustomContextMenu);
  QPalette palette = treeMain_->palette();
  palette.setColor(QPalette::AlternateBase, QColor(232, 244, 244));
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Highlight, QColor(229, 229, 229));
  palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(229, 229, 229));
  treeMain_->setPalette(palette);
  treeMain_->header()->setStretchLastSection(false);
  treeMain_->header()->setSectionResizeMode(TopicTreeModel::kTopicColumn, QHeaderView::Stretch);
  treeMain_->header()->resizeSection(TopicTreeModel::kDueColumn, 90);
  treeMain_->header()->resizeSection(TopicTreeModel::kStatusColumn, 90);
  treeLayout->addWidget(treeMain_);
  panelSearch_ = new TSearchPanel(session_->workspace, panelTree);
  treeLayout->insertWidget(0, panelSearch_);
  panelTree->addAction(panelSearch_->findAction());
  connect(treeMain_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { treeMainChange(); });
  connect(treeMain_, &QWidget::customContextMenuRequested, this, &TformMain::showContextMenu);
  actions_ = new TopicActions(session_->workspace, *model_, *treeMain_, *this);
  connect(actions_, &TopicActions::editRequested, this, &TformMain::EditTopicDeadline);
  treeMain_->viewport()->installEventFilter(this);
  connect(actions_, &TopicActions::failed, this,
          [this](const std::string& reason) { session_->log.Report(Result::Failure(reason), "*** The topic cannot be added"); });
  connect(treeMain_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
    treeMainExpandedChange(index, true);
    if (!followingTree_) showExpandedBelow(model_->nodeAt(index));
  });
  connect(treeMain_, &QTreeView::collapsed, this,
          [this](const QModelIndex& index) { treeMainExpandedChange(index, false); });
  connect(model_.get(), &TopicTreeModel::expandedChanged, this, &TformMain::showExpanded);
  // A subtree put back (an undone removal) opens as it was.
  connect(model_.get(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
    for (int row = first; row <= last; ++row) {
      const TopicNode* node = model_->nodeAt(model_->index(row, 0, parent));
      if (node == nullptr || !node->expanded()) continue;
      treeMain_->setExpanded(model_->indexOf(node), true);
      showExpandedBelow(node);
    }
  });

  // The tool bars carry the topic actions, made with the tree above.
  panelTop_ = buildTopPanel();
  layout->addWidget(panelTop_);
  splitterTree_->addWidget(panelTree);
  splitterTree_->addWidget(buildDetailArea());
  splitterTree_->setStretchFactor(1, 1);
  splitterFoot_->addWidget(splitterTree_);
  splitterFoot_->addWidget(buildFoot());
  splitterFoot_->setStretchFactor(0, 1);
  splitterFoot_->setSizes({540, 120});
  splitterTree_->setSizes({460, 540});
  layout->addWidget(splitterFoot_, 1);
  setCentralWidget(central);

  panelEntry_ = new TSummaryPanel(central);
  panelEntry_->hide();
  connect(panelEntry_, &TSummaryPanel::categoryChosen, this, &TformMain::showCategory);
  central->installEventFilter(this);  // the summary follows the window's size
}

QWidget* TformMain::buildTopPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName("panelTop");
  // The tool bars never make the window wider than the screen: on a narrow one the gap before
  // the summary and help buttons goes first.
  panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto button = [&](const char* name) { return ToolButton(panel, name, actions_->action(name)); };
  layout->addWidget(Labelled(panel, "Topic type:",
                             {button("buttonGeneral"), button("buttonInfo"), button("buttonIdea"),
                              button("buttonFinance"), button("buttonEvent"), button("buttonTask")}));
  layout->addWidget(Labelled(panel, "Status:",
                             {button("buttonStatusNotStarted"), button("buttonStatusInProgress"),
                              button("buttonStatusWaiting"), button("buttonStatusFinished"),
                              button("buttonStatusOnHold")}));
  layout->addWidget(Labelled(panel, "Urgency:", {button("buttonUrgent"), button("buttonNotUrgent")}));
  std::vector<QToolButton*> priority = {button("buttonPriorityUp"), button("buttonPriorityDown")};
  for (QToolButton* each : priority) {
    each->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(each, &QWidget::customContextMenuRequested, this, [this, each](const QPoint& at) {
      if (actions_->popPriority()->isEnabled()) actions_->popPriority()->popup(each->mapToGlobal(at));
    });
  }
  layout->addWidget(Labelled(panel, "Priority:", priority));
  layout->addStretch();
  auto* summary = new QToolButton(panel);
  summary->setObjectName("buttonSummary");
  summary->setText("Summary");
  summary->setToolTip("Show Summary");
  summary->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(summary, &QToolButton::clicked, this, &TformMain::buttonSummaryClick);
  auto* popCategory = new QMenu(summary);
  popCategory->setObjectName("popCategory");
  for (int slot = 0; slot < kCategoryCount; ++slot) {
    const auto category = static_cast<Category>(slot);
    connect(popCategory->addAction(WordsOf(category).menuItem), &QAction::triggered, this,
            [this, category] { showCategory(category); });
  }
  // Opening the menu brings the lists up to date, as the summary button does.
  connect(popCategory, &QMenu::aboutToShow, this, [this] { session_->workspace.rebuildDashboard(); });
  connect(summary, &QWidget::customContextMenuRequested, this,
          [summary, popCategory](const QPoint& at) { popCategory->popup(summary->mapToGlobal(at)); });
  layout->addWidget(summary);
  auto* help = new QToolButton(panel);
  help->setObjectName("buttonHelp");
  help->setText("?");
  help->setToolTip("Help (F1)");
  connect(help, &QToolButton::clicked, this, &TformMain::buttonHelpClick);
  layout->addWidget(help);
  return panel;
}

QWidget* TformMain::buildDetailArea() {
  panelDetail_ = new QStackedWidget(splitterTree_);
  panelDetail_->setObjectName("panelDetail");
  panelNone_ = new QWidget(panelDetail_);
  panelNone_->setObjectName("panelNone");

  panelToDoNew_ = new TTopicPagesPanel(*session_, panelDetail_);

  panelNetwork_ = new TNetworkPanel(session_->network, session_->folders.network, session_->preferences.dateFormat,
                                    panelDetail_);
  connect(panelNetwork_, &TNetworkPanel::sendRequested, this, &TformMain::SendTopic);
  connect(panelNetwork_, &TNetworkPanel::connectionChanged, this, [this](bool connected) {
    session_->saveNetworkSettings();
    if (!connected) timerCheckInbox_->stop();
    else if (!timerStart_->isActive() && !closing_) timerCheckInbox_->start();
    actions_->update();
  });

  panelPreferences_ = new TPreferencesPanel(*session_, panelDetail_);
  connect(panelPreferences_, &TPreferencesPanel::dateFormatChanged, this,
          [this] { session_->log.LogMessage("Date format changed"); });

  panelAbout_ = Panel(panelDetail_, "panelAbout", "About");
  labelAbout_ = new QLabel(panelAbout_);
  labelAbout_->setObjectName("labelAbout");
  labelAbout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  panelAbout_->layout()->addWidget(labelAbout_);
  panelSoftware_ = new TSoftwarePanel(panelAbout_);
  panelAbout_->layout()->addWidget(panelSoftware_);
  qobject_cast<QVBoxLayout*>(panelAbout_->layout())->addStretch();

  panelContacts_ = Panel(panelDetail_, "panelContacts", "Contacts");
  auto* gridContacts = new QTableWidget(0, 4, panelContacts_);
  gridContacts->setObjectName("gridContacts");
  gridContacts->setAccessibleName("Contacts");
  gridContacts->setTabKeyNavigation(false);  // Tab leaves the grid; the arrows move in it
  gridContacts->setHorizontalHeaderLabels({"Name", "Phone", "Mail", "Notes"});
  panelContacts_->layout()->addWidget(gridContacts);

  for (QWidget* panel : {panelNone_, static_cast<QWidget*>(panelToDoNew_), static_cast<QWidget*>(panelNetwork_),
                         static_cast<QWidget*>(panelPreferences_), panelAbout_, panelContacts_}) {
    panelDetail_->addWidget(panel);
  }
  return panelDetail_;
}

QWidget* TformMain::buildFoot() {
  auto* panelFoot = new QWidget(splitterFoot_);
  panelFoot->setObjectName("panelFoot");
  auto* layout = new QHBoxLayout(panelFoot);
  layout->setContentsMargins(0, 0, 0, 0);
  reLog_ = new QPlainTextEdit(panelFoot);
  reLog_->setObjectName("reLog");
  reLog_->setReadOnly(true);
  reLog_->setAccessibleName("Log");
  reLog_->setTabChangesFocus(true);
  reLog_->setMaximumBlockCount(2000);
  layout->addWidget(reLog_, 1);
  auto* buttons = new QVBoxLayout();
  auto* buttonMainLog = new QPushButton("Display log", panelFoot);
  buttonMainLog->setObjectName("buttonMainLog");
  connect(buttonMainLog, &QPushButton::clicked, this, &TformMain::buttonMainLogClick);
  auto* buttonClose = new QPushButton("Exit", panelFoot);
  buttonClose->setObjectName("buttonClosel");
  connect(buttonClose, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(buttonMainLog);
  buttons->addWidget(buttonClose);
  buttons->addStretch();
  layout->addLayout(buttons);
  return panelFoot;
}

void TformMain::start() {
  // Lines the channels logged before the window existed arrive here first.
  channels_.setLog([this](const std::string& line) { appendLog(line); });
  session_->start();
  viewers_ = std::make_unique<ViewerRegistry>(
      session_->folders.data, session_->install.product,
      [this](const Result& result, const std::string& message) { session_->log.Report(result, message); });
  panelSoftware_->start(MonitorSettingsFor(*session_), *viewers_,
                        [this](const std::string& line) { session_->log.LogMessage(line); });
  const SystemInfo& system = session_->system;
  labelAbout_->setText(QString("Product: %1\nProgram version: %2\nSystem: %3\nSystem version: %4\nProcessor: %5")
                           .arg(QString::fromStdString(session_->install.product), kProgramVersion,
                                QString::fromStdString(system.system),
                                QString::fromStdString(system.version),
                                QString::fromStdString(system.processor)));
  panelPreferences_->showPreferences();
  exchange_ = std::make_unique<TopicExchange>(session_->workspace, session_->log, session_->folders);
  pagesListener_ = session_->workspace.addPagesReplacedListener(
      [this](const std::string& topicId, const TopicRecord*) { panelToDoNew_->pagesReplaced(topicId); });
  actions_->connectedToShare = [this] { return session_->network.connected; };
  actions_->setColleagueMenu(panelNetwork_->menuSendto());
  panelNetwork_->setDateOrder(session_->preferences.dateFormat);
  panelNetwork_->InitNetworkPanel();
  timerAddon_->start();
  showTree();
  restoreGeometry();
  if (session_->preferences.showSummary) showSummary();
  if (!session_->structureNotice().empty()) {
    auto* box = new QMessageBox(QMessageBox::Warning, kProductName,
                                QString::fromStdString(session_->structureNotice()), QMessageBox::Ok, this);
    box->setObjectName("messageStructureUnreadable");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  }
}

void TformMain::showTree() {
  const TopicTree& tree = session_->workspace.tree();
  showExpandedBelow(nullptr);
  if (tree.topVisible != nullptr) {
    treeMain_->scrollTo(model_->indexOf(tree.topVisible), QAbstractItemView::PositionAtTop);
  }
  if (tree.selected != nullptr) {
    treeMain_->setCurrentIndex(model_->indexOf(tree.selected));
  } else {
    treeMainChange();
  }
}

// The view opens what the tree has open below `top`; meanwhile its own "expanded" signals are
// not followed back. A large tree then costs only what is on show.
void TformMain::showExpandedBelow(const TopicNode* top) {
  const bool outermost = !followingTree_;
  followingTree_ = true;
  model_->openLikeTheTree(*treeMain_, top);
  if (outermost) followingTree_ = false;
}

void TformMain::treeMainChange() {
  TopicNode* node = model_->nodeAt(treeMain_->currentIndex());
  session_->workspace.select(node);
  const TopicRecord* record = node != nullptr ? node->record : nullptr;
  QWidget* panel = panelNone_;
  switch (DetailPanelFor(record)) {
    case DetailPanel::TopicPages:
      panel = panelToDoNew_;
      break;
    case DetailPanel::Network:
      panel = panelNetwork_;
      break;
    case DetailPanel::Preferences:
      panel = panelPreferences_;
      break;
    case DetailPanel::About:
      panel = panelAbout_;
      break;
    case DetailPanel::Contacts:
      panel = panelContacts_;
      break;
    case DetailPanel::None:
      break;
  }
  panelToDoNew_->showTopic(panel == panelToDoNew_ ? node : nullptr);
  panelDetail_->setCurrentWidget(panel);
}

void TformMain::EditTopicDeadline(TopicNode* node) {
  if (node == nullptr || node->record == nullptr || node->record->isSection()) return;
  TformProgress dialog(*node->record, node->hasChildren(), HasSubTasks(*node), session_->preferences.dateFormat, this);
  if (dialog.exec() == QDialog::Accepted) session_->workspace.editTopicOptions(node, dialog.options());
  treeMain_->setFocus();
}

// Over the expander and the images (the indentation guard) a double click is for opening the
// node; over the caption it opens the topic's options.
bool TformMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == centralWidget() && event->type() == QEvent::Resize) {
    panelEntry_->setGeometry(centralWidget()->rect());
    return false;
  }
  if (watched != treeMain_->viewport() || event->type() != QEvent::MouseButtonDblClick) {
    return QMainWindow::eventFilter(watched, event);
  }
  const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
  const QModelIndex index = treeMain_->indexAt(at);
  if (!index.isValid()) return false;
  const QRect caption = treeMain_->visualRect(index.siblingAtColumn(TopicTreeModel::kTopicColumn));
  const bool guard = at.x() <= caption.left() + treeMain_->iconSize().width();
  if (guard) return false;
  treeMain_->setCurrentIndex(index.siblingAtColumn(TopicTreeModel::kTopicColumn));
  EditTopicDeadline(model_->nodeAt(index));
  return true;
}

void TformMain::exportCalendarClick() {
  const QString suggested = QString::fromStdString(JoinPath(session_->folders.data, "tarvo.ics"));
  const QString path = QFileDialog::getSaveFileName(this, "Export calendar", suggested, "iCalendar files (*.ics)");
  if (!path.isEmpty()) exportCalendarTo(path.toStdString());
}

bool TformMain::exportCalendarTo(const std::string& path) {
  const Result written = ExportCalendar(session_->workspace.tree(), path, QDateTime::currentDateTime());
  if (written) session_->log.LogMessage("Calendar exported to " + path);
  return session_->log.Report(written, "*** The calendar cannot be written to " + path);
}

void TformMain::updateSummaryCaptions() {
  for (int slot = 0; slot < kCategoryCount; ++slot) {
    const auto category = static_cast<Category>(slot);
    panelEntry_->setCaption(category,
                            QString::fromStdString(session_->workspace.dashboard().caption(category, session_->workspace)));
  }
}

void TformMain::buttonSummaryClick() {
  session_->workspace.rebuildDashboard();
  showSummary();
}

void TformMain::showSummary() {
  updateSummaryCaptions();
  panelEntry_->setGeometry(centralWidget()->rect());
  panelEntry_->show();
  panelEntry_->raise();
  panelEntry_->setFocus();
}

void TformMain::showCategory(Category category) {
  Workspace& workspace = session_->workspace;
  const std::vector<CategoryEntry> entries = workspace.dashboard().entries(category, workspace);
  std::vector<const TopicRecord*> topics;
  for (const CategoryEntry& entry : entries) topics.push_back(workspace.master().recordOf(entry.uni));
  TformSelection dialog(WordsOf(category).title, topics, this);
  if (dialog.exec() != QDialog::Accepted || dialog.chosen() < 1) return;
  // The dialog was modal, but a record may still have gone (a received change): look it up again.
  const TopicRecord* chosen = workspace.master().recordOf(entries[static_cast<std::size_t>(dialog.chosen() - 1)].uni);
  if (chosen != nullptr) jumpToTopic(chosen->treeNode);
}

void TformMain::jumpToTopic(TopicNode* node) {
  if (node == nullptr) return;
  panelEntry_->hide();
  actions_->expandCommand([this, node] { session_->workspace.reveal(node); });
  treeMain_->setFocus();
}

void TformMain::showSearchHit(const SearchHit& hit) {
  const TopicRecord* record = session_->workspace.master().recordOf(hit.topicId);
  if (record == nullptr) return;
  jumpToTopic(record->treeNode);
  MarkSearchHit(*panelToDoNew_, session_->workspace, hit);
}

// A right click selects the row under the pointer first: the menu is about that topic.
void TformMain::showContextMenu(const QPoint& at) {
  const QModelIndex index = treeMain_->indexAt(at);
  if (index.isValid()) treeMain_->setCurrentIndex(index.siblingAtColumn(TopicTreeModel::kTopicColumn));
  actions_->popMainView()->popup(treeMain_->viewport()->mapToGlobal(at));
}

void TformMain::showExpanded(const QModelIndex& index, bool expanded) {
  if (index.isValid() && treeMain_->isExpanded(index) != expanded) treeMain_->setExpanded(index, expanded);
}

void TformMain::restoreGeometry() {
  const ScreenLayout& screen = session_->screen;
  const QScreen* display = QGuiApplication::primaryScreen();
  const QRect available = display != nullptr ? display->availableGeometry() : QRect(0, 0, 1280, 800);
  setGeometry(MainWindowPlacement(screen, available));
  const int due = screen.dueWidth > 0 ? screen.dueWidth : 90;
  const int info = screen.infoWidth > 0 ? screen.infoWidth : 90;
  treeMain_->header()->resizeSection(TopicTreeModel::kDueColumn, due);
  treeMain_->header()->resizeSection(TopicTreeModel::kStatusColumn, info);
}

void TformMain::storeGeometry() {
  ScreenLayout& screen = session_->screen;
  const QRect frame = geometry();
  screen.top = frame.top();
  screen.left = frame.left();
  screen.width = frame.width();
  screen.height = frame.height();
  screen.treeWidth = splitterTree_->sizes().value(0);
  screen.structWidth = screen.treeWidth - 100;
  screen.topPanel = splitterFoot_->sizes().value(0);
  screen.dueWidth = treeMain_->header()->sectionSize(TopicTreeModel::kDueColumn);
  screen.infoWidth = treeMain_->header()->sectionSize(TopicTreeModel::kStatusColumn);
  const int dataWidth = splitterTree_->width();
  screen.treePercent = dataWidth > 0 ? screen.treeWidth * 100 / dataWidth : 0;
}

void TformMain::appendLog(const std::string& line) {
  reLog_->appendPlainText(QString::fromStdString(line));
  if (echo_ != nullptr) {
    std::fprintf(echo_, "%s\n", line.c_str());
    std::fflush(echo_);
  }
}

void TformMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  keepOnScreen();
  restoreSplitters();
  timerStart_->start();
}

// The placement is made for the window without its frame; once the frame is known, the whole
// window is brought onto the screen if it stands over an edge.
void TformMain::keepOnScreen() {
  const QRect available = screen()->availableGeometry();
  const QRect frame = frameGeometry();
  if (available.contains(frame)) return;
  ScreenLayout asShown;
  asShown.loaded = true;
  asShown.left = frame.left();
  asShown.top = frame.top();
  asShown.width = frame.width();
  asShown.height = frame.height();
  const QRect client = geometry();
  const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
  setGeometry(MainWindowPlacement(asShown, available).marginsRemoved(margins));
}

// The stored sizes are the panes' own: they are given back once the window is laid out, as
// the first pane of each splitter with the rest for the second, so a start and a close leave
// them as they were.
void TformMain::restoreSplitters() {
  const ScreenLayout& screen = session_->screen;
  const auto restore = [](QSplitter* splitter, int first, int whole) {
    if (first <= 0) return;
    const int rest = whole - splitter->handleWidth() - first;
    if (rest > 0) splitter->setSizes({first, rest});
  };
  restore(splitterTree_, screen.treeWidth, splitterTree_->width());
  restore(splitterFoot_, screen.topPanel, splitterFoot_->height());
}

void TformMain::timerStartTimer() {
  // The search index gathers its texts once the window is on show and settled, so a large tree
  // shows no later for it; a search asked before is asked again as the pages are read.
  panelSearch_->startIndex();
  timerSave_->start();
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_ = new QSystemTrayIcon(ProgramIcon(), this);
    tray_->setToolTip(kProductName);
    connect(tray_, &QSystemTrayIcon::messageClicked, this, [this] {
      const TopicRecord* record = session_->workspace.master().recordOf(remindedUni_);
      if (record == nullptr) return;
      showNormal();
      activateWindow();
      jumpToTopic(record->treeNode);
    });
    tray_->show();
  }
  reminders_.check(session_->workspace.tree(), Moment::Now());  // what is due already is not news
  timerDeadline_->start();
  if (session_->network.connected) timerCheckInbox_->start();
  panelSoftware_->runAtStart();
}

void TformMain::timerDeadlineTimer() {
  const Moment now = Moment::Now();
  if (session_->workspace.deadlinePass(now)) actions_->update();
  for (const Reminder& reminder : reminders_.check(session_->workspace.tree(), now)) remind(reminder);
}

void TformMain::remind(const Reminder& reminder) {
  session_->log.LogMessage(reminder.text);
  if (tray_ == nullptr) return;
  remindedUni_ = reminder.uni;
  tray_->showMessage(kProductName, QString::fromStdString(reminder.text), QSystemTrayIcon::Information);
}

// A node the user opened or closed with the mouse becomes the selected one, so the keys act
// where the user just looked; nodes opened by a command, by the keys or to show a selected
// node leave the selection alone.
void TformMain::treeMainExpandedChange(const QModelIndex& index, bool expanded) {
  session_->workspace.setExpanded(model_->nodeAt(index), expanded);
  const bool byMouse = (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
  if (byMouse && !followingTree_ && index.isValid()) treeMain_->setCurrentIndex(index.siblingAtColumn(TopicTreeModel::kTopicColumn));
}

void TformMain::rememberTopNode() {
  TopicNode* top = model_->nodeAt(treeMain_->indexAt(QPoint(1, 1)));
  if (top != nullptr) session_->workspace.setTopVisible(top);
}

void TformMain::timerSaveTimer() {
  rememberTopNode();
  panelToDoNew_->saveOpenPage();
  session_->autosave(true);
}

ExchangeIdentity TformMain::exchangeIdentity() const {
  return {session_->network.resolvedFolder, session_->network.userName};
}

void TformMain::SendTopic(int tag) {
  TopicNode* node = session_->workspace.tree().selected;
  if (node == nullptr || node->record == nullptr || node->record->isSection() || !session_->network.connected) return;
  const bool lock = askLock();
  panelToDoNew_->saveOpenPage();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ExchangeSound sound =
      exchange_->send(node, session_->network.users, tag, lock, exchangeIdentity());
  QApplication::restoreOverrideCursor();
  PlayExchangeSound(sound);
}

void TformMain::holdTreeTimers(bool hold) {
  for (QTimer* timer : {timerSave_, timerDeadline_}) {
    if (hold) timer->stop();
    else if (!closing_) timer->start();
  }
}

void TformMain::timerCheckInboxTimer() {
  if (!session_->network.connected) return;
  if (!SharedFolderReachable(session_->network.resolvedFolder)) {
    panelNetwork_->markDisconnected();
    return;
  }
  if (!exchange_->hasSendFiles(exchangeIdentity())) return;
  holdTreeTimers(true);
  rememberTopNode();
  panelToDoNew_->saveOpenPage();
  const ReceiveOutcome outcome = exchange_->receive(exchangeIdentity());
  if (outcome.sendFiles > 0) {
    treeMainChange();  // the pages on show may have come with the receive
    actions_->update();
  }
  PlayExchangeSound(outcome.sound);
  holdTreeTimers(false);
}

void TformMain::timerAddonTimer() {
  timerCheckInbox_->stop();
  holdTreeTimers(true);
  rememberTopNode();
  panelToDoNew_->saveOpenPage();
  const TopicExchange::AddonPass pass = exchange_->mergeAddonPacks(session_->folders.program);
  if (pass.sound != ExchangeSound::None) {
    treeMainChange();
    actions_->update();
  }
  PlayExchangeSound(pass.sound);
  // Until a first pack is delivered the folder is looked at every few seconds; then hourly.
  if (pass.foundPacks) timerAddon_->setInterval(kLaterAddonMilliseconds);
  holdTreeTimers(false);
  if (session_->network.connected && !closing_) timerCheckInbox_->start();
}

void TformMain::PlayExchangeSound(ExchangeSound sound) {
  if (sound == ExchangeSound::None || !session_->preferences.soundEffects) return;
  const std::string path = JoinPath(JoinPath(session_->folders.program, "Sounds"), ExchangeSoundFile(sound));
  if (!fileSystem().exists(path)) return;
  session_->log.Report(sounds_.play(path, this), "*** No sound is played");
}

void TformMain::MVSave() {
  rememberTopNode();
  panelToDoNew_->saveOpenPage();
  session_->autosave(false);
}

void TformMain::buttonHelpClick() {
  const std::string& page = session_->folders.helpFile;
  if (!fileSystem().exists(page)) return;  // an installation without its help page
  session_->log.Report(OpenWithShell(page), "*** The help page cannot be opened");
}

const QIcon& ProgramIcon() {
  static const QIcon icon = [] {
    TopicTreeModel::Images();  // registers the artwork
    return QIcon(":/icons/tarvo.svg");
  }();
  return icon;
}

void TformMain::buttonMainLogClick() {
  const std::string& log = session_->folders.mainLog;
  if (viewers_ == nullptr) return;
  // A fresh data folder has no log yet: the viewer shows it empty, and fills as lines come.
  TformTextDisplay* viewer = viewers_->OpenTextDisplay(log, "text");
  viewer->setTitle(QString::fromStdString("Log file - " + LogTimeText()));
  viewer->setClearAllowed(true);
  viewer->showViewer();
}

void TformMain::handleCommands(const ChannelMessages& lines) {
  DispatchInstanceCommands(
      lines, {.wake =
                  [this] {
                    showNormal();
                    raise();
                    activateWindow();
                    channels_.log("Brought to the front by another start");
                  },
              .close =
                  [this] {
                    close();
                    QApplication::quit();
                  },
              .run =
                  [this](const RunRequest& request) {
                    session_->log.Report(StartRunRequest(request).status(),
                                         "*** The program asked for cannot be started");
                  },
              .view = [this](const std::string& path) { ShowFileInViewer(*viewers_, path, this, ReportTo(session_->log)); }});
}

// Files from the file manager become checklist items while a checklist page is on show.
void TformMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && panelToDoNew_->acceptsDrops()) event->acceptProposedAction();
}

void TformMain::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  panelToDoNew_->dropPaths(paths);
  event->acceptProposedAction();
}

void TformMain::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    timerStart_->stop();
    timerSave_->stop();
    timerDeadline_->stop();
    timerCheckInbox_->stop();
    timerAddon_->stop();
    panelSoftware_->closeDown();
    if (viewers_ != nullptr) viewers_->closeAll();
    rememberTopNode();
    panelToDoNew_->saveOpenPage();
    storeGeometry();
    session_->closeDown();
  }
  event->accept();
}

}  // namespace tarvo
