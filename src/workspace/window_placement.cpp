#include "workspace/window_placement.h"

#include <algorithm>

namespace tarvo {
namespace {

constexpr int kReadableWidth = 960;
constexpr int kReadableHeight = 640;

}  // namespace

QRect MainWindowPlacement(const ScreenLayout& layout, const QRect& available) {
  if (!layout.loaded || layout.width <= 0 || layout.height <= 0) {
    const QSize size(std::min(available.width(), std::max(kReadableWidth, available.width() * 2 / 3)),
                     std::min(available.height(), std::max(kReadableHeight, available.height() * 2 / 3)));
    QRect centred(QPoint(0, 0), size);
    centred.moveCenter(available.center());
    return centred;
  }
  QRect placed(layout.left, layout.top, std::min(layout.width, available.width()),
               std::min(layout.height, available.height()));
  placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() + 1 - placed.width()));
  placed.moveTop(std::clamp(placed.top(), available.top(), available.bottom() + 1 - placed.height()));
  return placed;
}

}  // namespace tarvo
