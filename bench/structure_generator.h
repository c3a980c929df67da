#pragma once

// A structure file of realistic shape for benchmarks: a dozen sections, topics nested up to
// five levels, tasks and events with deadlines, recurrences, stamps and captions of ordinary
// length.

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "store/data_file.h"
#include "store/safe_replace.h"
#include "base/interval.h"
#include "structure/structure_file.h"

namespace tarvo::bench {

inline std::string MakeStructureFile(const std::string& path, int topics) {
  std::mt19937 random(11);
  const char* words[] = {"Quarterly", "report", "budget", "review", "call", "Ann",   "plan",
                         "päivitys",  "renew",  "insurance", "team", "offsite", "draft", "tax"};
  PairList pairs;
  int level = 0;
  int section = 0;
  for (int i = 0; i < topics; ++i) {
    TopicRecord record(std::to_string(i + 100));
    if (i % (topics / 12 + 1) == 0) {
      record.lev = 0;
      record.type = section == 0 ? kMainSection : 10 + section;
      record.uni = section == 0 ? "STD0001" : record.uni;
      record.ttype = kSectionTopicType;
      ++section;
      level = 0;
    } else {
      const int step = static_cast<int>(random() % 4);
      level = step == 0 ? std::min(level + 1, 5) : step == 1 ? std::max(level - 1, 1) : std::max(level, 1);
      record.lev = level;
      record.type = kMainSection;
      record.ttype = random() % 3 == 0 ? kEvent : kTask;
      record.status = record.ttype == kTask ? 1 + static_cast<int>(random() % 5) : kNotStarted;
      record.pri = static_cast<int>(random() % 10);
      record.cre = "20251203-101500";
      if (random() % 2 == 0) {
        record.dl = true;
        // A real date: every deadline makes the deadline pass do its whole work.
        char date[16];
        std::snprintf(date, sizeof date, "%04d%02d%02d", 2026 + static_cast<int>(random() % 2),
                      1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 28));
        record.dlDate = date;
        if (random() % 3 == 0) record.dlTime = "17:30:00";
        if (record.ttype == kEvent) {
          record.durno = 2;
          record.durtype = kHours;
        }
      }
      if (random() % 10 == 0) {
        record.recur = true;
        record.rno = 1;
        record.rtype = kWeeks;
      }
    }
    const int wordCount = 2 + static_cast<int>(random() % 5);
    std::string caption;
    for (int w = 0; w < wordCount; ++w) {
      if (w > 0) caption += ' ';
      caption += words[random() % 14];
    }
    record.text = caption;
    record.exp = random() % 4 == 0;
    AppendRecordPairs(record, pairs);
  }
  if (!WriteFileSafely(path, PairFileBytes(pairs))) std::abort();
  return path;
}

}  // namespace tarvo::bench
