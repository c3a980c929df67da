// The notes' RTF codec on a 5 MB note: reading and writing it, in bytes of RTF per second.
// The note is generated with varied formatting: fonts, sizes, bold, italic, underline,
// colours, highlights, links, lists, indents, and Greek, Chinese, German and emoji text.

#include <benchmark/benchmark.h>

#include <random>

#include "content/rtf_reader.h"
#include "content/rtf_writer.h"

namespace {

constexpr std::size_t kNoteBytes = 5'300'000;  // the RTF comes out a little over 5 MB

tarvo::RichCharFormat RandomFormat(std::mt19937& engine) {
  static const QString fonts[] = {"", "Liberation Serif", "DejaVu Sans", "Noto Sans CJK SC"};
  static const tarvo::RichColour colours[] = {0xC00000, 0x0000FF, 0x008000, 0xFFFFC6, 0xD7FFD7};
  tarvo::RichCharFormat format;
  const auto pick = [&engine](unsigned n) { return static_cast<unsigned>(engine()) % n; };
  format.fontFamily = fonts[pick(4)];
  format.halfPoints = 20 + 2 * static_cast<int>(pick(6));
  format.bold = pick(4) == 0;
  format.italic = pick(5) == 0;
  format.underline = pick(10) == 0;
  format.strikeOut = pick(30) == 0;
  if (pick(6) == 0) format.textColour = colours[pick(5)];
  if (pick(10) == 0) format.backColour = colours[pick(5)];
  if (pick(25) == 0) format.link = "https://example.org/page/" + QString::number(pick(1000));
  return format;
}

tarvo::RichParagraphFormat RandomParagraph(std::mt19937& engine) {
  tarvo::RichParagraphFormat format;
  const unsigned choice = static_cast<unsigned>(engine()) % 10;
  if (choice == 0) format.alignment = tarvo::RichAlignment::Centre;
  if (choice == 1) format.alignment = tarvo::RichAlignment::Justify;
  if (choice >= 7) {
    format.listKind = choice == 9 ? tarvo::RichListKind::Decimal : tarvo::RichListKind::Bullet;
    format.listLevel = static_cast<int>(engine() % 3);
    format.leftIndent = 720 * (format.listLevel + 1);
    format.firstLineIndent = -360;
  }
  return format;
}

// The bytes text takes in RTF: ASCII as itself, anything else as "\uNNNNN?".
std::size_t WrittenSize(const QString& text) {
  std::size_t size = 0;
  for (const QChar c : text) size += c.unicode() < 0x80 ? 1 : 8;
  return size;
}

const tarvo::RichDocument& Note() {
  static const tarvo::RichDocument note = [] {
    const QString words[] = {"the", "garden", "plan", "for", "spring", "order", "seeds",
                             QString::fromUtf8("καλημέρα"), QString::fromUtf8("你好世界"),
                             QString::fromUtf8("Grüße"), QString::fromUtf8("Übung"),
                             QString::fromUtf8("😀"), "and", "then", "repair", "the", "shed"};
    std::mt19937 engine(7);
    tarvo::RichDocument document;
    std::size_t approximateBytes = 0;
    while (approximateBytes < kNoteBytes) {
      tarvo::RichParagraph paragraph;
      paragraph.format = RandomParagraph(engine);
      const int runs = 2 + static_cast<int>(engine() % 8);
      for (int r = 0; r < runs; ++r) {
        QString text;
        const int count = 1 + static_cast<int>(engine() % 12);
        for (int w = 0; w < count; ++w) text += words[engine() % std::size(words)] + u' ';
        paragraph.append(text, RandomFormat(engine));
        approximateBytes += WrittenSize(text) + 20;  // and about this much for the run's group
      }
      document.paragraphs.push_back(std::move(paragraph));
    }
    return document;
  }();
  return note;
}

const std::string& NoteRtf() {
  static const std::string rtf = tarvo::WriteRtf(Note());
  return rtf;
}

void BM_ReadRtf(benchmark::State& state) {
  const std::string& rtf = NoteRtf();
  for (auto _ : state) {
    tarvo::ResultOf<tarvo::RichDocument> read = tarvo::ReadRtf(rtf);
    if (!read.ok()) state.SkipWithError(read.reason().c_str());
    benchmark::DoNotOptimize(read);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
  state.counters["rtf_MB"] = static_cast<double>(rtf.size()) / 1e6;
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

void BM_WriteRtf(benchmark::State& state) {
  const tarvo::RichDocument& note = Note();
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string written = tarvo::WriteRtf(note);
    bytes = written.size();
    benchmark::DoNotOptimize(written);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["rtf_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
