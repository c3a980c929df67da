// An add-on pack on any bytes: the first half is its structure, the second the add-on list.
// Both read or are refused; a pack that reads is planned into a small tree, parents first.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "sharing/addon_pack.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = FuzzFolder("pack");
  static tarvo::Structure master;
  static tarvo::TopicTree tree;
  static const bool loaded = [&] {
    const char* text = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nuni=g1\r\ntext=Garden\r\nlev=1\r\ntype=1\r\n";
    PutBytes(folder + "/Tree.dat", reinterpret_cast<const std::uint8_t*>(text), std::char_traits<char>::length(text));
    if (!tarvo::LoadStructure(master, folder + "/Tree.dat").loaded()) std::abort();
    tarvo::BuildTree(master, tree, tarvo::Moment::Now());
    return true;
  }();
  (void)loaded;
  const std::size_t half = size / 2;
  PutBytes(folder + "/structure.dat", data, half);
  PutBytes(folder + "/Addons.dat", data + half, size - half);
  if (tarvo::ResultOf<tarvo::AddonList> list = tarvo::LoadAddonList(folder + "/Addons.dat")) {
    for (const tarvo::AddonEntry& entry : list->entries) (void)tarvo::PackNameFields("addon-" + entry.name);
  }
  tarvo::ResultOf<tarvo::RecordList> records = tarvo::ReadPackStructure(folder);
  if (!records) return 0;
  const std::size_t count = records->size();
  tarvo::ResultOf<tarvo::MergePlan> plan = tarvo::PlanPackMerge(master, tree, std::move(*records));
  if (!plan) return 0;
  if (plan->updates.size() + plan->nodes.size() != count) std::abort();
  for (std::size_t i = 0; i < plan->nodes.size(); ++i) {
    if (plan->nodes[i].plannedParent >= static_cast<int>(i)) std::abort();
  }
  return 0;
}
