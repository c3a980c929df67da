// An add-on pack on any bytes: the first half is its structure, the second the add-on list.
// Both read or are refused; a pack that reads is planned into a small tree, parents first.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sharing/addon_pack.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"

namespace {

void Put(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    std::string path = "/tmp/tarvo-fuzz-pack-" + std::to_string(getpid());
    std::string command = "mkdir -p " + path + "/tree";
    if (std::system(command.c_str()) != 0) std::abort();
    return path;
  }();
  static tarvo::Structure master;
  static tarvo::TopicTree tree;
  static const bool loaded = [] {
    const char* text = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nuni=g1\r\ntext=Garden\r\nlev=1\r\ntype=1\r\n";
    Put(folder + "/tree/Structure.dat", reinterpret_cast<const std::uint8_t*>(text), std::char_traits<char>::length(text));
    if (!tarvo::LoadStructure(master, folder + "/tree/Structure.dat").loaded()) std::abort();
    tarvo::BuildTree(master, tree, tarvo::Moment::Now());
    return true;
  }();
  (void)loaded;
  const std::size_t half = size / 2;
  Put(folder + "/structure.dat", data, half);
  Put(folder + "/Addons.dat", data + half, size - half);
  if (tarvo::ResultOf<tarvo::AddonList> list = tarvo::LoadAddonList(folder + "/Addons.dat")) {
    for (const tarvo::AddonEntry& entry : list->entries) (void)tarvo::PackNameFields("addon-" + entry.name);
  }
  tarvo::ResultOf<tarvo::RecordList> records = tarvo::ReadPackStructure(folder);
  if (!records) return 0;
  const std::size_t count = records->size();
  tarvo::MergePlan plan = tarvo::PlanPackMerge(master, tree, std::move(*records));
  if (plan.updates.size() + plan.nodes.size() != count) std::abort();
  for (std::size_t i = 0; i < plan.nodes.size(); ++i) {
    if (plan.nodes[i].plannedParent >= static_cast<int>(i)) std::abort();
  }
  return 0;
}
