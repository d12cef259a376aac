#pragma once
// The program-wide preferences: one record held by the main frame, loaded
// from the settings store at its first activation and written back when the
// main window goes away. Field names are the names of the stored values.

#include <QSettings>
#include <QString>
#include <QStringList>

namespace veltrim::ui {

struct Preferences {
  bool Details = true;
  bool NewConn = false;
  bool NoNewConn = false;
  bool Cancel = false;
  bool NeverCancel = false;
  bool Autologin = true;
  bool PlaySounds = true;
  int ListView = 1;
  bool Binary = true;
  bool Auto = true;
  bool ShowIntro = true;
  bool ShowWelcome = true;
  int BlockSize = 1024;
  // "Use TLS when the server offers it": a profile's host without a scheme
  // asks for TLS and goes on in plain only when the server refuses it.
  bool UseTLSWhenOffered = true;
  int HeaderName = 120;
  int HeaderSize = 40;
  int HeaderType = 100;
  int HeaderDate = 100;
  // Text extensions for the automatic transfer type. In memory the list
  // always ends with one empty entry, its end marker.
  QStringList Extensions;
};

// Bounds on what is taken from the store. A damaged or hostile settings file
// must neither stall start-up nor produce a window that cannot be used.
inline constexpr int kMaxStoredExtensions = 1000;
inline constexpr int kMinBlockSize = 256;
inline constexpr int kMaxBlockSize = 4096;
inline constexpr int kMaxColumnWidth = 4000;

// Reads every value of the "Settings" and "Extensions" sections. A flag is
// true only when its stored value is exactly 1. Missing or unreadable values
// give the defaults; column widths outside 1..kMaxColumnWidth and block sizes
// outside kMinBlockSize..kMaxBlockSize give the defaults too; at most
// kMaxStoredExtensions extensions are read whatever "Count" says. Without a
// stored "Count" (a fresh install) the list is the session's default text
// extensions; a stored list, even an empty one, is taken as it is.
Preferences LoadPreferences(QSettings& store);

// Writes the record back. A column width of 0 or less leaves the stored width
// as it was; the extensions are written up to the first empty entry.
void SavePreferences(QSettings& store, const Preferences& prefs);

// Reads an integer value; a missing value, one that is not a number or one
// outside the 32-bit range reads as fallback.
int ReadStoredInt(QSettings& store, const QString& key, int fallback);

}  // namespace veltrim::ui
