#pragma once
// Download File(s) and Download Directory: from the selected rows of the
// remote list (one file: the Save dialog; several rows: a folder for all of
// them; a folder row: its whole tree), or from a typed path when nothing is
// selected. Both end by starting the queue (transfer_start.h, 61208).
//
// Download Directory asks for the remote path, then for the local folder
// that receives the tree (the folder chooser Download File(s) uses for
// folder rows), queues the tree with the "Adding files to Queue" box and
// starts the run at once.

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrim::ui {

class CMainFrame;
class CVeltrimFTPView;
class LiveSession;
class RemoteEntryModel;

class DownloadCommands : public QObject {
  Q_OBJECT
 public:
  DownloadCommands(CMainFrame& frame, const LiveSession& live);

  // Installs the handlers of Download File(s) and Download Directory.
  void InstallCommands();

  void OnDownloadFiles();
  void OnDownloadDirectory();

 private:
  // A selected row as it stood when the command began (the rows may go
  // while the command waits).
  struct PickedRow {
    std::string name;  // as the server sent it
    uint64_t size = 0;
    bool folder = false;
  };
  std::vector<PickedRow> SelectedRows() const;
  // The Save dialog for one file; empty when cancelled.
  QString AskLocalFile(const QString& proposedName) const;
  // The folder chooser for several rows or a folder; empty when cancelled.
  QString AskLocalFolder() const;

  CMainFrame& frame_;
  const LiveSession& live_;
  CVeltrimFTPView& view_;
  RemoteEntryModel& list_;
};

}  // namespace veltrim::ui
