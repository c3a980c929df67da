#include "viewer/viewer_copy.h"

#include "store/file_system.h"
#include "store/safe_replace.h"
#include "store/block_writer.h"
#include "viewer/doubled_quotes.h"

namespace tarvo {
namespace {

// One line of `count` fields in quotes, joined by commas; fewer than two fields: the first
// alone, unquoted (as WriteDelimited writes them).
template <typename Field>
void AppendFields(BlockWriter& out, std::size_t count, Field&& field) {
  if (count < 2) {
    out.appendLine(count == 0 ? std::string_view() : field(0));
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    out.append(i == 0 ? "\"" : ",\"");
    out.append(field(i));
    out.append("\"");
  }
  out.append("\r\n");
}

std::string_view Heading(const DisplayFormat& format, std::size_t column) {
  return column < format.columnHeadings.size() ? std::string_view(format.columnHeadings[column])
                                               : std::string_view();
}

void WriteContent(BlockWriter& out, Layout layout, const TextDocument& document,
                  const TableRows& rows, const DisplayFormat& format) {
  const std::size_t headings = format.columnHeadings.size();
  switch (layout) {
    case Layout::None:
    case Layout::Text:
      for (std::size_t i = 0; i < document.lineCount(); ++i) out.appendLine(document.line(i));
      return;
    case Layout::Table:
      if (rows.doubledQuotes()) {
        // Quotes inside fields doubled again, so the copy splits back into the same fields.
        AppendFields(out, headings, [&](std::size_t c) { return Doubled(Heading(format, c)); });
        for (std::size_t row = 0; row < rows.rowCount(); ++row) {
          AppendFields(out, headings, [&](std::size_t c) { return Doubled(rows.fieldText(row, c)); });
        }
        return;
      }
      AppendFields(out, headings, [&](std::size_t c) { return Heading(format, c); });
      for (std::size_t row = 0; row < rows.rowCount(); ++row) {
        AppendFields(out, headings, [&](std::size_t c) { return rows.field(row, c); });
      }
      return;
    case Layout::Rotated: {
      // One line per heading: the heading, then that field of every record.
      const std::size_t columns = std::max(headings, rows.rowCount() + 1);
      AppendFields(out, columns, [&](std::size_t c) { return Heading(format, c); });
      for (std::size_t field = 0; field < headings; ++field) {
        AppendFields(out, columns, [&](std::size_t c) {
          if (c == 0) return Heading(format, field);
          return c - 1 < rows.rowCount() ? rows.field(c - 1, field) : std::string_view();
        });
      }
      return;
    }
  }
}

}  // namespace

Result SaveViewerCopy(const std::string& path, Layout layout, const TextDocument& document,
                      const TableRows& rows, const DisplayFormat& format) {
  const std::string sibling = ReplacementSiblingOf(path);
  {
    ResultOf<FileHandle> file = CreateTemporary(sibling);
    if (!file) return file.status();
    BlockWriter out(std::move(*file));
    WriteContent(out, layout, document, rows, format);
    if (Result written = out.finish(); !written) {
      (void)fileSystem().remove(sibling);  // the failure is what the caller hears of
      return written;
    }
  }
  if (Result renamed = fileSystem().rename(sibling, path); !renamed) {
    (void)fileSystem().remove(sibling);
    return renamed;
  }
  return {};
}

}  // namespace tarvo
