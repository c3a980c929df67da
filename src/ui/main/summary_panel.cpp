#include "ui/main/summary_panel.h"

#include <algorithm>

#include <QEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace tarvo {
namespace {

constexpr int kSide = 168;
constexpr int kCaptionWidth = 130;
constexpr QSize kDesignArea(800, 600);

struct Placement {
  Category category;
  QPoint at;  // top-left of the picture on the design area
  QColor colour;
};

const std::array<Placement, kCategoryCount>& Placements() {
  static const std::array<Placement, kCategoryCount> placements = {{
      {Category::Deadlines, {81, 12}, QColor(47, 109, 181)},
      {Category::Urgent, {306, 15}, QColor(214, 60, 60)},
      {Category::Overdue, {540, 12}, QColor(186, 92, 40)},
      {Category::InProgress, {81, 202}, QColor(46, 140, 96)},
      {Category::Waiting, {306, 202}, QColor(196, 150, 32)},
      {Category::Events, {540, 202}, QColor(120, 84, 170)},
      {Category::New, {81, 389}, QColor(38, 150, 170)},
      {Category::Changes, {306, 391}, QColor(90, 110, 130)},
      {Category::Favourites, {540, 389}, QColor(200, 70, 130)},
  }};
  return placements;
}

std::size_t Slot(Category category) { return static_cast<std::size_t>(category); }

void Clock(QPainter& painter, bool late) {
  painter.drawEllipse(QPointF(84, 84), 44, 44);
  painter.drawLine(QPointF(84, 84), QPointF(84, 54));
  painter.drawLine(QPointF(84, 84), QPointF(106, 96));
  if (late) {
    painter.setBrush(QColor(255, 220, 80));
    painter.drawEllipse(QPointF(124, 44), 16, 16);
  }
}

// The white sign of each list on its coloured card.
void Sign(QPainter& painter, Category category) {
  QPainterPath path;
  switch (category) {
    case Category::Deadlines:
      Clock(painter, false);
      break;
    case Category::Overdue:
      Clock(painter, true);
      break;
    case Category::Urgent:
      painter.setBrush(Qt::white);
      painter.drawRoundedRect(QRectF(74, 34, 20, 70), 8, 8);
      painter.drawEllipse(QPointF(84, 124), 11, 11);
      break;
    case Category::InProgress:
      painter.drawEllipse(QPointF(84, 84), 44, 44);
      painter.setBrush(Qt::white);
      painter.drawPie(QRectF(40, 40, 88, 88), 90 * 16, 180 * 16);
      break;
    case Category::Waiting:
      path.moveTo(54, 40);
      path.lineTo(114, 40);
      path.lineTo(54, 128);
      path.lineTo(114, 128);
      path.closeSubpath();
      painter.drawPath(path);
      break;
    case Category::Events:
      painter.drawRoundedRect(QRectF(44, 48, 80, 76), 8, 8);
      painter.drawLine(QPointF(44, 70), QPointF(124, 70));
      for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 2; ++row) painter.drawPoint(QPointF(62 + column * 22, 88 + row * 20));
      }
      break;
    case Category::New:
      for (int corner = 0; corner < 10; ++corner) {
        const double radius = corner % 2 == 0 ? 48 : 20;
        const double angle = -M_PI / 2 + corner * M_PI / 5;
        const QPointF point(84 + radius * std::cos(angle), 86 + radius * std::sin(angle));
        corner == 0 ? path.moveTo(point) : path.lineTo(point);
      }
      path.closeSubpath();
      painter.setBrush(Qt::white);
      painter.drawPath(path);
      break;
    case Category::Changes:
      painter.translate(84, 84);
      painter.rotate(-45);
      painter.drawRect(QRectF(-40, -10, 64, 20));
      path.moveTo(24, -10);
      path.lineTo(44, 0);
      path.lineTo(24, 10);
      path.closeSubpath();
      painter.setBrush(Qt::white);
      painter.drawPath(path);
      break;
    case Category::Favourites:
      path.moveTo(84, 126);
      path.cubicTo(20, 84, 44, 30, 84, 62);
      path.cubicTo(124, 30, 148, 84, 84, 126);
      painter.setBrush(Qt::white);
      painter.drawPath(path);
      break;
  }
}

}  // namespace

QPixmap TSummaryPanel::Picture(Category category, bool lit) {
  QPixmap pixmap(kSide, kSide);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = Placements()[Slot(category)].colour;
  painter.setPen(lit ? QPen(Qt::white, 6) : Qt::NoPen);
  painter.setBrush(lit ? colour.lighter(125) : colour);
  painter.drawRoundedRect(QRectF(8, 8, kSide - 16, kSide - 16), 28, 28);
  painter.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  Sign(painter, category);
  return pixmap;
}

