#pragma once

// Every control of a window gets a name and a description for screen readers: from its own
// caption (buttons, check boxes), else from its hint. Controls that have neither are named by
// the window that makes them. Called once the window is built.

class QWidget;

namespace tarvo {

void NameControlsForAccessibility(QWidget& window);

}  // namespace tarvo
