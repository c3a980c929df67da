#pragma once

// Field instructions (\fldinst): only HYPERLINK matters to a note, as the target of a link.

#include <QString>

namespace tarvo {

// The target of `HYPERLINK "url"` (or `HYPERLINK \l "mark"`, as "#mark"); empty when the
// instruction is another field.
QString HyperlinkTarget(QStringView instruction);

}  // namespace tarvo
