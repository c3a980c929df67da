#include "ui/pages/notes_page.h"

#include <QAction>
#include <QFontDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>

#include "base/text_scan.h"
#include "ui/pages/page_action.h"
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

// One indent step: 24 screen pixels.
constexpr qreal kIndentStep = 24;
const QColor kIndicatorOn(0x00, 0xD9, 0xFF);  // 0xFFD900 as blue-green-red

QFrame* Indicator(QWidget* parent, const char* name, const QString& hint) {
  auto* outer = new QFrame(parent);
  outer->setObjectName(QString(name).replace("Inner", "Outer"));
  outer->setFixedSize(22, 22);
  outer->setToolTip(hint);
  auto* inner = new QFrame(outer);
  inner->setObjectName(name);
  inner->setToolTip(hint);
  inner->setGeometry(4, 4, 14, 14);
  inner->setAutoFillBackground(true);
  return inner;
}

void Fill(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
}

}  // namespace

TNotesPage::TNotesPage(QWidget* parent) : QWidget(parent) {
  setObjectName("pageNotes");
  RichEdit1_ = new QTextEdit(this);
  RichEdit1_->setObjectName("RichEdit1");
  RichEdit1_->setAccessibleName("Notes");
  RichEdit1_->setAcceptRichText(true);
  // Tab moves on to the next control, so the keyboard alone can leave the note; paragraphs
  // are indented with Ctrl+M.
  RichEdit1_->setTabChangesFocus(true);
  RichEdit1_->setContextMenuPolicy(Qt::CustomContextMenu);
  RichEdit1_->viewport()->installEventFilter(this);
  RichEdit1_->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(buildToolBar());
  layout->addWidget(RichEdit1_, 1);
  buildPopup();

  choosePalette = [this](TformHilite::Mode mode) -> std::optional<PaletteChoice> {
    const QColor background = RichEdit1_->textCursor().charFormat().background().color();
    TformHilite dialog(RichEdit1_->textCursor().selectedText(),
                       background.alpha() == 0 ? QColor(Qt::white) : background, mode, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return PaletteChoice{dialog.chosenText(), dialog.chosenBack()};
  };
  connect(RichEdit1_, &QTextEdit::textChanged, this, [this] {
    if (!loading_) emit edited();
  });
  connect(RichEdit1_->document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) {
            if (!loading_ && !markingLinks_ && added > 0) markLinks(position, position + added);
          });
  connect(RichEdit1_, &QTextEdit::currentCharFormatChanged, this, &TNotesPage::showCharFormat);
  connect(RichEdit1_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popNotes_->popup(RichEdit1_->viewport()->mapToGlobal(at)); });
  showIndicators();
}

