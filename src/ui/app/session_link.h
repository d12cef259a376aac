#pragma once
// What the main window needs of a live FTP session, independent of how the
// connection layer drives the engine. The connection layer gives the frame
// one of these from Connect to Disconnect; tests give it a stand-in.

#include <QString>

#include "ui/shared/preferences.h"

namespace veltrim::ui {

class SessionLink {
 public:
  virtual ~SessionLink() = default;

  virtual bool IsConnected() const = 0;
  // An operation of the session is running.
  virtual bool IsBusy() const = 0;
  // The current directory's index file has been fetched.
  virtual bool HasIndexFile() const { return false; }
  virtual QString CurrentDirectory() const { return QString(); }

  virtual void SetBinaryMode(bool binary) = 0;
  virtual void SetAutoMode(bool autoMode) = 0;
  // Confirmed preferences reach the session: cancel-queue answers, sounds,
  // block size and text extensions (the next file queued follows them).
  virtual void ApplyPreferences(const Preferences&) {}

  // Raises the flags that end every wait of the session (the operation, the
  // transfer and the current login attempt), so it can be released.
  virtual void AbortEverything() = 0;
};

}  // namespace veltrim::ui
