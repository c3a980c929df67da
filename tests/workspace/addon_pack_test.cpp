#include <gtest/gtest.h>

#include <filesystem>

#include "sharing/addon_pack.h"
#include "support/colleague.h"

namespace tarvo {
namespace {

using test::Colleague;
using test::kExchangeTime;
using test::ReadBytes;
using test::WriteBytes;

const char* kTree =
    "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nexp=Y\r\nsys=Y\r\nsend=Y\r\n"
    "uni=10\r\ntext=Chores\r\nlev=1\r\ntype=1\r\nttype=2\r\n";

const char* kGarden2 =
    "uni=g1\r\ntext=Garden\r\nlev=0\r\ntype=1\r\n"
    "uni=g2\r\ntext=Sow\r\nlev=1\r\ntype=1\r\nparent=g1\r\n"
    "uni=g3\r\ntext=Prune\r\nlev=1\r\ntype=1\r\nparent=g1\r\n";
const char* kGarden3 =
    "uni=g2\r\ntext=Sow early\r\nlev=1\r\ntype=1\r\nparent=g1\r\n"
    "uni=g4\r\ntext=Water\r\nlev=1\r\ntype=1\r\nparent=g1\r\n"
    "uni=g5\r\ntext=Compost\r\nlev=1\r\ntype=1\r\nparent=nowhere\r\n";

void Deliver(const Colleague& at, const std::string& folder, const std::string& structure) {
  std::filesystem::create_directories(JoinPath(at.program.path(), folder));
  WriteBytes(JoinPath(JoinPath(at.program.path(), folder), "structure.dat"), structure);
}

TEST(AddonPacks, APackMergesOnceAndAgainOnlyInANewVersion) {
  Colleague me("Ann", kTree);
  Deliver(me, "addon-Garden-2", kGarden2);
  WriteBytes(JoinPath(me.program.file("addon-Garden-2"), "g2.pkt"), "con=1\r\nuni=1\r\nfile=g2-1.lst\r\n");
  WriteBytes(JoinPath(me.program.file("addon-Garden-2"), "g2-1.lst"), "item=Seeds\r\n");
  std::filesystem::create_directories(me.program.file("addon"));
  Deliver(me, "addon-Empty-1", "");
  std::filesystem::remove(JoinPath(me.program.file("addon-Empty-1"), "structure.dat"));

  EXPECT_EQ(me.exchange.mergeAddonPacks(me.program.path(), kExchangeTime).sound, ExchangeSound::Received);
  EXPECT_EQ(me.outline(), "STD0001:0 10:1 g1:0 g2:1 g3:1");
  EXPECT_TRUE(me.logged("Addon - new section: Garden") && me.logged("Addon - new topic: Sow") &&
              me.logged("Addon - new topic: Prune"));
  EXPECT_FALSE(std::filesystem::exists(me.program.file("addon-Garden-2"))) << "a merged pack's folder goes";
  EXPECT_TRUE(std::filesystem::exists(me.program.file("addon"))) << "a folder without a pack name is ignored";
  EXPECT_TRUE(std::filesystem::exists(me.program.file("addon-Empty-1"))) << "a pack without structure stays";
  EXPECT_EQ(ReadBytes(JoinPath(me.folders.checklists, "g2-1.lst")), "item=Seeds\r\n");
  EXPECT_EQ(ReadBytes(JoinPath(me.folders.data, "Addons.dat")),
            "name=Garden\r\nsrc=install\r\ncre=20260305\r\nupd=2\r\ndate=\r\n");

  Deliver(me, "addon-Garden-2", kGarden2);
  EXPECT_EQ(me.exchange.mergeAddonPacks(me.program.path(), kExchangeTime).sound, ExchangeSound::None);
  EXPECT_TRUE(std::filesystem::exists(me.program.file("addon-Garden-2"))) << "the same version is not merged again";
  std::filesystem::remove_all(me.program.file("addon-Garden-2"));

  Deliver(me, "addon-Garden-3", kGarden3);
  EXPECT_EQ(me.exchange.mergeAddonPacks(me.program.path(), kExchangeTime).sound, ExchangeSound::Received);
  EXPECT_EQ(me.outline(), "STD0001:0 g5:1 10:1 g1:0 g2:1 g3:1 g4:1")
      << "new topics go under their parent; one whose parent is unknown goes first into its section";
  EXPECT_EQ(me.node("g2")->record->text.str(), "Sow early");
  EXPECT_TRUE(me.logged("Addon - matched topic: Sow early"));
  ResultOf<AddonList> list = LoadAddonList(JoinPath(me.folders.data, "Addons.dat"));
  ASSERT_TRUE(list);
  EXPECT_EQ(list->find("Garden")->version, "3");

  me.workspace.undoStack().undo();
  EXPECT_EQ(me.outline(), "STD0001:0 10:1 g1:0 g2:1 g3:1");
  EXPECT_EQ(me.node("g2")->record->text.str(), "Sow");
}

TEST(AddonPacks, TopicsWithoutParentGoUnderTheSectionThePackAddsBeforeThem) {
  Colleague me("Ann", kTree);
  Deliver(me, "addon-Trips", "uni=t1\r\ntext=Trips\r\nlev=0\r\ntype=1\r\nuni=t2\r\ntext=Rome\r\nlev=1\r\ntype=1\r\n");
  EXPECT_EQ(me.exchange.mergeAddonPacks(me.program.path(), kExchangeTime).sound, ExchangeSound::Received);
  EXPECT_EQ(me.outline(), "STD0001:0 10:1 t1:0 t2:1");
  EXPECT_FALSE(me.exchange.mergeAddonPacks(me.program.path(), kExchangeTime).foundPacks)
      << "no pack folder left: the timer keeps looking often";
}

TEST(AddonPacks, ADamagedPackIsLoggedAndKept) {
  Colleague me("Ann", kTree);
  Deliver(me, "addon-Bad-1", "uni=b1\r\ntext=One\r\nlev=0\r\nuni=b1\r\ntext=Again\r\nlev=0\r\n");
  Deliver(me, "addon-Cut-1", "uni=c1\r\ntext=Cut sh");
  WriteBytes(JoinPath(me.folders.data, "Addons.dat"), "name=Old\r\nsrc=install\r\ncre=20250101\r\nupd=1\r\ndate=x\r\n");
  EXPECT_EQ(me.exchange.mergeAddonPacks(me.program.path(), kExchangeTime).sound, ExchangeSound::None);
  EXPECT_EQ(me.outline(), "STD0001:0 10:1");
  EXPECT_TRUE(std::filesystem::exists(me.program.file("addon-Bad-1")) &&
              std::filesystem::exists(me.program.file("addon-Cut-1")));
  EXPECT_TRUE(me.logged("*** The add-on pack addon-Bad-1 was not merged"));
  EXPECT_EQ(ReadBytes(JoinPath(me.folders.data, "Addons.dat")),
            "name=Old\r\nsrc=install\r\ncre=20250101\r\nupd=1\r\ndate=x\r\n")
      << "nothing merged: the list is not rewritten";
}

}  // namespace
}  // namespace tarvo
