#pragma once

// The notes page of a topic: the rich-text editor with its formatting commands and keys, the
// two-colour highlighter with its palette, links that open on a double click, and the popup
// menu. The page says `edited` when the text changes; the caller saves it.

#include <QWidget>
#include <functional>
#include <optional>

#include "ui/pages/highlight_colours.h"
#include "ui/pages/highlight_dialog.h"

class QAction;
class QFrame;
class QMenu;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

namespace tarvo {

class TNotesPage : public QWidget {
  Q_OBJECT

 public:
  explicit TNotesPage(QWidget* parent = nullptr);

  [[nodiscard]] QTextEdit& editor() { return *RichEdit1_; }
  // A note shown afresh: not an edit, and the highlighter starts switched off.
  void beginLoading();
  void endLoading();
  void setReadOnly(bool readOnly);
  void setHighlighter(const HighlighterState& state);
  [[nodiscard]] const HighlighterState& highlighter() const { return highlighter_; }
  [[nodiscard]] bool highlighterActive() const;

  // The palette's answer, or nothing when cancelled; a dialog unless a test puts its own.
  struct PaletteChoice {
    int text = kNoColour;
    int back = kNoColour;
  };
  std::function<std::optional<PaletteChoice>(TformHilite::Mode)> choosePalette;

  // Commands.
  void RichEditBold();
  void RichEditItalic1();
  void RichEditUnderline1();
  void RichEditStrikeOut1();
  void RichEditBullets();
  void RichEditNumber();
  void RichEditIndent() { stepIndent(+1); }
  void RichEditOutDent() { stepIndent(-1); }
  void RichEditFont();
  void TextColour();
  void ToggleHighLight();
  void Removehighlight1();
  // A click (or double click) on the text or background indicator.
  void indicatorClick(bool textIndicator);
  void indicatorDoubleClick(bool textIndicator);
  [[nodiscard]] QMenu& popup() { return *popNotes_; }

 signals:
  void edited();
  void highlighterChanged();
  void openRequested(const QString& target);
  void changeTitleRequested();
  void printRequested();
  void saveAsRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildToolBar();
  void buildPopup();
  void showCharFormat();
  void mergeFormat(const QTextCharFormat& format);
  void toggleList(int style);
  void stepIndent(int steps);
  void openPalette(TformHilite::Mode mode);
  void applyHighlight();
  void clearHighlight();
  void setToolDown(bool down);
  void showIndicators();
  void openLinkAt(const QPoint& at);
  void markLinks(int from, int to);

  QTextEdit* RichEdit1_;
  QToolButton* buttonHighlight_;
  QFrame* panelForeInner_;
  QFrame* panelBackInner_;
  QMenu* popNotes_;
  HighlighterState highlighter_;
  bool loading_ = false;
  bool markingLinks_ = false;
};

}  // namespace tarvo
