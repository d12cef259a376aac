#pragma once
// Keeps the window's settings out of the user's own: while it lives, the
// settings store (QSettings' user scope, and with it the known-certificates
// file beside it) is a fresh temporary folder. Every UI test program gets
// one for its whole run when its application starts, together with
// temporary config, cache and runtime folders (temporary_settings_store.cpp);
// a test that needs an empty store of its own makes another. The newest
// live store is the one in use.

#include <QString>
#include <QTemporaryDir>

namespace veltrim::test {

class TemporarySettingsStore {
 public:
  TemporarySettingsStore();
  ~TemporarySettingsStore();
  TemporarySettingsStore(const TemporarySettingsStore&) = delete;
  TemporarySettingsStore& operator=(const TemporarySettingsStore&) = delete;

  QString Path() const { return folder_.path(); }

 private:
  QTemporaryDir folder_;
};

}  // namespace veltrim::test
