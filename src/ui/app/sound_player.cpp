#include "ui/app/sound_player.h"

#include <QCoreApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <map>
#include <memory>

namespace veltrim::ui {
namespace {

std::function<void(const QString&)>& Observer() {
  static std::function<void(const QString&)> observer;
  return observer;
}

bool IsKnownSound(const QString& name) {
  return name == QLatin1String("connect.wav") || name == QLatin1String("download.wav") ||
         name == QLatin1String("error.wav");
}

// One loaded effect per sound, kept for the life of the application so that
// a sound that is still playing is not cut off.
class SoundBank : public QObject {
 public:
  explicit SoundBank(QObject* parent) : QObject(parent) {}

  void Play(const QString& name) {
    if (QMediaDevices::audioOutputs().isEmpty()) return;
    auto it = effects_.find(name);
    if (it == effects_.end()) {
      auto effect = std::make_unique<QSoundEffect>();
      effect->setSource(QUrl(QStringLiteral("qrc:/veltrimftp/sounds/") + name));
      effect->setVolume(0.6f);
      it = effects_.emplace(name, std::move(effect)).first;
    }
    it->second->play();
  }

 private:
  std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
};

}  // namespace

void PlaySound(const QString& fileName) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;
  if (QThread::currentThread() != application->thread()) {
    // Sound objects live on the window thread; a worker's request is
    // carried over there and this call returns at once.
    QMetaObject::invokeMethod(application, [fileName] { PlaySound(fileName); }, Qt::QueuedConnection);
    return;
  }
  if (Observer()) Observer()(fileName);
  if (!IsKnownSound(fileName)) return;
  // The bank belongs to the application object, so no effect outlives the
  // multimedia back end; a new application object gets a new bank.
  static QPointer<SoundBank> bank;
  if (!bank) bank = new SoundBank(QCoreApplication::instance());
  bank->Play(fileName);
}

void SetSoundObserver(std::function<void(const QString&)> observer) {
  Observer() = std::move(observer);
}

}  // namespace veltrim::ui
