#include "structure/structure_file.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <thread>
#include <optional>

#include "store/backups.h"
#include "store/counter_file.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "store/pair_file.h"
#include "store/pair_stream.h"
#include "store/safe_replace.h"
#include "base/clock.h"
#include "base/date_text.h"

namespace tarvo {
namespace {

constexpr std::string_view kYes = "Y";

enum class Field {
  Uni, Text, Lev, Type, Exp, Sel, Done, Dac, Dam, Urgent, Fav, Sys, Top, Topnode, Send, Ttype,
  Status, Oldttype, Pri, Recur, Lock, Dl, DlDate, DlTime, RsDate, RsTime, Rno, Rtype, Calpr,
  Progress, Prog, Flno, Fltyp, Auto, Fdate, FTime, Cre, Sta, From, Sent, Durno, Durtype, Parent,
};

// The field of a structure-file key; nothing for a key the file format does not know.
// Dispatched on the key's length first: this runs once per line of files of millions of lines.
std::optional<Field> FieldOf(std::string_view key) {
  switch (key.size()) {
    case 2:
      if (key == "dl") return Field::Dl;
      break;
    case 3:
      if (key == "uni") return Field::Uni;
      if (key == "lev") return Field::Lev;
      if (key == "exp") return Field::Exp;
      if (key == "sel") return Field::Sel;
      if (key == "dac") return Field::Dac;
      if (key == "dam") return Field::Dam;
      if (key == "fav") return Field::Fav;
      if (key == "sys") return Field::Sys;
      if (key == "top") return Field::Top;
      if (key == "pri") return Field::Pri;
      if (key == "rno") return Field::Rno;
      if (key == "pr%") return Field::Progress;
      if (key == "cre") return Field::Cre;
      if (key == "sta") return Field::Sta;
      break;
    case 4:
      if (key == "text") return Field::Text;
      if (key == "type") return Field::Type;
      if (key == "done") return Field::Done;
      if (key == "send") return Field::Send;
      if (key == "lock") return Field::Lock;
      if (key == "prog") return Field::Prog;
      if (key == "flno") return Field::Flno;
      if (key == "auto") return Field::Auto;
      if (key == "from") return Field::From;
      if (key == "sent") return Field::Sent;
      break;
    case 5:
      if (key == "ttype") return Field::Ttype;
      if (key == "recur") return Field::Recur;
      if (key == "rtype") return Field::Rtype;
      if (key == "calpr") return Field::Calpr;
      if (key == "fltyp") return Field::Fltyp;
      if (key == "fdate") return Field::Fdate;
      if (key == "fTime") return Field::FTime;
      if (key == "durno") return Field::Durno;
      break;
    case 6:
      if (key == "urgent") return Field::Urgent;
      if (key == "status") return Field::Status;
      if (key == "dlDate") return Field::DlDate;
      if (key == "dlTime") return Field::DlTime;
      if (key == "rsDate") return Field::RsDate;
      if (key == "rsTime") return Field::RsTime;
      if (key == "parent") return Field::Parent;
      break;
    case 7:
      if (key == "topnode") return Field::Topnode;
      if (key == "durtype") return Field::Durtype;
      break;
    case 8:
      if (key == "oldttype") return Field::Oldttype;
      break;
    default:
      break;
  }
  return std::nullopt;
}

// Sets one field of the record from its stored text. Returns false for a value the file may
// not hold (a level that is no number).
bool ApplyField(TopicRecord& record, Field field, std::string_view value, SendTypes& sendTypes) {
  const auto number = [value](int fallback) { return DecimalOr(value, fallback); };
  // Codes and percentages are held in a byte: a number beyond its range means nothing to the
  // program, and reads as one that is no number.
  const auto code = [value](std::int8_t fallback) {
    const int read = DecimalOr(value, fallback);
    return read >= INT8_MIN && read <= INT8_MAX ? static_cast<std::int8_t>(read) : fallback;
  };
  const bool yes = value == kYes;
  switch (field) {
    case Field::Uni:
      break;  // opens a record; handled by the reader
    case Field::Text: record.text.assign(value); break;
    case Field::Lev: {
      const std::optional<int> level = ParseDecimal(value);
      if (!level) return false;
      record.lev = *level;
      break;
    }
    case Field::Type: record.type = code(-1); break;
    case Field::Exp: record.exp = yes; break;
    case Field::Sel: record.sel = yes; break;
    case Field::Done: record.done = yes; break;
    case Field::Dac: record.dac = number(0); break;
    case Field::Dam: record.dam = code(0); break;
    case Field::Urgent: record.urgent = yes; break;
    case Field::Fav: record.fav = yes; break;
    case Field::Sys: record.sys = yes; break;
    case Field::Top: record.top = yes; break;
    case Field::Topnode: record.topnode = yes; break;
    case Field::Send:
      record.send = yes;
      if (yes && record.type >= 0 && record.type < kSectionTypeCount) sendTypes.set(static_cast<std::size_t>(record.type));
      break;
    case Field::Ttype: record.ttype = code(0); break;
    case Field::Status: record.status = code(0); break;
    case Field::Oldttype: record.oldttype = code(0); break;
    case Field::Pri: record.pri = code(0); break;
    case Field::Recur: record.recur = yes; break;
    case Field::Lock: record.lock = yes; break;
    case Field::Dl: record.dl = yes; break;
    case Field::DlDate: record.dlDate.assign(value); break;
    case Field::DlTime: record.dlTime.assign(value); break;
    case Field::RsDate: record.rsDate.assign(value); break;
    case Field::RsTime: record.rsTime.assign(value); break;
    case Field::Rno: record.rno = number(0); break;
    case Field::Rtype: record.rtype = code(0); break;
    case Field::Calpr: record.calpr = yes; break;
    case Field::Progress: record.progress = code(0); break;
    case Field::Prog: record.prog = number(0) != 0; break;
    case Field::Flno: record.flno = number(0); break;
    case Field::Fltyp: record.fltyp = code(0); break;
    case Field::Auto: record.autoFinish = yes; break;
    case Field::Fdate: record.fdate.assign(value); break;
    case Field::FTime: record.fTime.assign(value); break;
    case Field::Cre: record.cre.assign(value); break;
    case Field::Sta: record.sta.assign(value); break;
    case Field::From: record.from.assign(value); break;
    case Field::Sent: record.sent.assign(value); break;
    case Field::Durno: record.durno = number(0); break;
    case Field::Durtype: record.durtype = code(0); break;
    case Field::Parent: record.parent.assign(value); break;
  }
  return true;
}

bool HasTime(std::string_view time) { return !time.empty() && time != "00:00:00"; }

std::string WithExtension(const std::string& path, std::string_view extension) {
  const std::string name = NameOf(path);
  const auto dot = name.find_last_of('.');
  const std::string base = dot == std::string::npos ? path : path.substr(0, path.size() - (name.size() - dot));
  return base + std::string(extension);
}

// Structure.tmp (or the list's .tmp) stays beside the file after a save.
std::string TemporaryOf(const std::string& path) { return WithExtension(path, ".tmp"); }

std::string Unreadable(const std::string& path, int line, const std::string& what) {
  std::string message = "*** The structure file " + path + " cannot be read";
  if (line > 0) message += ": line " + std::to_string(line);
  message += ": " + what;
  return message;
}

// What one part of a structure file holds: its records, in the file's order, and what they
// tell of the whole.
struct ParsedPart {
  struct BadLevel {
    std::size_t line;  // counted from the part's first line
    std::string value;
  };
  std::vector<std::unique_ptr<TopicRecord>> records;
  std::vector<TopicRecord*> withoutId;  // they get fresh ids once every id of the file is known
  SendTypes sendTypes;
  long long maxUni = 0;
  bool lastHasLevel = true;
  std::optional<BadLevel> badLevel;
  std::size_t lines = 0;
  Result read;
};

// Reads the records of [from, to); a part that cannot be read says why in `failure`.
ParsedPart ParsePart(const std::string& path, std::uint64_t from, std::uint64_t to) {
  ParsedPart part;
  part.read = ForEachPairBetween(path, from, to, [&part](std::string_view key, std::string_view value, std::size_t line) {
    const std::optional<Field> field = FieldOf(key);
    if (!field) return true;
    if (*field == Field::Uni) {
      if (!value.empty() && value.front() >= '0' && value.front() <= '9') {
        part.maxUni = std::max<long long>(part.maxUni, DecimalOr(value, -1));
      }
      part.records.push_back(std::make_unique<TopicRecord>(value));
      if (value.empty()) part.withoutId.push_back(part.records.back().get());
      part.lastHasLevel = false;
      return true;
    }
    if (part.records.empty()) return true;  // lines before the first record
    if (*field == Field::Lev) part.lastHasLevel = true;
    if (!ApplyField(*part.records.back(), *field, value, part.sendTypes)) {
      part.badLevel = ParsedPart::BadLevel{line, std::string(value)};
      return false;
    }
    return true;
  }, &part.lines);
  return part;
}

// Where a second part of a large file begins: the first record that starts after the middle,
// or 0 to read the file as one part. A record starts at a line "uni=..."; no value holds a
// line end, so such a line is always the start of a record.
std::uint64_t SecondPartStart(const std::string& path, std::uint64_t size) {
  constexpr std::uint64_t kSplitFrom = std::uint64_t{4} << 20;
  constexpr std::size_t kLookedAt = std::size_t{64} << 10;
  if (size < kSplitFrom) return 0;
  ResultOf<FileHandle> file = fileSystem().open(path, OpenIntent::Read);
  if (!file) return 0;
  std::string window(kLookedAt, '\0');
  const ResultOf<std::size_t> got = fileSystem().readAt(*file, size / 2, window.data(), window.size());
  if (!got) return 0;
  const std::size_t found = std::string_view(window.data(), *got).find("\nuni=");
  return found == std::string_view::npos ? 0 : size / 2 + found + 1;
}

}  // namespace

void SetStructurePaths(Structure& master, const std::string& dataFolder,
                       const std::string& programFolder) {
  master.path = JoinPath(dataFolder, "Structure.dat");
  master.uniquePath = JoinPath(dataFolder, "StructUnique.dat");
  FileSystem& files = fileSystem();
  if (files.exists(master.path)) return;
  const std::string shipped = JoinPath(programFolder, "Structure.dat");
  // Without the copy the folder simply starts empty; the load reports nothing to restore.
  if (files.exists(shipped) && ReplaceWithCopy(shipped, master.path).ok()) master.freshCopy = true;
}

StructureLoad LoadStructure(Structure& master) { return LoadStructure(master, master.path); }

StructureLoad LoadStructure(Structure& master, const std::string& fromPath) {
  StructureLoad result;
  if (!fileSystem().exists(fromPath)) return result;
  const auto unreadable = [&](std::size_t line, const std::string& what) {
    result.outcome = StructureLoad::Outcome::Unreadable;
    result.message = Unreadable(fromPath, static_cast<int>(line), what);
  };

  // A file cut short (the disk filled up, a copy broke off) or saved in another encoding would
  // load as fewer topics than it held, and the next save would make that final.
  const ResultOf<TextFileEnds> ends = ReadTextFileEnds(fromPath);
  if (!ends) {
    unreadable(0, ends.reason());
    return result;
  }
  if (ends->startsWithByteOrderMark()) {
    unreadable(1, "it starts with a byte-order mark: it was saved as another kind of text");
    return result;
  }
  if (ends->size > 0 && !ends->endsWithLineEnd()) {
    unreadable(0, "it ends in the middle of a line: it was cut short");
    return result;
  }

  // Records are built aside and join the list only when the whole file has read cleanly. A
  // large file is read in two parts at once, one on another thread.
  const std::uint64_t split = SecondPartStart(fromPath, ends->size);
  ParsedPart first;
  ParsedPart second;
  if (split == 0) {
    first = ParsePart(fromPath, 0, UINT64_MAX);
  } else {
    RecordReadingThread::Lend();
    std::thread reader([&second, &fromPath, split] {
      const RecordReadingThread ownPool;
      second = ParsePart(fromPath, split, UINT64_MAX);
    });
    first = ParsePart(fromPath, 0, split);
    reader.join();
    RecordReadingThread::GiveBack();
  }
  for (const ParsedPart* part : {&first, &second}) {
    if (!part->read) {
      unreadable(0, part->read.reason());
      return result;
    }
  }
  for (const ParsedPart* part : {&first, &second}) {
    if (!part->badLevel) continue;
    // The second part's lines count on from the first's.
    const std::size_t line = (part == &second ? first.lines : 0) + part->badLevel->line;
    unreadable(line, "the level \"" + part->badLevel->value + "\" is not a number");
    return result;
  }
  if (!(split == 0 ? first : second).lastHasLevel) {
    unreadable(0, "its last topic has no level: the file was cut short");
    return result;
  }
  std::vector<std::unique_ptr<TopicRecord>> records = std::move(first.records);
  records.insert(records.end(), std::make_move_iterator(second.records.begin()),
                 std::make_move_iterator(second.records.end()));
  std::vector<TopicRecord*> withoutId = std::move(first.withoutId);
  withoutId.insert(withoutId.end(), second.withoutId.begin(), second.withoutId.end());
  const long long maxUni = std::max(first.maxUni, second.maxUni);
  const SendTypes sendTypes = master.sendTypes | first.sendTypes | second.sendTypes;

  master.noteId(std::to_string(maxUni));
  for (TopicRecord* record : withoutId) {
    ResultOf<int> fresh = NextUnique(master);
    if (!fresh) {
      unreadable(0, "a topic without id, and no new id: " + fresh.reason());
      return result;
    }
    record->uni = std::to_string(*fresh);
    master.noteId(record->uni);
    if (!fresh.note().empty()) result.note = fresh.note();
  }

  if (master.freshCopy) {
    // The shipped file's ids are taken: new topics must start above them.
    const Result counted = WriteCounter(master.uniquePath, static_cast<int>(maxUni + 1));
    if (!counted) {
      result.outcome = StructureLoad::Outcome::Unreadable;
      result.message = "*** The id counter " + master.uniquePath + " cannot be written: " +
                       counted.reason();
      return result;
    }
    master.freshCopy = false;
  }
  master.adoptAll(std::move(records));
  master.sendTypes = sendTypes;
  result.outcome = StructureLoad::Outcome::Loaded;
  return result;
}

StructureLoad LoadStructureOrBackup(Structure& master) {
  StructureLoad result = LoadStructure(master);
  if (result.outcome == StructureLoad::Outcome::Missing) return result;
  if (result.loaded() && !master.empty()) return result;

  // The reason without its own "*** ": the message below is the one that reports.
  std::string why = result.loaded() ? "it holds no topics" : result.message;
  if (why.starts_with("*** ")) why.erase(0, 4);
  const BackupList backups = ListBackups(master.path);
  for (auto backup = backups.rbegin(); backup != backups.rend(); ++backup) {
    const std::string backupPath = JoinPath(FolderOf(master.path), backup->name);
    StructureLoad attempt = LoadStructure(master, backupPath);
    if (!attempt.loaded() || master.empty()) continue;

    const std::string aside = WithExtension(master.path, "") + "-unreadable-" + StampText() + ".dat";
    const bool keptAside = ReplaceWithCopy(master.path, aside).ok();
    attempt.restoredFrom = backupPath;
    attempt.message = "*** " + NameOf(master.path) + " could not be used (" + why +
                      "); the topics were restored from " + backup->name;
    attempt.message += keptAside ? "; the unreadable file was kept as " + NameOf(aside)
                                 : "; the unreadable file could not be copied aside";
    master.dirty = true;
    return attempt;
  }
  if (result.loaded()) {
    result.message = "*** " + NameOf(master.path) + " holds no topics, and no backup copy could be "
                     "used; the tree starts empty";
  }
  return result;
}

Result SaveStructure(Structure& master) {
  Result saved = SaveStreamedThrough(
      TemporaryOf(master.path), master.path, kStructureBackups, [&master](BlockWriter& writer) {
        for (std::size_t i = 0; i < master.size(); ++i) AppendRecordPairs(*master.record(i), writer);
      });
  if (saved) master.dirty = false;
  return saved;
}

ResultOf<int> NextUnique(const Structure& master) {
  ResultOf<int> next = NextCounter(master.uniquePath);
  if (next && *next > master.highestId()) return next;
  const long long above = master.highestId() + 1;
  if (above > INT_MAX) return Result::Failure("every topic id up to " + std::to_string(INT_MAX) + " is taken");
  const int fresh = static_cast<int>(above);
  if (Result written = WriteCounter(master.uniquePath, fresh); !written) return written;
  const std::string why = next ? "was behind the topics (it gave " + std::to_string(*next) + ")"
                               : "could not be used (" + next.reason() + ")";
  return ResultOf<int>::Noted(fresh, "*** The id counter " + master.uniquePath + " " + why +
                                         "; new topics continue at " + std::to_string(fresh));
}

Result LoadRefList(ReferenceList& list) {
  if (!fileSystem().exists(list.path)) return {};
  PairList pairs;
  if (Result loaded = LoadPairFile(list.path, pairs); !loaded) return loaded;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (pairs.key(i) == "uni") list.add(std::string(pairs.value(i)));
  }
  return {};
}

