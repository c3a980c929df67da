#include "workspace/install_info.h"

#include "store/file_system.h"
#include "store/pair_file.h"
#include "store/safe_replace.h"
#include "base/date_text.h"

namespace tarvo {
namespace {

void Apply(InstallInfo& info, const PairList& pairs) {
  const auto text = [&pairs](std::string_view key, std::string& field) {
    const std::string_view value = pairs.valueOf(key);
    if (!value.empty()) field.assign(value);
  };
  text("product", info.product);
  text("type", info.type);
  text("supplier", info.supplier);
  text("ftpaccount", info.ftpaccount);
  info.dateformat = DecimalOr(pairs.valueOf("dateformat"), 0);
}

PairList Pairs(const InstallInfo& info) {
  PairList pairs;
  pairs.add("product", info.product);
  pairs.add("type", info.type);
  pairs.add("supplier", info.supplier);
  pairs.add("ftpaccount", info.ftpaccount);
  pairs.add("dateformat", std::to_string(info.dateformat));
  return pairs;
}

}  // namespace

InstallInfo LoadInstallInfo(const DataFolders& folders) {
  FileSystem& files = fileSystem();
  const std::string shippedPre = JoinPath(folders.program, "Install.pre");
  const std::string shippedPrz = JoinPath(folders.program, "Install.prz");
  std::string source = folders.install;
  if (files.exists(shippedPre)) {
    source = shippedPre;
  } else if (files.exists(shippedPrz)) {
    source = shippedPrz;
  }

  InstallInfo info;
  const auto problem = [&info](const std::string& what, const Result& result) {
    if (!result) info.problems.push_back("*** " + what + ": " + result.reason());
  };
  PairList pairs;
  if (files.exists(source)) {
    const Result loaded = LoadPairFile(source, pairs, true);
    problem("The installation parameters cannot be read", loaded);
    if (loaded) Apply(info, pairs);
  }
  const Result saved = SavePairFile(folders.install, Pairs(info), 0, true);
  problem("The installation parameters cannot be saved", saved);

  if (source == shippedPre) {
    // The shipped file goes only when both its copy and the parameters are in the data folder.
    const Result kept = ReplaceWithCopy(shippedPre, JoinPath(folders.data, "Install.pre"));
    problem("The shipped installation file cannot be copied", kept);
    if (kept && saved) problem("The shipped installation file cannot be removed", files.remove(shippedPre));
    info.freshInstallation = true;
  } else if (source == shippedPrz && saved) {
    problem("The shipped installation file cannot be removed", files.remove(shippedPrz));
  }
  return info;
}

}  // namespace tarvo
