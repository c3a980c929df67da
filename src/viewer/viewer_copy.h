#pragma once

// "Save copy" of what a viewer shows, made from the loaded bytes, never from display text, so
// a copy keeps the file's bytes whatever their encoding: the lines as they are in the text
// layout; in the table layouts one line of headings, then one line per row in the order shown,
// every field quoted.

#include <string>

#include "base/result.h"
#include "viewer/display_format.h"
#include "viewer/text_document.h"

namespace tarvo {

// Writes the copy through a temporary sibling, so a failed copy never leaves half a file
// under the chosen name.
Result SaveViewerCopy(const std::string& path, Layout layout, const TextDocument& document,
                      const TableRows& rows, const DisplayFormat& format);

}  // namespace tarvo
