#include "content/rich_text_samples.h"

namespace tarvo::test {

namespace {

RichCharFormat With(void (*change)(RichCharFormat&)) {
  RichCharFormat format;
  change(format);
  return format;
}

RichDocument OneParagraph(RichParagraph paragraph) {
  RichDocument document;
  document.paragraphs.push_back(std::move(paragraph));
  return document;
}

RichDocument CharacterSample(void (*change)(RichCharFormat&)) {
  // Plain text on both sides, so a format that leaks past its run shows.
  return OneParagraph(
      MakeParagraph({{"before ", {}}, {"formatted", With(change)}, {" after", {}}}));
}

RichDocument ParagraphSample(void (*change)(RichParagraphFormat&)) {
  RichParagraphFormat format;
  change(format);
  RichDocument document = PlainDocument({"first"});
  document.paragraphs.push_back(MakeParagraph({{"shaped", {}}}, format));
  document.paragraphs.push_back(MakeParagraph({{"last", {}}}));
  return document;
}

RichDocument ListSample(RichListKind kind) {
  RichDocument document = PlainDocument({"intro"});
  for (int level : {0, 0, 1, 1, 0}) {
    RichParagraphFormat format;
    format.listKind = kind;
    format.listLevel = level;
    format.leftIndent = 720 * (level + 1);
    format.firstLineIndent = -360;
    document.paragraphs.push_back(MakeParagraph({{"item " + QString::number(level), {}}}, format));
  }
  document.paragraphs.push_back(MakeParagraph({{"outro", {}}}));
  return document;
}

}  // namespace

RichParagraph MakeParagraph(std::vector<std::pair<QString, RichCharFormat>> runs,
                            RichParagraphFormat format) {
  RichParagraph paragraph;
  paragraph.format = format;
  for (auto& [text, runFormat] : runs) paragraph.append(text, runFormat);
  return paragraph;
}

RichDocument PlainDocument(const std::vector<QString>& texts) {
  RichDocument document;
  for (const QString& text : texts) document.paragraphs.push_back(MakeParagraph({{text, {}}}));
  return document;
}

std::vector<RichSample> EveryFormattingKind() {
  std::vector<RichSample> samples = {
      {"font family", CharacterSample([](RichCharFormat& f) { f.fontFamily = "DejaVu Serif"; })},
      {"font size", CharacterSample([](RichCharFormat& f) { f.halfPoints = 31; })},
      {"bold", CharacterSample([](RichCharFormat& f) { f.bold = true; })},
      {"italic", CharacterSample([](RichCharFormat& f) { f.italic = true; })},
      {"underline", CharacterSample([](RichCharFormat& f) { f.underline = true; })},
      {"strike-out", CharacterSample([](RichCharFormat& f) { f.strikeOut = true; })},
      {"text colour", CharacterSample([](RichCharFormat& f) { f.textColour = 0xC00000; })},
      {"black text", CharacterSample([](RichCharFormat& f) { f.textColour = 0x000000; })},
      {"background", CharacterSample([](RichCharFormat& f) { f.backColour = 0xFFFFC6; })},
      {"link", CharacterSample([](RichCharFormat& f) { f.link = "https://example.org/a?b=1&c=2"; })},
      {"link to a mark", CharacterSample([](RichCharFormat& f) { f.link = "#chapter2"; })},
      {"everything at once", CharacterSample([](RichCharFormat& f) {
         f = {"Liberation Sans", 18, true, true, true, true, 0x0000FF, 0xD7FFD7, "mailto:ann@example.org"};
       })},
      {"centred", ParagraphSample([](RichParagraphFormat& p) { p.alignment = RichAlignment::Centre; })},
      {"right", ParagraphSample([](RichParagraphFormat& p) { p.alignment = RichAlignment::Right; })},
      {"justified", ParagraphSample([](RichParagraphFormat& p) { p.alignment = RichAlignment::Justify; })},
      {"indents", ParagraphSample([](RichParagraphFormat& p) {
         p.leftIndent = 1440;
         p.rightIndent = 720;
         p.firstLineIndent = -360;
       })},
      {"first line indent", ParagraphSample([](RichParagraphFormat& p) { p.firstLineIndent = 567; })},
      {"bullets", ListSample(RichListKind::Bullet)},
      {"numbers", ListSample(RichListKind::Decimal)},
      {"lower letters", ListSample(RichListKind::LowerAlpha)},
      {"upper letters", ListSample(RichListKind::UpperAlpha)},
      {"lower roman", ListSample(RichListKind::LowerRoman)},
      {"upper roman", ListSample(RichListKind::UpperRoman)},
      {"tabs and line breaks", PlainDocument({QString("a\tb") + QChar(kRichLineBreak) + "c"})},
      {"braces and backslashes", PlainDocument({R"(C:\notes\{draft}.rtf)"})},
      {"empty paragraphs", PlainDocument({"", "between", "", ""})},
      {"one empty paragraph", PlainDocument({""})},
      {"no paragraphs", RichDocument{}},
      {"non-ASCII", PlainDocument({QString::fromUtf8("Ελληνικά καλημέρα"), QString::fromUtf8("中文：你好世界"),
                                   QString::fromUtf8("Äpfel, Öl und Übung – ß"), QString::fromUtf8("emoji 😀🎉 end")})},
  };
  RichDocument all;
  for (const RichSample& sample : samples) {
    all.paragraphs.insert(all.paragraphs.end(), sample.document.paragraphs.begin(),
                          sample.document.paragraphs.end());
  }
  samples.push_back({"all kinds in one note", all});
  return samples;
}

}  // namespace tarvo::test

namespace tarvo {

namespace {

std::string Colour(const std::optional<RichColour>& colour) {
  return colour ? QString::number(*colour, 16).toStdString() : "-";
}

}  // namespace

void PrintTo(const RichDocument& document, std::ostream* out) {
  *out << "\n";
  for (const RichParagraph& paragraph : document.paragraphs) {
    const RichParagraphFormat& p = paragraph.format;
    *out << "  paragraph align " << static_cast<int>(p.alignment) << " li " << p.leftIndent
         << " ri " << p.rightIndent << " fi " << p.firstLineIndent << " list "
         << static_cast<int>(p.listKind) << "/" << p.listLevel << "\n";
    for (const RichRun& run : paragraph.runs) {
      const RichCharFormat& f = run.format;
      *out << "    [" << run.text.toStdString() << "] font '" << f.fontFamily.toStdString()
           << "' " << f.halfPoints << (f.bold ? " b" : "") << (f.italic ? " i" : "")
           << (f.underline ? " u" : "") << (f.strikeOut ? " s" : "") << " fg "
           << Colour(f.textColour) << " bg " << Colour(f.backColour) << " link '"
           << f.link.toStdString() << "'\n";
    }
  }
}

}  // namespace tarvo
