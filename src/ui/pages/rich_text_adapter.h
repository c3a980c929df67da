#pragma once

// Moves a note between its document model and the editor's QTextDocument: character formats,
// block formats, lists as QTextList and links as anchors. The editor edits the QTextDocument;
// loading and saving go through the model and the RTF codec.

#include <QTextDocument>

#include "content/rich_text_document.h"

namespace tarvo {

// Replaces the content of `editor` with the note.
void ToTextDocument(const RichDocument& note, QTextDocument& editor);

// The note the editor holds. An editor always has one paragraph, so an editor without text
// gives a note without paragraphs (a note that is deleted rather than saved).
RichDocument FromTextDocument(const QTextDocument& editor);

}  // namespace tarvo
