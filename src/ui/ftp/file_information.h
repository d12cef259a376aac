#pragma once
// File Information: the line that the directory's "00_index.txt" gives for
// the first selected file, in a message box. The index is fetched at most
// once per listing display (the next listing forgets it).

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace veltrim::ui {

class CMainFrame;
class CVeltrimFTPView;
class LiveSession;
class RemoteEntryModel;
class RemoteNavigator;

// The entries of an index file's text: one a line, without its CR and LF
// characters. The text came in ASCII mode, so the server's CRLF line ends
// arrive as "\n"; a last line without one is an entry too.
QStringList IndexEntries(const std::string& text);
// The first entry that begins with name, ignoring case.
std::optional<QString> FindIndexEntry(const QStringList& entries, const QString& name);

class FileInformation : public QObject {
  Q_OBJECT
 public:
  FileInformation(CMainFrame& frame, const LiveSession& live, RemoteNavigator& navigator);

  // Installs the handler of File Information into the frame's command table.
  void InstallCommands();
  void OnFileInformation();

 private:
  CMainFrame& frame_;
  const LiveSession& live_;
  CVeltrimFTPView& view_;
  RemoteEntryModel& list_;
  std::optional<QStringList> entries_;  // the fetched index; none until fetched
};

}  // namespace veltrim::ui
