// A send file on any bytes, as it may arrive in an inbox: it reads whole or is refused, and a
// file that reads is planned into a small tree without crashing; the plan places every record.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "sharing/merge_plan.h"
#include "sharing/send_file.h"
#include "structure/structure_file.h"
#include "structure/tree_build.h"

namespace {

struct Receiver {
  tarvo::Structure master;
  tarvo::TopicTree tree;
  int nextId = 900;

  explicit Receiver(const std::string& folder) {
    const std::string path = folder + "/Structure.dat";
    const char* text =
        "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\n"
        "uni=12\r\ntext=Mine\r\nlev=1\r\ntype=1\r\n"
        "uni=ann-3\r\ntext=Theirs\r\nlev=2\r\ntype=1\r\n";
    PutBytes(path, reinterpret_cast<const std::uint8_t*>(text), std::char_traits<char>::length(text));
    if (!tarvo::LoadStructure(master, path).loaded()) std::abort();
    tarvo::BuildTree(master, tree, tarvo::Moment::Now());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = FuzzFolder("send");
  static Receiver receiver(folder);
  const std::string path = folder + "/ann-20260305-090703.str";
  PutBytes(path, data, size);
  tarvo::ResultOf<tarvo::ReceivedFile> received = tarvo::ReadSendFile(path);
  if (!received) return 0;
  const std::size_t records = received->records.size();
  tarvo::ResultOf<tarvo::MergePlan> plan =
      tarvo::PlanReceive(receiver.master, receiver.tree, std::move(*received), "bob",
                         [&] { return tarvo::ResultOf<std::string>(std::to_string(receiver.nextId++)); });
  if (!plan) return 0;
  if (plan->updates.size() + plan->nodes.size() < records) std::abort();  // a record went nowhere
  for (std::size_t i = 0; i < plan->nodes.size(); ++i) {
    if (plan->nodes[i].plannedParent >= static_cast<int>(i)) std::abort();  // parents come first
  }
  return 0;
}
