#pragma once

// The pages of the topic on show: their tabs, the checklist or notes page of the tab chosen,
// the page's last change and the lock of a locked topic. Leaving a page or the topic, the
// periodic save and closing save the page that changed; a checklist's ticks drive the topic's
// progress through the workspace.

#include <QWidget>
#include <memory>

#include "base/result.h"

#include "content/topic_pages.h"

class QLabel;
class QTextDocument;
class QTabBar;

namespace tarvo {

class Session;
class TChecklistPage;
class TNotesPage;
class TopicNode;
struct TopicRecord;

class TTopicPagesPanel : public QWidget {
  Q_OBJECT

 public:
  TTopicPagesPanel(Session& session, QWidget* parent = nullptr);

  // Saves the open page of the topic shown before, then shows this topic's pages (null: none).
  void showTopic(TopicNode* node);
  // Saves the page on show when it changed (the periodic save, Save, and closing).
  void saveOpenPage();
  // The files of the topic's pages were replaced from outside (a receive, its undo): what the
  // panel shows of them is dropped unsaved, and the topic is shown again when next selected.
  void pagesReplaced(const std::string& topicId);
  // Files dropped on the window become checklist items while a checklist page is on show.
  [[nodiscard]] bool acceptsDrops() const;
  void dropPaths(const QStringList& paths);

  [[nodiscard]] TChecklistPage& checklist() { return *checklist_; }
  [[nodiscard]] TNotesPage& notes() { return *notes_; }
  [[nodiscard]] TopicPage* currentPage();
  [[nodiscard]] const TopicPage* currentPage() const;
  void tabsDataChange(int index);
  void changePageTitle();
  // The page document on paper (a dialog) or as a word-processor file.
  void printPage();
  void savePageAs();
  // The page document of the page on show; null when none is.
  std::unique_ptr<QTextDocument> pageDocument();
  Result saveDocumentAs(const QString& fileName);

 signals:
  // A page's content was saved with changes (the search index reads it again).
  void pageSaved(const std::string& topicId, const tarvo::TopicPage& page);

 private:
  void showHeading(const TopicRecord& record);
  void showTabs();
  void loadPage(TopicPage& page);
  void pageEdited();
  void checklistEdited();
  void showDateChanged();
  void openTarget(const QString& target);

  Session& session_;
  QLabel* labelTopicName_;
  QLabel* imageLock_;
  QLabel* labelDateChanged_;
  QTabBar* tabsData_;
  TChecklistPage* checklist_;
  TNotesPage* notes_;
  QWidget* pageArea_;
  TopicNode* node_ = nullptr;
  TopicPages* pages_ = nullptr;
  int shownTab_ = -1;
  bool locked_ = false;   // the topic on show is locked: its pages are read-only
  bool showing_ = false;  // tabs being filled: a change of tab is not the user's
};

}  // namespace tarvo
