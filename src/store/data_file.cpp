#include "store/data_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "store/backups.h"
#include "store/line_scan.h"
#include "store/line_split.h"


namespace tarvo {
namespace {

// Our own filler for the scramble key: 29 printable characters. Files scrambled by one build
// are readable by another only while this stays the same.
constexpr std::string_view kScrambleFiller = "Tv7#kQ2m!Lp9@Xr4$Wz6%Nh1&Bd8*";
static_assert(kScrambleFiller.size() == 29);

constexpr std::string_view kLineEnd = "\r\n";

std::string UpperMode(std::string_view mode) {
  std::string upper(mode);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Serves the next line as a view into the content, or into `scratch` when the line held NUL
// bytes (they are dropped). `counted` receives the characters of the line, NULs included.
bool NextLine(DataFile& file, std::string_view& line, std::string& scratch, std::size_t& counted) {
  if (file.atEnd || file.position >= file.size) return false;
  std::size_t position = file.position;
  line = TakeLine(file.content.data(), file.size, position, scratch, counted);
  file.position = position;
  if (file.position >= file.size) file.atEnd = true;
  ++file.lineCount;
  return true;
}

// Serves the pairs of a file: lines split at "=", trimmed when plain, empty keys skipped.
class PairReader {
 public:
  bool next(DataFile& file, SplitResult& pair) {
    std::string_view line;
    std::size_t counted = 0;
    while (NextLine(file, line, scratch_, counted)) {
      pair = SplitPair(line, '=', joinedKey_);
      if (!file.secure) {
        pair.key = TrimBlanks(pair.key);
        pair.value = TrimBlanks(pair.value);
      }
      if (pair.key.compare(" ") > 0) return true;  // an empty key is skipped
    }
    return false;
  }

 private:
  std::string scratch_;
  std::string joinedKey_;
};

Result LoadContent(DataFile& file) {
  if (Result read = fileSystem().readAll(file.handle, file.content); !read) return read;
  file.size = file.content.size();
  file.position = 0;
  file.atEnd = file.size == 0;
  return {};
}

// Byte i of the body XOR key character i mod 33, counting on across lines.
void XorWithKey(char* bytes, std::size_t count, const std::string& key) {
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<char>(bytes[i] ^ key[i % kScrambleKeyLength]);
  }
}

void Unscramble(DataFile& file) {
  ByteBuffer& bytes = file.content;
  if (bytes.size() < kSecureHeader.size() ||
      file.contentView().substr(0, 6) != kSecureHeader.substr(0, 6)) {
    return;  // plain text stays readable through the secure path
  }
  const std::size_t body = bytes.size() - kSecureHeader.size();
  std::memmove(bytes.data(), bytes.data() + kSecureHeader.size(), body);
  bytes.resize(body);
  XorWithKey(bytes.data(), body, file.scrambleKey);
  file.size = body;
  file.atEnd = body == 0;
}

// Opens the handle, and for the read modes loads the content.
Result OpenHandle(DataFile& file, OpenIntent intent, bool load) {
  ResultOf<FileHandle> handle = fileSystem().open(file.path, intent);
  if (!handle) return handle.status();
  file.handle = std::move(*handle);
  return load ? LoadContent(file) : Result();
}

ResultOf<DataFilePtr> Open(const std::string& path, std::string_view modeText, int backups,
                           bool secure) {
  const std::string mode = UpperMode(modeText);
  auto file = std::make_unique<DataFile>();
  file->path = path;
  file->secure = secure;
  if (secure) file->scrambleKey = ScrambleKey(path);
  FileSystem& files = fileSystem();

  if (mode == "W") {
    file->mode = 'W';
    // The file is deleted and made anew, so the backup may keep the old bytes under a second name.
    file->backupNote = TakeBackup(path, backups, BackupAction::Snapshot).reason();
    if (files.exists(path)) {
      if (Result removed = files.remove(path); !removed) return removed;
    }
    if (Result opened = OpenHandle(*file, OpenIntent::CreateEmpty, false); !opened) return opened;
    file->atEnd = true;
    return file;
  }
  if (mode == "A" && !secure) {
    file->mode = 'A';
    file->backupNote = TakeBackup(path, backups).reason();
    if (Result opened = OpenHandle(*file, OpenIntent::AppendCreate, true); !opened) return opened;
    file->position = file->size;
    file->atEnd = true;
    return file;
  }
  if (mode != "R" && !secure) {
    return Result::Failure("cannot open " + path + ": unknown mode \"" + mode + "\"");
  }
  file->mode = 'R';
  if (Result opened = OpenHandle(*file, OpenIntent::Read, true); !opened) return opened;
  if (secure) Unscramble(*file);
  return file;
}

}  // namespace

std::string ScrambleKey(std::string_view path) {
  std::string key = NameOf(path);
  while (key.size() < kScrambleKeyLength) key += kScrambleFiller;
  key.resize(kScrambleKeyLength);
  return key;
}

ResultOf<DataFilePtr> OpenDataFile(const std::string& path, std::string_view mode, int backups) {
  return Open(path, mode, backups, false);
}

ResultOf<DataFilePtr> OpenSecureFile(const std::string& path, std::string_view mode,
                                     int backups) {
  return Open(path, mode, backups, true);
}

std::int64_t ReadLine(DataFile& file, std::string& text) {
  std::string_view line;
  std::size_t counted = 0;
  if (!NextLine(file, line, text, counted)) return -1;
  if (line.data() != text.data()) text.assign(line);
  return static_cast<std::int64_t>(counted);
}

void ReadPairs(DataFile& file, PairList& pairs) {
  pairs.clear();
  const std::string_view rest = file.contentView().substr(
      std::min<std::size_t>(file.position, file.content.size()));
  pairs.entries_.reserve(static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1);

  // Every pair is at most as long as the line it came from, so keys and values are packed
  // into the front of the content itself, behind the line being read, and the content then
  // becomes the list's text: no second copy of a large file.
  char* packed = file.content.data();
  std::uint64_t packedSize = 0;
  PairReader reader;
  SplitResult pair;
  while (reader.next(file, pair)) {
    pairs.entries_.push_back({packedSize, static_cast<std::uint32_t>(pair.key.size()),
                              static_cast<std::uint32_t>(pair.value.size())});
    for (const std::string_view part : {pair.key, pair.value}) {
      if (!part.empty()) std::memmove(packed + packedSize, part.data(), part.size());
      packedSize += part.size();
    }
  }
  file.content.resize(packedSize);
  pairs.text_ = std::move(file.content);
  file.content = ByteBuffer();
  file.position = file.size;
  file.atEnd = true;
}

int LineOfPair(const std::string& path, bool secure, std::size_t pairIndex) {
  ResultOf<DataFilePtr> opened = secure ? OpenSecureFile(path, "R", 0) : OpenDataFile(path, "R", 0);
  if (!opened) return 0;
  DataFile& file = **opened;
  PairReader reader;
  SplitResult pair;
  for (std::size_t index = 0; reader.next(file, pair); ++index) {
    if (index == pairIndex) return file.lineCount;
  }
  return 0;
}

Result WriteRaw(DataFile& file, const char* bytes, std::size_t count) {
  if (!file.handle.isOpen() || file.mode == 'R') {
    return Result::Failure("cannot write " + file.path + ": it is not open for writing");
  }
  if (Result written = fileSystem().write(file.handle, bytes, count); !written) return written;
  file.size += count;
  return {};
}

Result WriteLine(DataFile& file, std::string_view text) {
  std::string line;
  line.reserve(text.size() + kLineEnd.size());
  line.append(text).append(kLineEnd);
  return WriteRaw(file, line.data(), line.size());
}

Result WritePair(DataFile& file, std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + value.size() + 1 + kLineEnd.size());
  line.append(key).append("=").append(value).append(kLineEnd);
  return WriteRaw(file, line.data(), line.size());
}

