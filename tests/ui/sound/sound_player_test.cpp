#include "ui/sound/sound_player.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QObject>
#include <QTemporaryDir>

namespace tarvo {
namespace {

bool SoundLibraryLoaded() {
  QFile maps("/proc/self/maps");
  if (!maps.open(QIODevice::ReadOnly)) return false;
  return maps.readAll().contains("libQt6Multimedia");
}

int SoundEffectsOf(const QObject& owner) {
  int count = 0;
  for (const QObject* child : owner.children()) {
    if (QString(child->metaObject()->className()) == "QSoundEffect") ++count;
  }
  return count;
}

// The sound library comes into the process with the first sound, from the first folder that
// holds the module; a module found nowhere is reported once, and the program goes on silent.
TEST(SoundPlayer, LoadsTheModuleWithTheFirstSoundAndReportsAMissingOneOnce) {
  const std::string sound = std::string(TARVO_SOURCE_DIR) + "/resources/sounds/claves.wav";
  const QTemporaryDir empty;
  QObject owner;

  SoundPlayer nowhere({empty.path().toStdString(), empty.path().toStdString() + "/none"});
  const Result missing = nowhere.play(sound, &owner);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.reason().find("the sound module cannot be loaded"), std::string::npos) << missing.reason();
  EXPECT_NE(missing.reason().find("; "), std::string::npos) << "a reason per folder: " << missing.reason();
  EXPECT_TRUE(nowhere.play(sound, &owner)) << "said once";
  EXPECT_EQ(SoundEffectsOf(owner), 0);

  EXPECT_FALSE(SoundLibraryLoaded()) << "nothing loads the sound library before a sound plays";
  SoundPlayer player({empty.path().toStdString(), TARVO_SOUND_MODULE_FOLDER});
  ASSERT_TRUE(player.play(sound, &owner));
  EXPECT_TRUE(SoundLibraryLoaded());
  EXPECT_EQ(SoundEffectsOf(owner), 1) << "the effect is the owner's until it ends";
  ASSERT_TRUE(player.play(sound, &owner));
  EXPECT_EQ(SoundEffectsOf(owner), 2);
}

}  // namespace
}  // namespace tarvo
