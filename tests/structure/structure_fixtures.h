#pragma once

// Structure files as the program writes them, for round trips and loading tests.

#include <string>
#include <vector>

namespace tarvo::test {

// Joins lines with CR LF after each, as the store writes them.
inline std::string CrLf(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += line + "\r\n";
  return joined;
}

// Every key the program writes appears at least once, in the order it writes them.
inline const std::vector<std::string>& EveryFieldLines() {
  static const std::vector<std::string> lines = {
      "uni=STD0001", "text=Työ", "lev=0", "type=1", "exp=Y", "sys=Y", "top=Y", "send=Y",
      "uni=42", "text=Renew insurance = soon", "lev=1", "type=1", "sel=Y", "dac=2", "dam=3",
      "urgent=Y", "fav=Y", "topnode=Y", "ttype=4", "status=2", "oldttype=6", "pri=2", "recur=Y",
      "lock=Y", "dl=Y", "dlDate=20990115", "dlTime=17:30:00", "rsDate=20990115",
      "rsTime=17:30:00", "rno=1", "rtype=3", "calpr=N", "pr%=40", "prog=1", "flno=3",
      "fltyp=2", "auto=Y", "fdate=20251201", "fTime=10:00:00", "cre=20251203-101500",
      "sta=20251204-090000", "from=Ann Lee", "sent=20251205-080000", "durno=2", "durtype=1",
      "uni=43", "text=Meeting", "lev=2", "type=1", "ttype=3", "status=1", "dl=Y",
      "dlDate=20990301", "rtype=0", "fltyp=0", "durtype=0",
      "uni=STD0003", "text=Settings", "lev=0", "type=3",
      "uni=44", "text=Preferences", "lev=1", "type=3", "ttype=2",
  };
  return lines;
}

// Sections with every field at its default: three lines each.
inline const std::vector<std::string>& DefaultLines() {
  static const std::vector<std::string> lines = {
      "uni=1", "text=First", "lev=0", "uni=2", "text=Second", "lev=0",
  };
  return lines;
}

}  // namespace tarvo::test
