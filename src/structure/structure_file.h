#pragma once

// The structure file: the whole topic tree as key=value lines, one record after another in
// display order, hierarchy by level only. Beside it the unique-id counter and the small
// reference-list files of recent changes and new topics.
//
// Safety: a file that cannot be parsed is never replaced by what could be made of it. Loading
// reports it, and the caller must not save over it; LoadStructureOrBackup brings the tree back
// from the newest numbered backup that reads cleanly, keeping the unreadable file aside.

#include <string>

#include "base/result.h"
#include "store/pair_file.h"
#include "store/pair_list.h"
#include "structure/structure.h"

namespace tarvo {

inline constexpr int kStructureBackups = 5;
inline constexpr int kRecentListLimit = 50;

struct StructureLoad {
  enum class Outcome {
    Loaded,      // the list holds the file's records
    Missing,     // there was no file: the list is unchanged
    Unreadable,  // the file is damaged: the list is unchanged, the file must not be saved over
  };
  Outcome outcome = Outcome::Missing;
  std::string message;      // "*** ..." for an unreadable file; what recovery did
  std::string note;         // something set right while loading, for the log
  std::string restoredFrom;  // the backup the tree came from, when it came from one

  [[nodiscard]] bool loaded() const { return outcome == Outcome::Loaded; }
};

// path = dataFolder/Structure.dat, uniquePath = dataFolder/StructUnique.dat; a missing
// Structure.dat is first copied from the program folder (freshCopy then set).
void SetStructurePaths(Structure& master, const std::string& dataFolder,
                       const std::string& programFolder);

// Appends the records of the file at master.path (or `fromPath`) to the master list. On any
// failure the list is left exactly as it was.
StructureLoad LoadStructure(Structure& master);
StructureLoad LoadStructure(Structure& master, const std::string& fromPath);

// LoadStructure, and when the file is unreadable or holds no record, the newest numbered
// backup that loads cleanly instead; the unreadable file is copied aside and the list is
// marked dirty so the next save writes a good file. The message then says what happened (an
// empty file without a usable backup too), for the user to see.
StructureLoad LoadStructureOrBackup(Structure& master);

// Writes the list's records in its order to Structure.tmp (in blocks, never the whole file in
// memory), takes a numbered backup of Structure.dat (five kept) and replaces it safely with the
// new content; clears the dirty flag. A failure leaves Structure.dat and the dirty flag as they
// were. Callers put the list in the tree's order first (RebuildFromTree).
Result SaveStructure(Structure& master);

// The next unique number from the counter file: always above every id the list holds or held.
// A counter that is damaged, or behind those ids, is set to continue above them; the result's
// note then says so, for the log.
ResultOf<int> NextUnique(const Structure& master);

// Appends the ids of the list's file (relink them afterwards). A missing file adds nothing.
Result LoadRefList(ReferenceList& list);
// Writes the ids; clears the dirty flag when written.
Result SaveRefList(ReferenceList& list);

// The lines a record is written as, in file order (for the structure and send files).
void AppendRecordPairs(const TopicRecord& record, PairList& pairs);
void AppendRecordPairs(const TopicRecord& record, BlockWriter& pairs);

}  // namespace tarvo
