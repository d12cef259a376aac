#include "ui/shared/preferences.h"

#include <limits>

#include "core/engine/ftp_session.h"

namespace veltrim::ui {
namespace {

struct FlagField {
  const char* name;
  bool Preferences::*field;
};

constexpr FlagField kFlags[] = {
    {"Details", &Preferences::Details},         {"NewConn", &Preferences::NewConn},
    {"NoNewConn", &Preferences::NoNewConn},     {"Cancel", &Preferences::Cancel},
    {"NeverCancel", &Preferences::NeverCancel}, {"Autologin", &Preferences::Autologin},
    {"PlaySounds", &Preferences::PlaySounds},   {"Binary", &Preferences::Binary},
    {"Auto", &Preferences::Auto},               {"ShowIntro", &Preferences::ShowIntro},
    {"ShowWelcome", &Preferences::ShowWelcome}, {"UseTLSWhenOffered", &Preferences::UseTLSWhenOffered},
};

struct WidthField {
  const char* name;
  int Preferences::*field;
};

constexpr WidthField kWidths[] = {
    {"HeaderName", &Preferences::HeaderName},
    {"HeaderSize", &Preferences::HeaderSize},
    {"HeaderType", &Preferences::HeaderType},
    {"HeaderDate", &Preferences::HeaderDate},
};

QString SettingsKey(const char* name) { return QStringLiteral("Settings/") + QLatin1String(name); }

QString ExtensionKey(int index) {
  return QStringLiteral("Extensions/Extension_") + QString::number(index);
}

}  // namespace

int ReadStoredInt(QSettings& store, const QString& key, int fallback) {
  const QVariant value = store.value(key);
  if (!value.isValid()) return fallback;
  bool ok = false;
  const qlonglong number = value.toString().trimmed().toLongLong(&ok);
  if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
    return fallback;
  return static_cast<int>(number);
}

Preferences LoadPreferences(QSettings& store) {
  Preferences prefs;
  for (const FlagField& flag : kFlags) {
    const int fallback = prefs.*flag.field ? 1 : 0;
    prefs.*flag.field = ReadStoredInt(store, SettingsKey(flag.name), fallback) == 1;
  }
  // The mode is kept as stored; the frame applies it only when it is 0..3.
  prefs.ListView = ReadStoredInt(store, SettingsKey("ListView"), prefs.ListView);

  const int blockSize = ReadStoredInt(store, SettingsKey("BlockSize"), prefs.BlockSize);
  if (blockSize >= kMinBlockSize && blockSize <= kMaxBlockSize) prefs.BlockSize = blockSize;

  for (const WidthField& width : kWidths) {
    const int stored = ReadStoredInt(store, SettingsKey(width.name), prefs.*width.field);
    if (stored > 0 && stored <= kMaxColumnWidth) prefs.*width.field = stored;
  }

  prefs.Extensions.clear();
  if (!store.contains(QStringLiteral("Extensions/Count"))) {
    // A fresh install: the session's own text extensions, so that the
    // automatic transfer type works before anyone has set up the list.
    for (const std::string& extension : DefaultTextExtensions())
      if (!extension.empty()) prefs.Extensions.append(QString::fromStdString(extension));
    prefs.Extensions.append(QString());
    return prefs;
  }
  int count = ReadStoredInt(store, QStringLiteral("Extensions/Count"), 0);
  if (count < 0) count = 0;
  if (count > kMaxStoredExtensions) count = kMaxStoredExtensions;
  for (int i = 0; i < count; ++i)
    prefs.Extensions.append(store.value(ExtensionKey(i), QString()).toString());
  prefs.Extensions.append(QString());
  return prefs;
}

void SavePreferences(QSettings& store, const Preferences& prefs) {
  for (const FlagField& flag : kFlags)
    store.setValue(SettingsKey(flag.name), prefs.*flag.field ? 1 : 0);
  store.setValue(SettingsKey("ListView"), prefs.ListView);
  store.setValue(SettingsKey("BlockSize"), prefs.BlockSize);
  for (const WidthField& width : kWidths) {
    if (prefs.*width.field > 0) store.setValue(SettingsKey(width.name), prefs.*width.field);
  }
  int written = 0;
  for (const QString& extension : prefs.Extensions) {
    if (extension.isEmpty()) break;
    store.setValue(ExtensionKey(written), extension);
    ++written;
  }
  store.setValue(QStringLiteral("Extensions/Count"), written);
}

}  // namespace veltrim::ui