std::string PairFileBytes(const PairList& pairs, const std::string& scrambleKey) {
  // One buffer: many small writes would each reach the disk.
  std::string bytes;
  std::size_t total = 0;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    total += pairs.key(i).size() + pairs.value(i).size() + 1 + kLineEnd.size();
  }
  bytes.reserve(total);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    bytes.append(pairs.key(i)).append("=").append(pairs.value(i)).append(kLineEnd);
  }
  if (scrambleKey.empty()) return bytes;
  // The key index runs on across lines, so scrambling the whole body at once is the same.
  XorWithKey(bytes.data(), bytes.size(), scrambleKey);
  return std::string(kSecureHeader) + bytes;
}

Result WritePairs(DataFile& file, const PairList& pairs) {
  const std::string bytes = PairFileBytes(pairs);
  return WriteRaw(file, bytes.data(), bytes.size());
}

Result WriteSecurePairs(DataFile& file, const PairList& pairs) {
  if (!file.secure || file.mode != 'W') {
    return Result::Failure("cannot write " + file.path + ": not a scrambled file open for writing");
  }
  const std::string bytes = PairFileBytes(pairs, file.scrambleKey);
  return WriteRaw(file, bytes.data(), bytes.size());
}

void CloseDataFile(DataFilePtr& file) { file.reset(); }

Result AppendLine(const std::string& path, std::string_view text) {
  ResultOf<FileHandle> handle = fileSystem().open(path, OpenIntent::AppendCreate);
  if (!handle) return handle.status();
  std::string line(text);
  line.append(kLineEnd);
  return fileSystem().write(*handle, line.data(), line.size());
}

Result LoadLines(const std::string& path, TextList& lines) {
  ResultOf<DataFilePtr> file = OpenDataFile(path, "R", 0);
  if (!file) return file.status();
  lines.clear();
  std::string line;
  while (ReadLine(**file, line) >= 0) lines.push_back(line);
  return {};
}

}  // namespace tarvo
