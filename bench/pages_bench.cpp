// Opening a topic's pages as the window does: a 10,000-item checklist read from its file into
// the list's model and laid out, and a 1 MB note read from its file, decoded and put into the
// editor's document; and the save of each.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeView>

#include "content/page_store.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "ui/pages/checklist_model.h"
#include "ui/pages/rich_text_adapter.h"

namespace {

struct PageFiles {
  QTemporaryDir dir;
  tarvo::PageFolders folders;
  tarvo::TopicPages pages;
  PageFiles() {
    const std::string root = dir.path().toStdString();
    folders = {root, root, root};
    pages = *tarvo::LoadTopicPages(folders, "42", 1);
  }
};

tarvo::ChecklistItems Items(int count) {
  tarvo::ChecklistItems items;
  for (int i = 0; i < count; ++i) {
    std::string text = "Item " + std::to_string(i) + " check the order with the supplier";
    if (i % 10 == 0) text += " https://example.org/orders/" + std::to_string(i);
    tarvo::ChecklistItem item = tarvo::MakeChecklistItem(std::move(text));
    if (i % 3 == 0) tarvo::SetItemTicked(item, true, "20261206-101500");
    items.push_back(std::move(item));
  }
  return items;
}

tarvo::RichDocument Note(std::size_t bytes) {
  tarvo::RichDocument note;
  const QString words[] = {"plan", "the", "garden", QString::fromUtf8("καλημέρα"), QString::fromUtf8("你好"),
                           "order", "seeds", "and", "repair", "shed"};
  std::size_t size = 0;
  for (int p = 0; size < bytes; ++p) {
    tarvo::RichParagraph paragraph;
    for (int r = 0; r < 4; ++r) {
      tarvo::RichCharFormat format;
      format.bold = (p + r) % 3 == 0;
      format.italic = (p + r) % 5 == 0;
      if (r == 2) format.textColour = 0xC00000;
      QString text;
      for (int w = 0; w < 8; ++w) text += words[(p * 7 + r * 3 + w) % std::size(words)] + u' ';
      paragraph.append(text, format);
      size += static_cast<std::size_t>(text.size());
    }
    note.paragraphs.push_back(std::move(paragraph));
  }
  return note;
}

void BM_OpenChecklist(benchmark::State& state) {
  PageFiles files;
  tarvo::TopicPage& page = files.pages.pages[1];
  if (!tarvo::SaveChecklistPage(files.folders, files.pages, page, Items(static_cast<int>(state.range(0))), "20261206-101500")) {
    state.SkipWithError("cannot save");
  }
  tarvo::ChecklistModel model;
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setModel(&model);
  view.resize(600, 800);
  for (auto _ : state) {
    tarvo::ResultOf<tarvo::ChecklistItems> items = tarvo::LoadChecklistPage(files.folders, page);
    model.setItems(std::move(*items));
    view.doItemsLayout();
  }
}
BENCHMARK(BM_OpenChecklist)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_SaveChecklist(benchmark::State& state) {
  PageFiles files;
  tarvo::TopicPage& page = files.pages.pages[1];
  const tarvo::ChecklistItems items = Items(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!tarvo::SaveChecklistPage(files.folders, files.pages, page, items, "20261206-101500")) state.SkipWithError("cannot save");
  }
}
BENCHMARK(BM_SaveChecklist)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_OpenNote(benchmark::State& state) {
  PageFiles files;
  tarvo::TopicPage& page = files.pages.pages[0];
  const std::string rtf = tarvo::WriteRtf(Note(static_cast<std::size_t>(state.range(0))));
  if (!tarvo::SaveNotesPage(files.folders, files.pages, page, rtf, "20261206-101500")) state.SkipWithError("cannot save");
  for (auto _ : state) {
    tarvo::ResultOf<std::string> bytes = tarvo::LoadNotesBytes(files.folders, page);
    tarvo::ResultOf<tarvo::RichDocument> note = tarvo::ReadRtf(*bytes);
    QTextDocument document;
    tarvo::ToTextDocument(*note, document);
    benchmark::DoNotOptimize(document.characterCount());
  }
  state.counters["rtf_MB"] = static_cast<double>(rtf.size()) / 1e6;
}
BENCHMARK(BM_OpenNote)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_SaveNote(benchmark::State& state) {
  PageFiles files;
  tarvo::TopicPage& page = files.pages.pages[0];
  QTextDocument document;
  tarvo::ToTextDocument(Note(static_cast<std::size_t>(state.range(0))), document);
  for (auto _ : state) {
    const std::string rtf = tarvo::WriteRtf(tarvo::FromTextDocument(document));
    if (!tarvo::SaveNotesPage(files.folders, files.pages, page, rtf, "20261206-101500")) state.SkipWithError("cannot save");
  }
}
BENCHMARK(BM_SaveNote)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
