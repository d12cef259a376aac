#include "helpers/temporary_settings_store.h"

#include <QCoreApplication>
#include <QSettings>

#include <vector>

namespace veltrim::test {

namespace {

// The live stores, newest last: the newest one is in use.
std::vector<const TemporarySettingsStore*>& LiveStores() {
  static std::vector<const TemporarySettingsStore*> stores;
  return stores;
}

void UseNewest() {
  if (LiveStores().empty()) return;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, LiveStores().back()->Path());
}

// Runs as the test program's application starts, before any window reads
// its settings: everything the program writes under the user's folders goes
// to one temporary folder (0700, as a runtime folder must be).
void RedirectTheUsersFolders() {
  static TemporarySettingsStore store;
  const QByteArray folder = store.Path().toUtf8();
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) qputenv(variable, folder);
}

}  // namespace

TemporarySettingsStore::TemporarySettingsStore() {
  LiveStores().push_back(this);
  UseNewest();
}

TemporarySettingsStore::~TemporarySettingsStore() {
  std::erase(LiveStores(), this);
  UseNewest();
}

Q_COREAPP_STARTUP_FUNCTION(RedirectTheUsersFolders)

}  // namespace veltrim::test
