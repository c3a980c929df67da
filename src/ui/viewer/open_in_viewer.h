#pragma once

// Showing any file the user names in the viewer: from the command line (also when another
// instance takes the request over its command channel) and from "File > Open in viewer...".
// The file's display format applies as for every viewed file.

#include <string>

#include "ui/viewer/text_display_window.h"

class QWidget;

namespace tarvo {

// Shows the file, or says why it cannot be shown: in `report` (the log) and, where someone can
// see it, in a message box that does not block the caller.
void ShowFileInViewer(ViewerRegistry& viewers, const std::string& path, QWidget* parent,
                      const ViewerReport& report);

// Asks for a file with the file dialog and shows it.
void AskAndShowFileInViewer(ViewerRegistry& viewers, QWidget* parent, const ViewerReport& report);

}  // namespace tarvo