Result SaveRefList(ReferenceList& list) {
  PairList pairs;
  for (const ReferenceList::Entry& entry : list.entries()) pairs.add("uni", entry.uni);
  Result saved = SavePairFileThrough(TemporaryOf(list.path), list.path, pairs, kStructureBackups);
  if (saved) list.dirty = false;
  return saved;
}

namespace {

template <typename Sink>
void AppendPairs(const TopicRecord& r, Sink& pairs) {
  const auto flag = [&pairs](std::string_view key, bool on) {
    if (on) pairs.add(key, kYes);
  };
  const auto above = [&pairs](std::string_view key, int value, int floor) {
    if (value > floor) pairs.add(key, std::to_string(value));
  };
  const auto text = [&pairs](std::string_view key, std::string_view value) {
    if (!value.empty()) pairs.add(key, value);
  };
  const auto dateAndTime = [&pairs](std::string_view dateKey, std::string_view date,
                                    std::string_view timeKey, std::string_view time) {
    if (date.empty()) return;
    pairs.add(dateKey, date);
    if (HasTime(time)) pairs.add(timeKey, time);
  };

  pairs.add("uni", r.uni);
  pairs.add("text", r.text);
  pairs.add("lev", std::to_string(r.lev));
  if (r.type != 0) pairs.add("type", std::to_string(r.type));
  flag("exp", r.exp);
  flag("sel", r.sel);
  flag("done", r.done);
  if (r.dac > 0) {
    pairs.add("dac", std::to_string(r.dac));
    pairs.add("dam", std::to_string(r.dam));
  }
  flag("urgent", r.urgent);
  flag("fav", r.fav);
  flag("sys", r.sys);
  flag("top", r.top);
  flag("topnode", r.topnode);
  flag("send", r.send);
  above("ttype", r.ttype, 0);
  above("status", r.status, 0);
  above("oldttype", r.oldttype, 0);
  above("pri", r.pri, 0);
  flag("recur", r.recur);
  flag("lock", r.lock);
  flag("dl", r.dl);
  dateAndTime("dlDate", r.dlDate, "dlTime", r.dlTime);
  dateAndTime("rsDate", r.rsDate, "rsTime", r.rsTime);
  above("rno", r.rno, 0);
  above("rtype", r.rtype, -1);
  if (!r.calpr) pairs.add("calpr", "N");
  above("pr%", r.progress, 0);
  if (r.prog) pairs.add("prog", "1");
  above("flno", r.flno, 0);
  above("fltyp", r.fltyp, -1);
  flag("auto", r.autoFinish);
  dateAndTime("fdate", r.fdate, "fTime", r.fTime);
  text("cre", r.cre);
  text("sta", r.sta);
  text("from", r.from);
  text("sent", r.sent);
  above("durno", r.durno, 0);
  above("durtype", r.durtype, -1);
}

}  // namespace

void AppendRecordPairs(const TopicRecord& record, PairList& pairs) { AppendPairs(record, pairs); }

void AppendRecordPairs(const TopicRecord& record, BlockWriter& pairs) {
  AppendPairs(record, pairs);
}

}  // namespace tarvo
