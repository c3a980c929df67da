#pragma once

// The data file object through which every data file of the program is read and written.
//
// A file is opened in one of three modes:
//   "R"  the whole content is loaded at open and served line by line from memory;
//   "W"  numbered backups of the old file are taken, the file is recreated empty and every
//        write goes straight to the disk;
//   "A"  backups are taken, the content is loaded and writes go to the end.
// The secure variant writes a scrambled body behind a "QZENCR01" header; the scramble key is
// derived from the file's name, so a secure file reads back only under the name it was written
// with.
//
// Ownership: OpenDataFile/OpenSecureFile hand the caller a DataFilePtr; the file closes itself
// when that pointer goes away, so no path leaks a handle. CloseDataFile closes it early.
// Threading: a DataFile belongs to the thread that opened it.
// Failure: open and every write return a Result with the reason; nothing throws. A backup copy
// that could not be made does not stop the open (the file is still rewritten); its "***** "
// text is kept in `backupNote` for the caller to log.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/bulk_allocator.h"
#include "store/file_system.h"
#include "store/pair_list.h"

namespace tarvo {

inline constexpr std::string_view kSecureHeader = "QZENCR01";
inline constexpr std::size_t kScrambleKeyLength = 33;

struct DataFile {
  std::uint64_t position = 0;  // next byte of `content` to serve
  std::uint64_t size = 0;      // bytes loaded (read modes) or written so far (write mode)
  bool atEnd = false;          // nothing left to serve
  FileHandle handle;
  int lineCount = 0;           // lines served so far
  ByteBuffer content;          // whole content (read and append modes)
  bool secure = false;
  char mode = 'R';
  std::string scrambleKey;     // 33 characters for secure files, empty otherwise
  std::string path;
  std::string backupNote;      // why the backup copy of this open failed; empty when it did not

  [[nodiscard]] std::string_view contentView() const { return {content.data(), content.size()}; }
};

using DataFilePtr = std::unique_ptr<DataFile>;
using TextList = std::vector<std::string>;

// `backups` is the number of numbered copies to keep when the mode rewrites the file (0: none).
ResultOf<DataFilePtr> OpenDataFile(const std::string& path, std::string_view mode, int backups);
// Mode "W" writes; any other mode reads, unscrambling when the header is present.
ResultOf<DataFilePtr> OpenSecureFile(const std::string& path, std::string_view mode, int backups);

// The next line without its line end (CR LF, LF CR, lone CR and lone LF each end one line;
// NUL bytes are counted but dropped). Returns the characters counted, or -1 when no line is left.
std::int64_t ReadLine(DataFile& file, std::string& text);
// Every key=value line of the rest of the file; lines with an empty key are skipped. Keys and
// values are trimmed of blanks in plain files and kept as they are in secure files. The file's
// content is handed over to `pairs`, so the file is at its end afterwards.
void ReadPairs(DataFile& file, PairList& pairs);

// The 1-based line number of the pair with this index among the pairs ReadPairs gives for the
// file at `path` (read plain, or secure), or 0 when there is no such pair. For messages that
// name the line of a bad value; it reads the file again.
int LineOfPair(const std::string& path, bool secure, std::size_t pairIndex);

Result WriteLine(DataFile& file, std::string_view text);
Result WriteRaw(DataFile& file, const char* bytes, std::size_t count);
Result WritePair(DataFile& file, std::string_view key, std::string_view value);
Result WritePairs(DataFile& file, const PairList& pairs);
// The header and the scrambled key=value lines; for a secure file opened "W".
Result WriteSecurePairs(DataFile& file, const PairList& pairs);
void CloseDataFile(DataFilePtr& file);

// Appends text + CR LF to the file, creating it when missing.
Result AppendLine(const std::string& path, std::string_view text);
// Replaces `lines` with every line of the file.
Result LoadLines(const std::string& path, TextList& lines);

// The key a secure file of this name is scrambled with (the name without its folder).
std::string ScrambleKey(std::string_view path);
// The bytes of a pair file: key=value lines, or, with a scramble key, the header and the
// scrambled lines.
std::string PairFileBytes(const PairList& pairs, const std::string& scrambleKey = {});

}  // namespace tarvo
