// The structure reader on any bytes: loading never crashes, a damaged file is refused whole,
// and whatever loads is saved in a form that loads again with every record.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_file.h"
#include "base/clock.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    std::string path = "/tmp/tarvo-fuzz-structure-" + std::to_string(getpid());
    std::string command = "mkdir -p " + path;
    if (std::system(command.c_str()) != 0) std::abort();
    return path;
  }();
  const tarvo::Moment now = tarvo::Moment::At(QDateTime(QDate(2026, 12, 5), QTime(12, 0)));
  PutFuzzFile(data, size);

  tarvo::Structure master;
  master.path = folder + "/Structure.dat";
  master.uniquePath = folder + "/StructUnique.dat";
  std::remove(master.path.c_str());
  const tarvo::StructureLoad load = tarvo::LoadStructure(master, FuzzFilePath());
  if (!load.loaded()) {
    if (!master.empty()) __builtin_trap();  // a refused file leaves nothing half-loaded
    return 0;
  }
  const std::size_t loaded = master.size();
  tarvo::TopicTree tree;
  tarvo::BuildTree(master, tree, now);
  tarvo::RebuildFromTree(master, tree);
  if (master.size() != loaded) __builtin_trap();  // no record lost
  if (!tarvo::SaveStructure(master)) return 0;

  tarvo::Structure again;
  again.path = master.path;
  again.uniquePath = master.uniquePath;
  if (!tarvo::LoadStructure(again).loaded() || again.size() != loaded) __builtin_trap();
  return 0;
}