QWidget* TNotesPage::buildToolBar() {
  auto* bar = new QWidget(this);
  bar->setObjectName("toolbarNotes");
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  const auto button = [bar, row](QAction* action, const QString& face) {
    auto* tool = new QToolButton(bar);
    action->setIconText(face);  // the face the button keeps as its action changes state
    tool->setDefaultAction(action);
    tool->setAccessibleName(action->text().remove('&'));
    tool->setAutoRaise(true);
    row->addWidget(tool);
    return tool;
  };
  const auto checkable = [](QAction* action) {
    action->setCheckable(true);
    return action;
  };
  button(checkable(AddPageAction(this, "RichEditBold", "&Bold", Qt::CTRL | Qt::Key_B, &TNotesPage::RichEditBold)), "B");
  button(checkable(AddPageAction(this, "RichEditItalic1", "&Italic", Qt::CTRL | Qt::Key_I, &TNotesPage::RichEditItalic1)), "I");
  button(checkable(AddPageAction(this, "RichEditUnderline1", "&Underline", Qt::CTRL | Qt::Key_U, &TNotesPage::RichEditUnderline1)), "U");
  button(checkable(AddPageAction(this, "RichEditStrikeOut1", "&Strikeout", Qt::CTRL | Qt::Key_K, &TNotesPage::RichEditStrikeOut1)), "S");
  button(AddPageAction(this, "RichEditBullets", "Paragraph bullets", {}, &TNotesPage::RichEditBullets), "•");
  button(AddPageAction(this, "RichEditNumber", "Paragraph numbers", {}, &TNotesPage::RichEditNumber), "1.");
  button(AddPageAction(this, "RichEditIndent", "Paragraph indent", Qt::CTRL | Qt::Key_M, &TNotesPage::RichEditIndent), "→");
  button(AddPageAction(this, "RichEditOutDent", "Paragraph outdent", Qt::CTRL | Qt::Key_N, &TNotesPage::RichEditOutDent), "←");
  button(AddPageAction(this, "RichEditFont", "Chant font settings", {}, &TNotesPage::RichEditFont), "F");
  // The tool button stays down while the highlighter is active; Ctrl+H acts on its state
  // without flipping it.
  AddPageAction(this, "TextColour", "Highlight text", Qt::CTRL | Qt::Key_H, &TNotesPage::TextColour);
  buttonHighlight_ = new QToolButton(bar);
  buttonHighlight_->setObjectName("buttonHighlight");
  buttonHighlight_->setText("H");
  buttonHighlight_->setToolTip("Highlight text (Ctrl+H)");
  buttonHighlight_->setAccessibleName("Highlighter");
  buttonHighlight_->setCheckable(true);
  buttonHighlight_->setAutoRaise(true);
  connect(buttonHighlight_, &QToolButton::clicked, this, [this] { setToolDown(buttonHighlight_->isChecked()); TextColour(); });
  row->addWidget(buttonHighlight_);
  panelForeInner_ = Indicator(bar, "panelForeInner", "Highlight text colour");
  panelBackInner_ = Indicator(bar, "panelBackInner", "Highlight background colour");
  for (QFrame* inner : {panelForeInner_, panelBackInner_}) {
    inner->installEventFilter(this);
    inner->parentWidget()->installEventFilter(this);
    row->addWidget(inner->parentWidget());
  }
  button(AddPageAction(this, "RichEditPrint", "Print", Qt::CTRL | Qt::Key_P, &TNotesPage::printRequested), "Print");
  button(AddPageAction(this, "RichEditSaveAs", "Save as a Word document", Qt::CTRL | Qt::Key_O, &TNotesPage::saveAsRequested),
         "Save as");
  row->addStretch();
  return bar;
}

void TNotesPage::buildPopup() {
  popNotes_ = new QMenu(this);
  popNotes_->setObjectName("popNotes");
  popNotes_->addAction(AddPageAction(this, "NotesChangeTitle", "Change page title", Qt::CTRL | Qt::Key_T,
                                  &TNotesPage::changeTitleRequested));
  popNotes_->addSeparator();
  // The editor answers these keys itself; the items show them and do the same.
  const auto editorItem = [this](const QString& caption, const QKeySequence& key, void (QTextEdit::*slot)()) {
    QAction* action = popNotes_->addAction(caption, RichEdit1_, slot);
    action->setText(caption + "\t" + key.toString(QKeySequence::NativeText));
  };
  editorItem("Undo", QKeySequence::Undo, &QTextEdit::undo);
  editorItem("Select all", QKeySequence::SelectAll, &QTextEdit::selectAll);
  editorItem("Copy", QKeySequence::Copy, &QTextEdit::copy);
  editorItem("Cut", QKeySequence::Cut, &QTextEdit::cut);
  editorItem("Paste", QKeySequence::Paste, &QTextEdit::paste);
  popNotes_->addSeparator();
  QAction* toggle = popNotes_->addAction("Switch highlighting on/off\tCtrl+H", this, &TNotesPage::ToggleHighLight);
  toggle->setObjectName("ToggleHighLight");
  popNotes_->addAction(AddPageAction(this, "Removehighlight1", "Remove highlighting", Qt::CTRL | Qt::Key_R,
                                  &TNotesPage::Removehighlight1));
  popNotes_->addSeparator();
  QAction* print = popNotes_->addAction("Print", this, &TNotesPage::printRequested);
  print->setObjectName("NotesPrint");
}

