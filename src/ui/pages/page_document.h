#pragma once

// The document a page prints as and saves as for a word processor: the topic's title in bold
// four points above the normal size, the page's title in bold two points above, then the note,
// or the checklist one line per item ("y" before a ticked one).

#include <QFont>
#include <QStringList>
#include <memory>

#include "content/checklist.h"

class QTextDocument;

namespace tarvo {

QStringList ChecklistPrintLines(const ChecklistItems& items);
std::unique_ptr<QTextDocument> MakePageDocument(const QString& topicTitle, const QString& pageTitle,
                                                const QTextDocument* note, const QStringList& lines,
                                                const QFont& normal);
// The file name with ".rtf" as its extension, whatever was typed.
QString WithRtfExtension(const QString& fileName);

}  // namespace tarvo
