#pragma once
// The application object: start-up in its fixed order, the document and the
// main window for the life of the program.

#include <QString>
#include <QStringList>
#include <memory>

namespace veltrim::ui {

class CMainFrame;
class CVeltrimFTPDoc;

struct CommandLine {
  QString profilePath;   // a .ftp file to open, or empty
  bool noSplash = false;  // "--no-splash" (also "-nologo", "/nologo")
  bool help = false;      // "--help": print the usage and stop
};

CommandLine ParseCommandLine(const QStringList& arguments);
QString UsageText();

class CVeltrimFTPApp {
 public:
  explicit CVeltrimFTPApp(QStringList arguments);
  ~CVeltrimFTPApp();

  // Start-up: the settings store, the document, the main window, the
  // profile of the command line (or a new empty one), the first
  // activation. False ends the program.
  bool InitInstance();

  CMainFrame* MainFrame() const { return frame_.get(); }
  CVeltrimFTPDoc* Document() const { return doc_.get(); }
  const CommandLine& Options() const { return options_; }

  // Runs the whole program; returns the process exit status.
  static int Main(int argc, char** argv);

 private:
  CommandLine options_;
  std::unique_ptr<CVeltrimFTPDoc> doc_;
  std::unique_ptr<CMainFrame> frame_;
};

// Application-wide set-up done once per process before any window: names
// for the settings store, icon theme, program icon, the embedded resources.
void SetUpApplication();

}  // namespace veltrim::ui
