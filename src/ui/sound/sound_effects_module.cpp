// The module that plays sounds, loaded by SoundPlayer when the first sound plays.

#include <QObject>
#include <QSoundEffect>
#include <QString>
#include <QTimer>
#include <QUrl>

// Plays a wave file, owned by `owner` until it ends. Without an audio device the effect never
// plays; it is deleted either way.
extern "C" Q_DECL_EXPORT void tarvoPlaySoundFile(const char* utf8Path, QObject* owner) {
  auto* effect = new QSoundEffect(owner);
  effect->setSource(QUrl::fromLocalFile(QString::fromUtf8(utf8Path)));
  QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
    if (!effect->isPlaying()) effect->deleteLater();
  });
  QTimer::singleShot(10000, effect, &QObject::deleteLater);
  effect->play();
}
