#include "ui/sound/sound_player.h"

#include <QLibrary>

namespace tarvo {

SoundPlayer::SoundPlayer(std::vector<std::string> moduleFolders) : moduleFolders_(std::move(moduleFolders)) {}

std::vector<std::string> SoundPlayer::ModuleFoldersOf(const std::string& programFolder) {
  return {programFolder, programFolder + "/" + TARVO_MODULES_FROM_PROGRAM};
}

Result SoundPlayer::play(const std::string& soundFile, QObject* owner) {
  if (!tried_) {
    tried_ = true;
    std::string reasons;
    for (const std::string& folder : moduleFolders_) {
      QLibrary module(QString::fromStdString(folder + "/" + TARVO_SOUND_MODULE));
      play_ = reinterpret_cast<PlayFunction>(module.resolve("tarvoPlaySoundFile"));  // NOLINT: the module's one entry
      if (play_ != nullptr) break;  // the module stays loaded for the rest of the run
      reasons += (reasons.empty() ? "" : "; ") + module.errorString().toStdString();
    }
    if (play_ == nullptr) return Result::Failure("the sound module cannot be loaded: " + reasons);
  }
  if (play_ != nullptr) play_(soundFile.c_str(), owner);
  return {};
}

}  // namespace tarvo
