#pragma once
// Everything the session engine needs from a desktop. The window, the tests
// and the terminal front end each supply one; the engine never touches a
// window itself.
//
// Threads: "window thread" is the thread that calls the session's methods.
// Methods marked "any thread" may be called from a worker; an implementation
// that owns widgets marshals them to its window thread and, where a method
// returns an answer or must have been shown, blocks the worker until then.
// While the window thread waits for a worker it calls PumpMessages, so a
// blocking marshal is served there.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/ftp/tls_options.h"

namespace veltrim {

struct TransferProgress;

// The shell's view of a file name: type text (empty when it has none) and the
// index of the name's small icon in the host's file icon list (the host
// appends the icon to the list; indexes 0..10 are the fixed images).
struct FileTypeInfo {
  std::string TypeText;
  int32_t IconIndex = 0;
};

// The Cancel Transfer question's answer: "Yes" (cancel the whole queue) or
// not, and its two remembered-answer boxes (at most one ticked).
struct CancelTransferAnswer {
  bool CancelQueue = false;
  bool AlwaysCancel = false;  // "Always cancel the entire transfer queue"
  bool NeverCancel = false;   // "Never cancel the entire transfer queue"
};

// Preferences that the Cancel Transfer question sets for the frame.
enum class RememberedCancel { AlwaysCancel /* "Cancel" */, NeverCancel /* "NeverCancel" */ };

// A certificate the system's trust store refused, or one that differs from
// the certificate the user trusted for this server before.
struct CertificateQuestion {
  ftp::PeerCertificate Certificate;  // fingerprint, subject, issuer, validity, problem
  std::string KnownFingerprint;      // not empty: the certificate changed since it was trusted
};

enum class CertificateAnswer { TrustAlways, TrustThisTime, Cancel };

class SessionHost {
 public:
  virtual ~SessionHost() = default;

  // ---- window thread ----

  // Dispatches the window's pending messages (timers, commands, queued
  // tasks of RunOnWindowThread). Returns true when the application's quit
  // request was among them. Must not block for long: the engine calls it in
  // a loop, every few milliseconds, while an operation waits.
  virtual bool PumpMessages() = 0;

  // One line of text: the typed text after OK (may be empty), empty after
  // Cancel. `password`: the caller asks for a password (a terminal hides it).
  virtual std::string InputBox(const std::string& prompt, const std::string& caption,
                               const std::string& defaultText, bool password) = 0;

  // The modeless "Please Wait" box of a login attempt.
  virtual void OpenPleaseWait(int32_t countdownSeconds, const std::string& text) = 0;
  virtual bool PleaseWaitCancelled() = 0;
  virtual void ClosePleaseWait() = 0;

  // The user aborted a login attempt: the frame makes no further attempt.
  virtual void AttemptAborted() = 0;

  // File type and icon of a name (the file need not exist). PrepareFileIcons
  // comes first whenever the engine starts a new icon list (first item
  // queued after a run ended).
  virtual void PrepareFileIcons() = 0;
  virtual FileTypeInfo FileTypeOf(const std::string& name) = 0;

  // ---- any thread ----

  // The error box with a string id (61204..61212, see error_ids.h). Returns
  // when the user closed it.
  virtual void ShowError(uint32_t id) = 0;
  // A message box with the stop icon; caption "Error" or "Error Connecting".
  virtual void ShowMessageBox(const std::string& text, const std::string& caption) = 0;
  // Starts playing a sound file by name ("connect.wav", "download.wav",
  // "error.wav"); returns at once.
  virtual void PlaySound(const std::string& name) = 0;
  // Runs task on the window thread at its next PumpMessages (or in its main
  // loop); may return before the task ran. Tasks run in the order posted.
  virtual void RunOnWindowThread(std::function<void()> task) = 0;
  // Whether to go on with a server whose certificate is not trusted. Asked
  // by the thread that opens a connection (the login worker, or the window
  // thread for the second connection) after the TLS handshake, before the
  // user name is sent; blocks until the user answers. The time the question
  // is open does not count against the login's watchdog. "Cancel" ends the
  // connection; the engine keeps the other answers.
  virtual CertificateAnswer AskCertificate(const CertificateQuestion& question) = 0;

  // ---- transfer worker thread: the File Transfer window ----

  // Opens the window for one run. The window reads the counters on its own
  // clock and sets progress->Cancelled from its Cancel button.
  virtual void OpenTransferWindow(std::shared_ptr<TransferProgress> progress) = 0;
  virtual void CloseTransferWindow() = 0;
  // A new file starts: its source and destination texts (already shortened),
  // the file bar back to 0 (the counters say the size).
  virtual void SetTransferFile(const std::string& source, const std::string& destination) = 0;
  // Appends a row: the file-name part as text, an icon, the full source in column 1.
  virtual void AddTransferRow(const std::string& name, int32_t iconIndex, const std::string& source) = 0;
  // Selects, focuses and scrolls to a row (counting from 0).
  virtual void SelectTransferRow(int32_t row) = 0;
  virtual void SetTransferRowImage(int32_t row, int32_t image) = 0;
  // The counters moved; called at most every ~100 ms during a file and once
  // when a file ends.
  virtual void TransferProgressed() = 0;
  // The modal Cancel Transfer question, asked from the worker; blocks until answered.
  virtual CancelTransferAnswer AskCancelTransfer() = 0;
  // The Cancel Transfer question set a remembered answer; the frame stores
  // it in its preferences.
  virtual void RememberCancelAnswer(RememberedCancel which) = 0;
};

// Images of the File Transfer window's rows.
inline constexpr int32_t kRowImageFinished = 8;
inline constexpr int32_t kRowImageTransferring = 10;
inline constexpr int32_t kIconApplication = 1;

}  // namespace veltrim
