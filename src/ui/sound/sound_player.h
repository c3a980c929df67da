#pragma once

// Plays sound files through the sound module (see sound_effects_module.cpp), which it loads
// when the first sound plays. A module that cannot be loaded is reported once; the program
// goes on without sounds.

#include <QObject>
#include <string>
#include <vector>

#include "base/result.h"

namespace tarvo {

class SoundPlayer {
 public:
  // Looks for the module in these folders, in order.
  explicit SoundPlayer(std::vector<std::string> moduleFolders);
  // The folders of an installed or a built program whose executable lies in `programFolder`.
  static std::vector<std::string> ModuleFoldersOf(const std::string& programFolder);

  // Starts the sound, owned by `owner` until it ends. Fails (once) when the module cannot be
  // loaded; later calls then do nothing and succeed.
  Result play(const std::string& soundFile, QObject* owner);

 private:
  using PlayFunction = void (*)(const char* utf8Path, QObject* owner);

  std::vector<std::string> moduleFolders_;
  PlayFunction play_ = nullptr;
  bool tried_ = false;
};

}  // namespace tarvo
