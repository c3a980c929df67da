#pragma once

// The highlighter's colours: kept as 0xBBGGRR numbers in the preferences, -1 while none has
// been chosen, and the 64 swatches of the palette.

#include <QColor>
#include <array>

namespace tarvo {

inline constexpr int kNoColour = -1;

struct HighlighterState {
  int textColour = kNoColour;
  int backColour = kNoColour;
  bool textOn = false;
  bool backOn = false;
};

QColor ColourOf(int bgr);
int BgrOf(const QColor& colour);
const std::array<int, 64>& PaletteColours();

}  // namespace tarvo
