#pragma once

// One section or topic of the user's tree.
//
// Stored fields carry the names of their keys in the structure file; where a key is no valid
// C++ name the member says what it holds (`autoFinish` is stored as "auto", `progress` as
// "pr%"). Runtime fields are never stored. The constructor sets every default, so a reader
// only has to apply the lines a file actually holds.

#include <bitset>
#include <cstdint>
#include <string>

#include "base/short_text.h"

namespace tarvo {

class TopicNode;

// Topic types (ttype); the number is also the image index of the topic's icon.
enum TopicType : int {
  kSectionTopicType = -1,
  kGeneralTopic = 2,
  kEvent = 3,
  kTask = 4,
  kNotesTopic = 5,
  kIdeaTopic = 6,
  kFinanceTopic = 7,
};

// Task status; the number is the image index of the status button.
enum TaskStatus : int {
  kNoStatus = 0,
  kNotStarted = 1,
  kInProgress = 2,
  kFinished = 3,
  kOnHold = 4,
  kWaiting = 5,
};

// Section types (type) with a meaning of their own.
enum SectionType : int {
  kMainSection = 1,         // "STD0001"; the only one whose topics have deadlines refreshed
  kNetworkSection = 2,      // "STD0002"; its topics show the network settings
  kPreferencesSection = 3,  // "STD0003"; its topics show the preferences
  kInformationSection = 5,
  kContactsSection = 6,
};

inline constexpr int kSectionTypeCount = 32;  // section types lie in 0..31
inline constexpr int kNoDeadline = 99999;     // daysDue of a topic without deadline

// Background colours of the deadline state, 0xRRGGBB.
inline constexpr std::uint32_t kOverdueColour = 0xF0C0C0;
inline constexpr std::uint32_t kCurrentColour = 0xF8F800;
inline constexpr std::uint32_t kAheadColour = 0xD0E8E8;

// Which section types may be sent to colleagues; set by reading records marked "send".
using SendTypes = std::bitset<kSectionTypeCount>;

struct TopicRecord {
  explicit TopicRecord(std::string_view uniqueId) : uni(uniqueId) {}

  // Records live in a pool of populated blocks (see SlabPool): made and freed on the UI thread,
  // or made on a thread that holds a RecordReadingThread.
  static void* operator new(std::size_t size);
  static void operator delete(void* block) noexcept;

  // Grouped by kind rather than in the file's order, so that a million records pack tightly:
  // texts, then numbers, then one-bit flags.

  // Stored texts.
  ShortText uni;
  ShortText text;
  ShortText cre;     // created, stamp
  ShortText sta;     // first in progress, stamp
  TinyText dlDate;
  TinyText dlTime;
  TinyText rsDate;    // set only for recurring topics
  TinyText rsTime;
  TinyText fdate;
  TinyText fTime;
  RareText from;     // exchange: who sent it
  RareText sent;     // exchange: when
  RareText parent;   // read from add-on files to place new records; never written

  // Stored numbers. Codes and percentages take a byte each: a value the file holds beyond a
  // byte's range means nothing to the program, and reads as a missing one (see the reader).
  int lev = 0;
  int rno = 0;
  int flno = 0;       // urgency lead in days; 0 never
  int durno = 0;
  int dac = 0;        // number of pages with content
  std::int8_t ttype = kTask;
  std::int8_t status = kNoStatus;
  std::int8_t dam = 0;  // bit set of page kinds with content: 1 notes, 2 checklist, 4 list, 8 other
  std::int8_t type = 0;  // section type
  std::int8_t pri = 0;
  std::int8_t rtype = -1;
  std::int8_t fltyp = -1;
  std::int8_t progress = 0;  // "pr%", 0..100
  std::int8_t durtype = -1;
  std::int8_t oldttype = 0;

  // Stored flags.
  bool fav : 1 = false;
  bool urgent : 1 = false;
  bool done : 1 = false;  // older form of "finished"; converted when the tree is built
  bool sys : 1 = false;
  bool top : 1 = false;
  bool send : 1 = false;
  bool lock : 1 = false;
  bool recur : 1 = false;
  bool dl : 1 = false;
  bool autoFinish : 1 = false;  // "auto"
  bool calpr : 1 = true;
  bool prog : 1 = false;
  // Stored tree state.
  bool exp : 1 = false;
  bool sel : 1 = false;
  bool topnode : 1 = false;
  // Runtime.
  bool packetLoaded : 1 = false;

  // Runtime roll-up, deadline state and sorting.
  int childTasks = 0;
  int urgentCount = 0;
  int daysDue = kNoDeadline;
  std::uint32_t statusColour = 0;
  ShortText statusText;
  TinyText sortKey = "ZZZ";
  RareText packetPath;
  TopicNode* treeNode = nullptr;  // not owned; null while the record is in no tree
  std::uint32_t masterIndex = 0;  // position in the master list; kept by the list

  [[nodiscard]] bool isSection() const { return lev == 0; }
  [[nodiscard]] bool isTask() const { return ttype == kTask; }
};

// While it lives, records made on this thread come from a pool of their own, so that a thread
// may read part of a structure file beside the user-interface thread. One such thread at a
// time; the records are handed to the user-interface thread, which frees them.
class RecordReadingThread {
 public:
  RecordReadingThread();
  ~RecordReadingThread();
  RecordReadingThread(const RecordReadingThread&) = delete;
  RecordReadingThread& operator=(const RecordReadingThread&) = delete;

  // On the user-interface thread, before the reading thread starts and after it ended: the
  // freed records' slots go to the reading thread's pool and back.
  static void Lend();
  static void GiveBack();
};

// Active tasks first, then urgent, then by priority: three characters in ascending byte order.
void MakeSortKey(TopicRecord& record);

// Copies the user-visible attributes (not the identity, place in the tree, section settings or
// runtime state).
void CopyTopicAttributes(TopicRecord& target, const TopicRecord& source);

// The image index of a node showing this record: a section shows its type − 1, a task its
// status + 7 (+ 11 when recurring), any other topic its type.
int NodeImageIndex(const TopicRecord& record);

// The unique id a section of this type must carry ("STD0001".."STD0003"), or empty.
const char* SystemSectionId(int sectionType);

}  // namespace tarvo