void TNotesPage::beginLoading() {
  loading_ = true;
  RichEdit1_->clear();
  RichEdit1_->setCurrentCharFormat(QTextCharFormat());  // nothing carries over from the last note
}

void TNotesPage::endLoading() {
  RichEdit1_->document()->setModified(false);
  RichEdit1_->document()->clearUndoRedoStacks();
  loading_ = false;
  setToolDown(false);
}

void TNotesPage::setReadOnly(bool readOnly) {
  RichEdit1_->setReadOnly(readOnly);
  for (QAction* action : actions()) {
    if (action->objectName() != "RichEditPrint" && action->objectName() != "RichEditSaveAs") action->setEnabled(!readOnly);
  }
}

void TNotesPage::setHighlighter(const HighlighterState& state) {
  highlighter_ = state;
  showIndicators();
}

bool TNotesPage::highlighterActive() const { return buttonHighlight_->isChecked(); }

void TNotesPage::showCharFormat() {
  const QTextCharFormat format = RichEdit1_->currentCharFormat();
  findChild<QAction*>("RichEditBold")->setChecked(format.fontWeight() >= QFont::Bold);
  findChild<QAction*>("RichEditItalic1")->setChecked(format.fontItalic());
  findChild<QAction*>("RichEditUnderline1")->setChecked(format.fontUnderline());
  findChild<QAction*>("RichEditStrikeOut1")->setChecked(format.fontStrikeOut());
}

void TNotesPage::mergeFormat(const QTextCharFormat& format) {
  QTextCursor cursor = RichEdit1_->textCursor();
  cursor.mergeCharFormat(format);
  RichEdit1_->mergeCurrentCharFormat(format);
}

// Each button sets what it shows: down gives the style, up takes it away.
void TNotesPage::RichEditBold() {
  QTextCharFormat format;
  format.setFontWeight(findChild<QAction*>("RichEditBold")->isChecked() ? QFont::Bold : QFont::Normal);
  mergeFormat(format);
}

void TNotesPage::RichEditItalic1() {
  QTextCharFormat format;
  format.setFontItalic(findChild<QAction*>("RichEditItalic1")->isChecked());
  mergeFormat(format);
}

void TNotesPage::RichEditUnderline1() {
  QTextCharFormat format;
  format.setFontUnderline(findChild<QAction*>("RichEditUnderline1")->isChecked());
  mergeFormat(format);
}

void TNotesPage::RichEditStrikeOut1() {
  QTextCharFormat format;
  format.setFontStrikeOut(findChild<QAction*>("RichEditStrikeOut1")->isChecked());
  mergeFormat(format);
}

void TNotesPage::toggleList(int style) {
  QTextCursor cursor = RichEdit1_->textCursor();
  cursor.beginEditBlock();
  if (QTextList* list = cursor.currentList(); list != nullptr && list->format().style() == style) {
    // Already in such a list: the paragraphs become plain ones again.
    const QTextBlock first = RichEdit1_->document()->findBlock(cursor.selectionStart());
    const QTextBlock last = RichEdit1_->document()->findBlock(cursor.selectionEnd());
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
      if (QTextList* owner = block.textList()) owner->remove(block);
      QTextCursor at(block);
      QTextBlockFormat plain = block.blockFormat();
      plain.setIndent(0);
      at.setBlockFormat(plain);
      if (block == last) break;
    }
  } else {
    QTextListFormat format;
    format.setStyle(static_cast<QTextListFormat::Style>(style));
    cursor.createList(format);
  }
  cursor.endEditBlock();
}

void TNotesPage::RichEditBullets() { toggleList(QTextListFormat::ListDisc); }
void TNotesPage::RichEditNumber() { toggleList(QTextListFormat::ListDecimal); }

void TNotesPage::stepIndent(int steps) {
  QTextCursor cursor = RichEdit1_->textCursor();
  QTextBlockFormat format = cursor.blockFormat();
  format.setLeftMargin(std::max<qreal>(0, format.leftMargin() + steps * kIndentStep));
  cursor.setBlockFormat(format);
}