TSummaryPanel::TSummaryPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("panelEntry");
  setMouseTracking(true);
  static const char* const kPictureNames[] = {"imageTarvo1", "imageTarvo2", "imageTarvo3", "imageTarvo5",
                                              "imageTarvo9", "imageTarvo4", "imageTarvo6", "imageTarvo7",
                                              "imageTarvo8"};
  static const char* const kCaptionNames[] = {"labDeadline", "labUrgent", "labOverdue", "labProgress", "labWaiting",
                                              "labEvents",   "labNew",    "labChanges", "labFavs"};
  for (const Placement& placement : Placements()) {
    const std::size_t slot = Slot(placement.category);
    auto* picture = new QLabel(this);
    picture->setObjectName(kPictureNames[slot]);
    picture->setPixmap(Picture(placement.category, false));
    picture->setFixedSize(kSide, kSide);
    picture->setMouseTracking(true);
    picture->setCursor(Qt::PointingHandCursor);
    picture->setAccessibleName(WordsOf(placement.category).title);
    picture->installEventFilter(this);
    auto* caption = new QLabel(WordsOf(placement.category).prefix, this);
    caption->setObjectName(kCaptionNames[slot]);
    caption->setAlignment(Qt::AlignCenter);
    caption->setFixedWidth(kCaptionWidth);
    caption->setStyleSheet("QLabel { color: rgb(96, 96, 96); font-weight: bold; font-size: 13px; }");
    caption->setCursor(Qt::PointingHandCursor);
    caption->installEventFilter(this);
    pictures_[slot] = picture;
    captions_[slot] = caption;
  }
  hint_ = new QLabel("Click a picture to see its topics, or the sky (or press Esc) to go back to the tree.", this);
  hint_->setObjectName("labelSummaryHint");
  hint_->setStyleSheet("QLabel { color: rgb(80, 96, 112); }");
  hint_->adjustSize();
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName("Summary");
  setAccessibleDescription(hint_->text());
  layOut();
}

// The caption keeps its designed width, but grows (centred under its picture) rather than cut a
// count of tens of thousands short in a font wider than the designed one.
void TSummaryPanel::setCaption(Category category, const QString& caption) {
  QLabel* label = captions_[Slot(category)];
  label->setText(caption);
  label->ensurePolished();  // measured in the style sheet's font
  label->setFixedWidth(std::max(kCaptionWidth, label->fontMetrics().horizontalAdvance(caption) + 8));
  layOut();
}

QLabel* TSummaryPanel::captionLabel(Category category) const { return captions_[Slot(category)]; }

QWidget* TSummaryPanel::picture(Category category) const { return pictures_[Slot(category)]; }

void TSummaryPanel::layOut() {
  const QPoint origin((width() - kDesignArea.width()) / 2, (height() - kDesignArea.height()) / 2);
  for (const Placement& placement : Placements()) {
    const std::size_t slot = Slot(placement.category);
    pictures_[slot]->move(origin + placement.at);
    captions_[slot]->move(origin + placement.at + QPoint((kSide - captions_[slot]->width()) / 2, kSide));
  }
  hint_->move((width() - hint_->width()) / 2, height() - hint_->height() - 6);
}

void TSummaryPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(120, 178, 232));
  sky.setColorAt(1, QColor(226, 240, 252));
  painter.fillRect(rect(), sky);
}

void TSummaryPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

// A click on the sky goes back to the tree.
void TSummaryPanel::mousePressEvent(QMouseEvent* /*event*/) { hide(); }

void TSummaryPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool TSummaryPanel::eventFilter(QObject* watched, QEvent* event) {
  for (int slot = 0; slot < kCategoryCount; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (watched != pictures_[index] && watched != captions_[index]) continue;
    const auto category = static_cast<Category>(slot);
    switch (event->type()) {
      case QEvent::Enter:
        if (lit_ != slot) {
          if (lit_ >= 0) pictures_[static_cast<std::size_t>(lit_)]->setPixmap(Picture(static_cast<Category>(lit_), false));
          pictures_[index]->setPixmap(Picture(category, true));
          lit_ = slot;
        }
        return false;
      case QEvent::Leave:
        if (lit_ == slot) {
          pictures_[index]->setPixmap(Picture(category, false));
          lit_ = -1;
        }
        return false;
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        emit categoryChosen(category);
        return true;
      default:
        return false;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvo
