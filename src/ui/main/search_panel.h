#pragma once

// The search box over the tree: as the user types, the topics whose title, notes or checklist
// hold the words are listed with their place in the tree, where the words were found and a
// snippet with the match marked. Enter or a click shows the topic (the window selects it,
// opens the page and marks the match) and closes the box; F3 and Shift+F3 go on to the next
// and previous result, with the box open or not; Esc closes the box and gives the focus back
// to where it was.
//
// The panel owns the search service, which keeps the index current as an observer of the
// workspace's tree; it must be destroyed before the workspace.

#include <QFrame>
#include <memory>

#include "workspace/search/search_service.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

namespace tarvo {

class TTopicPagesPanel;
class Workspace;

class TSearchPanel : public QFrame {
  Q_OBJECT

 public:
  TSearchPanel(Workspace& workspace, QWidget* parent);
  ~TSearchPanel() override;

  // Builds the index of the loaded workspace in the background.
  void startIndex();
  // Shows the box with its text selected, remembering where the focus was.
  void openBox();
  // Hides the box; the focus goes back to where it was when the box opened.
  void closeBox();
  // Shows the result `by` places after the current one (wrapping), as Enter would.
  void step(int by);

  // "Find…" (Ctrl+F within the widget the action is added to), "Find next" (F3), "Find
  // previous" (Shift+F3).
  [[nodiscard]] QAction* findAction() const { return find_; }
  [[nodiscard]] QAction* nextAction() const { return next_; }
  [[nodiscard]] QAction* previousAction() const { return previous_; }
  [[nodiscard]] SearchService& service() { return *service_; }
  [[nodiscard]] QLineEdit& box() { return *box_; }
  [[nodiscard]] QListWidget& results() { return *list_; }

 signals:
  // The user chose this result: the window shows it.
  void hitChosen(const tarvo::SearchHit& hit);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void typed(const QString& text);
  void showResults(int generation, const SearchResults& results);
  void choose(int row);
  // "Section › Parent › Topic" of a topic still in the tree; empty when it is gone.
  [[nodiscard]] QString placeOf(const std::string& topicId) const;

  Workspace& workspace_;
  std::unique_ptr<SearchService> service_;
  QLineEdit* box_;
  QLabel* status_;
  QListWidget* list_;
  QAction* find_;
  QAction* next_;
  QAction* previous_;
  std::vector<SearchHit> hits_;
  QWidget* returnFocus_ = nullptr;
  QTimer* refreshTimer_ = nullptr;
  int pagesListener_ = 0;
  static constexpr int kRefreshMilliseconds = 300;
};

// Shows a chosen result in the pages panel of its topic, already on show: the page's tab, and
// the match selected in the note or the item made current in the checklist.
void MarkSearchHit(TTopicPagesPanel& pages, Workspace& workspace, const SearchHit& hit);

}  // namespace tarvo