void TNotesPage::RichEditFont() {
  bool confirmed = false;
  const QFont font = QFontDialog::getFont(&confirmed, RichEdit1_->currentCharFormat().font(), this);
  if (!confirmed) return;
  QTextCharFormat format;
  format.setFont(font);
  mergeFormat(format);
}

// ---- The highlighter

void TNotesPage::setToolDown(bool down) {
  buttonHighlight_->setChecked(down);
  RichEdit1_->viewport()->setCursor(down ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void TNotesPage::showIndicators() {
  const auto show = [](QFrame& inner, int colour, bool on) {
    Fill(*inner.parentWidget(), on ? kIndicatorOn : QColor(Qt::white));
    Fill(inner, colour == kNoColour ? QColor(Qt::white) : ColourOf(colour));
  };
  show(*panelForeInner_, highlighter_.textColour, highlighter_.textOn);
  show(*panelBackInner_, highlighter_.backColour, highlighter_.backOn);
}

// The colours that are on go onto the selection, which then collapses to its end.
void TNotesPage::applyHighlight() {
  QTextCursor cursor = RichEdit1_->textCursor();
  if (!cursor.hasSelection()) return;
  QTextCharFormat format;
  if (highlighter_.textOn && highlighter_.textColour != kNoColour) format.setForeground(ColourOf(highlighter_.textColour));
  if (highlighter_.backOn && highlighter_.backColour != kNoColour) format.setBackground(ColourOf(highlighter_.backColour));
  cursor.mergeCharFormat(format);
  cursor.clearSelection();
  RichEdit1_->setTextCursor(cursor);
}

void TNotesPage::clearHighlight() {
  QTextCursor cursor = RichEdit1_->textCursor();
  if (!cursor.hasSelection()) return;
  QTextCharFormat format;
  format.setForeground(RichEdit1_->palette().color(QPalette::Text));
  format.setBackground(Qt::white);
  cursor.mergeCharFormat(format);
}

void TNotesPage::TextColour() {
  if (highlighter_.textColour == kNoColour && highlighter_.backColour == kNoColour) {
    openPalette(TformHilite::Mode::Background);
    return;
  }
  if (buttonHighlight_->isChecked()) {
    highlighter_.textOn = highlighter_.textColour != kNoColour;
    highlighter_.backOn = highlighter_.backColour != kNoColour;
    applyHighlight();
  } else {
    highlighter_.textOn = highlighter_.backOn = false;
    clearHighlight();
  }
  showIndicators();
  emit highlighterChanged();
}

void TNotesPage::ToggleHighLight() {
  setToolDown(!buttonHighlight_->isChecked());
  TextColour();
}

void TNotesPage::Removehighlight1() {
  setToolDown(false);
  clearHighlight();
  highlighter_.textOn = highlighter_.backOn = false;
  showIndicators();
  emit highlighterChanged();
}

void TNotesPage::indicatorClick(bool textIndicator) {
  const int colour = textIndicator ? highlighter_.textColour : highlighter_.backColour;
  if (colour == kNoColour) {
    openPalette(textIndicator ? TformHilite::Mode::Text : TformHilite::Mode::Background);
    return;
  }
  bool& on = textIndicator ? highlighter_.textOn : highlighter_.backOn;
  on = !on;
  if (on) {
    setToolDown(true);
    applyHighlight();
  } else if (!highlighter_.textOn && !highlighter_.backOn) {
    setToolDown(false);
  }
  showIndicators();
  emit highlighterChanged();
}

void TNotesPage::indicatorDoubleClick(bool textIndicator) {
  openPalette(textIndicator ? TformHilite::Mode::Text : TformHilite::Mode::Background);
}

void TNotesPage::openPalette(TformHilite::Mode mode) {
  const std::optional<PaletteChoice> choice = choosePalette(mode);
  if (!choice) {
    setToolDown(false);
    return;
  }
  const int background = BgrOf(Qt::white);
  if (choice->text != kNoColour && choice->text != background) {
    highlighter_.textColour = choice->text;
    highlighter_.textOn = true;
  }
  if (choice->back != kNoColour && choice->back != background) {
    highlighter_.backColour = choice->back;
    highlighter_.backOn = true;
  }
  setToolDown(true);
  applyHighlight();
  showIndicators();
  emit highlighterChanged();
}

// Addresses and file paths typed into a note become links as the paragraph is written.
void TNotesPage::markLinks(int from, int to) {
  markingLinks_ = true;
  QTextDocument& document = *RichEdit1_->document();
  // What was typed next to a link took on its format; it is plain text until found a link.
  QTextCursor typed(&document);
  typed.setPosition(from);
  typed.setPosition(std::min(to, document.characterCount() - 1), QTextCursor::KeepAnchor);
  if (typed.charFormat().isAnchor()) {
    QTextCharFormat plain;
    plain.setAnchor(false);
    plain.setAnchorHref(QString());
    plain.setForeground(RichEdit1_->palette().color(QPalette::Text));
    plain.setFontUnderline(false);
    typed.mergeCharFormat(plain);
  }
  const QTextBlock last = document.findBlock(std::max(from, to - 1));
  for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
    const QString text = block.text();
    const std::string bytes = text.toStdString();
    std::size_t offset = 0;
    while (offset < bytes.size()) {
      const LinkScan scan = FindLink(std::string_view(bytes).substr(offset));
      if (!scan.link.found) break;
      const std::size_t startByte = offset + static_cast<std::size_t>(scan.link.start - 1);
      const std::size_t lengthBytes = static_cast<std::size_t>(scan.link.length);
      const int start = static_cast<int>(QString::fromStdString(bytes.substr(0, startByte)).size());
      const int length = static_cast<int>(QString::fromStdString(bytes.substr(startByte, lengthBytes)).size());
      QTextCursor link(&document);
      link.setPosition(block.position() + start);
      link.setPosition(block.position() + start + length, QTextCursor::KeepAnchor);
      const QString target = QString::fromStdString(scan.link.target);
      if (link.charFormat().anchorHref() != target || !link.charFormat().isAnchor()) {
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorHref(target);
        format.setForeground(QColor(0x00, 0x00, 0xFF));
        format.setFontUnderline(true);
        link.mergeCharFormat(format);
      }
      offset = scan.next < 1 ? bytes.size() : offset + static_cast<std::size_t>(scan.next - 1);
    }
    if (block == last) break;
  }
  markingLinks_ = false;
}

void TNotesPage::openLinkAt(const QPoint& at) {
  QTextCursor cursor = RichEdit1_->cursorForPosition(at);
  const QString target = RichEdit1_->anchorAt(at);
  if (target.isEmpty()) return;
  // The whole run of the link is selected while it opens, then the selection collapses.
  QTextBlock block = cursor.block();
  for (QTextBlock::iterator part = block.begin(); !part.atEnd(); ++part) {
    const QTextFragment fragment = part.fragment();
    if (fragment.charFormat().anchorHref() != target || !fragment.contains(cursor.position())) continue;
    cursor.setPosition(fragment.position());
    cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
  }
  RichEdit1_->setTextCursor(cursor);
  emit openRequested(target);
  cursor.clearSelection();
  RichEdit1_->setTextCursor(cursor);
}

bool TNotesPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == RichEdit1_->viewport()) {
    if (event->type() == QEvent::MouseButtonRelease && buttonHighlight_->isChecked()) {
      QMetaObject::invokeMethod(this, &TNotesPage::applyHighlight, Qt::QueuedConnection);
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
      if (!RichEdit1_->anchorAt(at).isEmpty()) {
        openLinkAt(at);
        return true;
      }
    }
  } else if (watched == RichEdit1_ && event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && buttonHighlight_->isChecked()) {
    setToolDown(false);
    return true;
  } else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
    const bool text = watched == panelForeInner_ || watched == panelForeInner_->parentWidget();
    const bool back = watched == panelBackInner_ || watched == panelBackInner_->parentWidget();
    if (text || back) {
      if (event->type() == QEvent::MouseButtonDblClick) indicatorDoubleClick(text);
      else indicatorClick(text);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvo
