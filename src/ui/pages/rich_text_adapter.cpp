#include "ui/pages/rich_text_adapter.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <array>

namespace tarvo {

namespace {

// The model's measures are twips; the editor's are points.
constexpr double kTwipsPerPoint = 20.0;

int Twips(double points) { return qRound(points * kTwipsPerPoint); }

QTextCharFormat CharFormatOf(const RichCharFormat& format) {
  QTextCharFormat qt;
  if (!format.fontFamily.isEmpty()) qt.setFontFamilies(QStringList{format.fontFamily});
  qt.setFontPointSize(format.halfPoints / 2.0);
  qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  qt.setFontItalic(format.italic);
  qt.setFontUnderline(format.underline);
  qt.setFontStrikeOut(format.strikeOut);
  if (format.textColour) qt.setForeground(QColor::fromRgb(*format.textColour));
  if (format.backColour) qt.setBackground(QColor::fromRgb(*format.backColour));
  if (!format.link.isEmpty()) {
    qt.setAnchor(true);
    qt.setAnchorHref(format.link);
  }
  return qt;
}

std::optional<RichColour> ColourOf(const QTextCharFormat& qt, QTextFormat::Property property) {
  if (!qt.hasProperty(property) || qt.brushProperty(property).style() == Qt::NoBrush) {
    return std::nullopt;
  }
  return static_cast<RichColour>(qt.brushProperty(property).color().rgb() & 0xFFFFFF);
}

RichCharFormat CharFormatOf(const QTextCharFormat& qt) {
  RichCharFormat format;
  format.fontFamily = qt.fontFamilies().toStringList().value(0);
  if (qt.hasProperty(QTextFormat::FontPointSize)) format.halfPoints = qRound(qt.fontPointSize() * 2);
  format.bold = qt.fontWeight() > QFont::Medium;
  format.italic = qt.fontItalic();
  format.underline = qt.fontUnderline();
  format.strikeOut = qt.fontStrikeOut();
  format.textColour = ColourOf(qt, QTextFormat::ForegroundBrush);
  format.backColour = ColourOf(qt, QTextFormat::BackgroundBrush);
  if (qt.isAnchor()) format.link = qt.anchorHref();
  return format;
}

QTextBlockFormat BlockFormatOf(const RichParagraphFormat& format) {
  QTextBlockFormat qt;
  switch (format.alignment) {
    case RichAlignment::Left: qt.setAlignment(Qt::AlignLeft); break;
    case RichAlignment::Centre: qt.setAlignment(Qt::AlignHCenter); break;
    case RichAlignment::Right: qt.setAlignment(Qt::AlignRight); break;
    case RichAlignment::Justify: qt.setAlignment(Qt::AlignJustify); break;
  }
  qt.setLeftMargin(format.leftIndent / kTwipsPerPoint);
  qt.setRightMargin(format.rightIndent / kTwipsPerPoint);
  qt.setTextIndent(format.firstLineIndent / kTwipsPerPoint);
  return qt;
}

RichAlignment AlignmentOf(Qt::Alignment alignment) {
  switch (alignment & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter: return RichAlignment::Centre;
    case Qt::AlignRight: return RichAlignment::Right;
    case Qt::AlignJustify: return RichAlignment::Justify;
    default: return RichAlignment::Left;
  }
}

QTextListFormat::Style StyleOf(RichListKind kind) {
  switch (kind) {
    case RichListKind::Decimal: return QTextListFormat::ListDecimal;
    case RichListKind::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case RichListKind::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case RichListKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case RichListKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
  }
}

RichListKind KindOf(QTextListFormat::Style style) {
  switch (style) {
    case QTextListFormat::ListDecimal: return RichListKind::Decimal;
    case QTextListFormat::ListLowerAlpha: return RichListKind::LowerAlpha;
    case QTextListFormat::ListUpperAlpha: return RichListKind::UpperAlpha;
    case QTextListFormat::ListLowerRoman: return RichListKind::LowerRoman;
    case QTextListFormat::ListUpperRoman: return RichListKind::UpperRoman;
    default: return RichListKind::Bullet;
  }
}

RichParagraphFormat ParagraphFormatOf(const QTextBlock& block) {
  const QTextBlockFormat qt = block.blockFormat();
  RichParagraphFormat format;
  format.alignment = AlignmentOf(qt.alignment());
  format.leftIndent = Twips(qt.leftMargin());
  format.rightIndent = Twips(qt.rightMargin());
  format.firstLineIndent = Twips(qt.textIndent());
  if (const QTextList* list = block.textList()) {
    format.listKind = KindOf(list->format().style());
    format.listLevel = std::clamp(list->format().indent() - 1, 0, kRichMaxListLevel);
  }
  return format;
}

// The QTextList of each level that the next item of that level joins: consecutive items of one
// level and kind share a list, so the editor numbers them on.
class ListJoiner {
 public:
  void place(QTextCursor& cursor, const RichParagraphFormat& format) {
    if (format.listKind == RichListKind::None) {
      lists_.fill(nullptr);
      return;
    }
    const auto level = static_cast<std::size_t>(std::clamp(format.listLevel, 0, kRichMaxListLevel));
    std::fill(lists_.begin() + static_cast<std::ptrdiff_t>(level) + 1, lists_.end(), nullptr);
    QTextList*& list = lists_[level];
    if (list != nullptr && list->format().style() == StyleOf(format.listKind)) {
      list->add(cursor.block());
      return;
    }
    QTextListFormat listFormat;
    listFormat.setStyle(StyleOf(format.listKind));
    listFormat.setIndent(static_cast<int>(level) + 1);
    list = cursor.createList(listFormat);
  }

 private:
  std::array<QTextList*, kRichMaxListLevel + 1> lists_{};
};

}  // namespace

void ToTextDocument(const RichDocument& note, QTextDocument& editor) {
  editor.clear();
  QTextCursor cursor(&editor);
  cursor.beginEditBlock();
  ListJoiner lists;
  for (std::size_t i = 0; i < note.paragraphs.size(); ++i) {
    const RichParagraph& paragraph = note.paragraphs[i];
    const QTextBlockFormat blockFormat = BlockFormatOf(paragraph.format);
    if (i == 0) {
      cursor.setBlockFormat(blockFormat);
    } else {
      cursor.insertBlock(blockFormat, QTextCharFormat());
    }
    lists.place(cursor, paragraph.format);
    for (const RichRun& run : paragraph.runs) cursor.insertText(run.text, CharFormatOf(run.format));
  }
  cursor.endEditBlock();
}

RichDocument FromTextDocument(const QTextDocument& editor) {
  RichDocument note;
  if (editor.isEmpty()) return note;
  for (QTextBlock block = editor.begin(); block.isValid(); block = block.next()) {
    RichParagraph paragraph;
    paragraph.format = ParagraphFormatOf(block);
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      paragraph.append(fragment.fragment().text(), CharFormatOf(fragment.fragment().charFormat()));
    }
    note.paragraphs.push_back(std::move(paragraph));
  }
  return note;
}

}  // namespace tarvo
