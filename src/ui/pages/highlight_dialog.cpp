#include "ui/pages/highlight_dialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const char* kSample = "The quick brown fox jumped over the lazy dog.";

void Paint(QFrame& swatch, int bgr, bool framed) {
  swatch.setStyleSheet(QStringLiteral("background-color: %1; border: %2;")
                           .arg(ColourOf(bgr).name(), framed ? "2px solid black" : "1px solid gray"));
}

}  // namespace

TformHilite::TformHilite(const QString& selectedText, const QColor& background, Mode mode, QWidget* parent)
    : QDialog(parent) {
  setObjectName("formHilite");
  setWindowTitle("HighLight Colour");
  auto* grid = new QGridLayout;
  grid->setSpacing(3);
  for (int i = 0; i < 64; ++i) {
    auto* swatch = new QFrame(this);
    swatch->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
    swatch->setFixedSize(24, 24);
    swatch->setToolTip(ColourOf(PaletteColours()[static_cast<std::size_t>(i)]).name());
    Paint(*swatch, PaletteColours()[static_cast<std::size_t>(i)], false);
    swatch->installEventFilter(this);
    swatches_.append(swatch);
    grid->addWidget(swatch, i / 8, i % 8);
  }
  radioText_ = new QRadioButton("Change text colour", this);
  radioText_->setObjectName("radioText");
  radioBack_ = new QRadioButton("Choose highlight colour", this);
  radioBack_->setObjectName("radioBack");
  (mode == Mode::Text ? radioText_ : radioBack_)->setChecked(true);
  preview_ = new QTextEdit(this);
  preview_->setObjectName("RichEdit1");
  preview_->setReadOnly(true);
  preview_->setFixedHeight(60);
  preview_->setPlainText(selectedText.isEmpty() ? QString(kSample) : selectedText);
  QPalette palette = preview_->palette();
  palette.setColor(QPalette::Base, background);
  preview_->setPalette(palette);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("buttonOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("buttonCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(radioText_);
  layout->addWidget(radioBack_);
  layout->addWidget(new QLabel("Preview:", this));
  layout->addWidget(preview_);
  layout->addWidget(buttons);
}

void TformHilite::swatchClick(int index) {
  if (index < 0 || index >= swatches_.size()) return;
  const int bgr = PaletteColours()[static_cast<std::size_t>(index)];
  for (int i = 0; i < swatches_.size(); ++i) Paint(*swatches_[i], PaletteColours()[static_cast<std::size_t>(i)], i == index);
  QTextCharFormat format;
  if (radioText_->isChecked()) {
    chosenText_ = bgr;
    format.setForeground(ColourOf(bgr));
  } else {
    chosenBack_ = bgr;
    format.setBackground(ColourOf(bgr));
  }
  QTextCursor all(preview_->document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(format);
}

bool TformHilite::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    const auto index = swatches_.indexOf(qobject_cast<QFrame*>(watched));
    if (index >= 0) {
      swatchClick(static_cast<int>(index));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tarvo
