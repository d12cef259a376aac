#pragma once
// The profile document: the one server profile the program works with, its
// New / Open / Save / Save As / Edit Settings operations and the hand-over of
// the profile to the main frame.
//
// The document does not know the frame's class. The frame implements
// DocumentHost and calls SetHost(this) once its list view exists; the
// document calls back through it and announces title and modified-flag
// changes with Qt signals. All of it runs on the window thread.
//
// Wiring the frame's commands:
//   "&New"        -> FileNew()
//   "&Open..."    -> FileOpen()
//   recent file   -> OpenDocumentFile(path)
//   "&Save"       -> FileSave()
//   "Save &As..." -> FileSaveAs()
//   Edit Settings -> EditSettings()
//   window close  -> CanClose() (asks to save a modified profile)
//   disconnect    -> SetResetOnNextNew(true); OnNewDocument();
//   each Connect  -> AssignProfile(active profile)

#include <QObject>
#include <QString>

#include <optional>

#include "core/profile/server_settings.h"

class QWidget;

namespace veltrim::ui {

// The name of a profile that holds no server.
inline constexpr char kNotConnected[] = "Not Connected";
// The file type, as the file choosers show it.
inline constexpr char kProfileFilter[] = "VeltrimFTP Server Settings (*.ftp)";
inline constexpr char kProfileExtension[] = ".ftp";

// What the document needs of the main frame.
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;

  // Owner of the document's message boxes and dialogs (may be null).
  virtual QWidget* OwnerWindow() = 0;
  virtual bool IsConnected() const = 0;
  virtual bool AutologinPreference() const = 0;
  // The "Details" preference, or nothing while the preferences have not been
  // loaded yet (the first New at start-up runs before that).
  virtual std::optional<bool> DetailsPreference() const = 0;

  // A profile handed over: set profile-present, replace the active profile,
  // reset the connection-attempt counter to 0.
  virtual void TakeProfile(const ServerSettings& profile) = 0;
  // Edit Settings: replace only the active profile (a live connection keeps
  // the settings it was made with; no counter, no Connect).
  virtual void SetActiveProfile(const ServerSettings& profile) = 0;
  // Queue the Connect command so it runs after the current operation.
  virtual void PostConnect() = 0;
  // The frame's disconnect, run to completion before returning. It ends by
  // resetting this document (SetResetOnNextNew(true), OnNewDocument()).
  virtual void Disconnect() = 0;
  // A file was opened or saved under this path (the recent-file list).
  virtual void AddRecentFile(const QString& path) = 0;
};

class CVeltrimFTPDoc : public QObject {
  Q_OBJECT
 public:
  explicit CVeltrimFTPDoc(QObject* parent = nullptr);

  // Not owned; may be null (then nothing is handed over, no question asked).
  void SetHost(DocumentHost* host);
  DocumentHost* Host() const { return host_; }

  // Document operations (the framework's names).
  // New: resets when ResetOnNextNew is set, else asks for a profile in the
  // FTP Session Settings dialog. False when the user keeps the connection.
  bool OnNewDocument();
  // Open: asks to disconnect first when connected, then reads the file.
  // False when the user keeps the connection or the file cannot be read.
  bool OnOpenDocument(const QString& path);
  // Writes the profile; false (after an error box) when it cannot be written.
  bool OnSaveDocument(const QString& path);
  // Empties the seven strings; numbers and flags stay.
  void DeleteContents();
  void EditSettings();

  // Command level: these ask to save a modified profile first and ask for
  // file names through the prompt seam.
  bool FileNew();
  bool FileOpen();
  bool OpenDocumentFile(const QString& path);
  bool FileSave();
  bool FileSaveAs();
  // "Save changes?" for a modified profile: true when it is fine to go on.
  bool SaveModified();
  bool CanClose() { return SaveModified(); }

  // The profile, a copy of it, and replacing it (the frame at each Connect;
  // sets the title, leaves the modified flag).
  const ServerSettings& Profile() const { return profile_; }
  ServerSettings GetProfile() const { return profile_; }
  void AssignProfile(const ServerSettings& profile);

  // The title is always the profile's Name, whatever is asked for.
  void SetTitle(const QString& ignored = {});
  QString Title() const { return title_; }
  // The file the profile was last read from or saved to (empty for a new one).
  QString PathName() const { return path_; }

  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified = true);

  // True once a file has been read completely; never cleared.
  bool LoadedFromFile() const { return loadedFromFile_; }
  // While set, New only resets and a load hands nothing to the frame. Set at
  // construction and by the frame's disconnect just before it calls New.
  bool ResetOnNextNew() const { return resetOnNextNew_; }
  void SetResetOnNextNew(bool reset) { resetOnNextNew_ = reset; }
  // Whether the profile dialog opens with its help panel. Until a New has
  // taken it from the loaded preferences it follows the "Details" preference,
  // so the value written back at exit leaves that preference as it was.
  bool DetailsExpanded() const;
  void SetDetailsExpanded(bool expanded) { detailsExpanded_ = expanded; }

 signals:
  void titleChanged(const QString& title);
  void modifiedChanged(bool modified);

 private:
  // Shows the profile dialog; the completed record after OK with a host
  // name, else nothing. finalDetails receives the dialog's help-panel state.
  std::optional<ServerSettings> AskProfile(const ServerSettings& initial, bool& finalDetails);
  void HandToFrame();
  bool ConfirmDisconnect();
  void SetPathName(const QString& path);
  QWidget* Owner() const;

  DocumentHost* host_ = nullptr;
  ServerSettings profile_;
  QString title_;
  QString path_;
  bool modified_ = false;
  bool loadedFromFile_ = false;
  bool resetOnNextNew_ = true;
  std::optional<bool> detailsExpanded_;
};

// The profile with what a profile dialog leaves open filled in: Name from
// Hostname when empty; Anonymous when there is a host but no user name.
ServerSettings CompleteProfile(ServerSettings profile);

}  // namespace veltrim::ui
