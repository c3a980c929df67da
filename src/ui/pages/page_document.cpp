#include "ui/pages/page_document.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace tarvo {

namespace {

void Heading(QTextCursor& cursor, const QString& text, const QFont& normal, qreal larger) {
  QTextCharFormat format;
  QFont font = normal;
  font.setPointSizeF(normal.pointSizeF() + larger);
  font.setBold(true);
  format.setFont(font);
  cursor.insertText(text, format);
  cursor.insertBlock();
}

}  // namespace

QStringList ChecklistPrintLines(const ChecklistItems& items) {
  QStringList lines;
  for (const ChecklistItem& item : items) {
    lines << (item.ticked ? QStringLiteral("y  ") : QStringLiteral("    ")) + QString::fromStdString(item.text);
  }
  return lines;
}

std::unique_ptr<QTextDocument> MakePageDocument(const QString& topicTitle, const QString& pageTitle,
                                                const QTextDocument* note, const QStringList& lines,
                                                const QFont& normal) {
  auto document = std::make_unique<QTextDocument>();
  document->setDefaultFont(normal);
  QTextCursor cursor(document.get());
  Heading(cursor, topicTitle, normal, 4);
  Heading(cursor, pageTitle, normal, 2);
  QTextCharFormat plain;
  plain.setFont(normal);
  cursor.setCharFormat(plain);
  if (note != nullptr) {
    cursor.insertFragment(QTextDocumentFragment(note));
  } else {
    cursor.insertText(lines.join('\n'), plain);
  }
  return document;
}

QString WithRtfExtension(const QString& fileName) {
  const QFileInfo info(fileName);
  if (info.suffix().compare("rtf", Qt::CaseInsensitive) == 0) return fileName.left(fileName.size() - 3) + "rtf";
  if (info.suffix().isEmpty()) return fileName + ".rtf";
  return fileName.left(fileName.size() - info.suffix().size()) + "rtf";
}

}  // namespace tarvo
