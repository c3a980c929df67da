#pragma once

// Where the main window opens: where it was left, brought back onto the screen when it would
// stand off it or is larger than it; without a stored layout, two thirds of the screen (but
// not less than a size at which the default tree reads whole), centred.

#include <QRect>

#include "workspace/preferences.h"

namespace tarvo {

QRect MainWindowPlacement(const ScreenLayout& layout, const QRect& available);

}  // namespace tarvo
