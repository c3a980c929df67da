#include "structure/topic_record.h"

#include "base/slab_pool.h"

namespace tarvo {

// A million records are most of what a large tree holds in memory: a field that makes a record
// larger should take the room of another.
static_assert(sizeof(TopicRecord) <= 232, "a topic record grew");

namespace {

SlabPool& RecordPool() {
  static auto* pool = new SlabPool(sizeof(TopicRecord));  // never destroyed: statics free records at exit
  return *pool;
}

SlabPool& ReadingThreadPool() {
  static auto* pool = new SlabPool(sizeof(TopicRecord));  // never destroyed: statics free records at exit
  return *pool;
}

thread_local SlabPool* t_ownPool = nullptr;

}  // namespace

RecordReadingThread::RecordReadingThread() { t_ownPool = &ReadingThreadPool(); }

RecordReadingThread::~RecordReadingThread() { t_ownPool = nullptr; }

// Freed records go back to the user-interface thread's pool; the reading thread's pool takes
// them over for its turn and gives back what it left, so that neither pool grows at every load.
void RecordReadingThread::Lend() { ReadingThreadPool().takeFreeSlots(RecordPool()); }

void RecordReadingThread::GiveBack() { RecordPool().takeFreeSlots(ReadingThreadPool()); }

void* TopicRecord::operator new(std::size_t size) {
  if (size != sizeof(TopicRecord)) return ::operator new(size);
  return (t_ownPool != nullptr ? *t_ownPool : RecordPool()).allocate();
}

// Records are freed on the user-interface thread, whichever pool made them: every slot is the
// same size and no block is ever given back, so a slot of either pool serves the next record.
void TopicRecord::operator delete(void* block) noexcept { RecordPool().release(block); }

void MakeSortKey(TopicRecord& record) {
  std::string key(3, 'Z');
  switch (record.status) {
    case kNotStarted:
    case kInProgress:
    case kWaiting:
      key[0] = 'A';
      break;
    case kFinished:
      key[0] = 'X';
      break;
    case kOnHold:
      key[0] = 'Y';
      break;
    default:
      break;
  }
  if (record.urgent || (record.childTasks > 0 && record.urgentCount > 0)) key[1] = 'A';
  if (record.pri >= 1 && record.pri <= 9) {
    key[2] = static_cast<char>('0' + record.pri);
  } else if (record.pri < 0) {
    key[2] = '8';
  }
  record.sortKey = std::move(key);
}

void CopyTopicAttributes(TopicRecord& target, const TopicRecord& source) {
  target.text = source.text;
  target.urgent = source.urgent;
  target.fav = source.fav;
  target.dac = source.dac;
  target.dam = source.dam;
  target.ttype = source.ttype;
  target.status = source.status;
  target.pri = source.pri;
  target.recur = source.recur;
  target.lock = source.lock;
  target.dl = source.dl;
  target.dlDate = source.dlDate;
  target.dlTime = source.dlTime;
  target.rsDate = source.rsDate;
  target.rsTime = source.rsTime;
  target.rno = source.rno;
  target.rtype = source.rtype;
  target.autoFinish = source.autoFinish;
  target.flno = source.flno;
  target.fltyp = source.fltyp;
  target.calpr = source.calpr;
  target.progress = source.progress;
  target.fdate = source.fdate;
  target.fTime = source.fTime;
  target.cre = source.cre;
  target.sta = source.sta;
  target.from = source.from;
  target.sent = source.sent;
  target.durno = source.durno;
  target.durtype = source.durtype;
}

int NodeImageIndex(const TopicRecord& record) {
  if (record.isSection()) return record.type - 1;
  if (record.isTask()) return record.status + (record.recur ? 11 : 7);
  return record.ttype;
}

const char* SystemSectionId(int sectionType) {
  switch (sectionType) {
    case kMainSection:
      return "STD0001";
    case kNetworkSection:
      return "STD0002";
    case kPreferencesSection:
      return "STD0003";
    default:
      return "";
  }
}

}  // namespace tarvo
