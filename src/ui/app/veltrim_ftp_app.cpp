#include "ui/app/veltrim_ftp_app.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

#include "ui/app/icon_theme.h"
#include "ui/app/main_frame.h"
#include "ui/app/settings_store.h"
#include "ui/ftp/browse_layer.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/widgets/drawn_images.h"

namespace veltrim::ui {

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine options;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments.at(i);
    if (argument == QLatin1String("--no-splash") || argument.compare(QLatin1String("-nologo"), Qt::CaseInsensitive) == 0 ||
        argument.compare(QLatin1String("/nologo"), Qt::CaseInsensitive) == 0) {
      options.noSplash = true;
    } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      options.help = true;
    } else if (options.profilePath.isEmpty() && !argument.startsWith(QLatin1Char('-'))) {
      options.profilePath = argument;
    }
  }
  return options;
}

QString UsageText() {
  return QStringLiteral(
      "Usage: veltrimftp [--no-splash] [PROFILE.ftp]\n"
      "  PROFILE.ftp   a server profile to open (with Autologin on, it connects at once)\n"
      "  --no-splash   start without the start-up splash\n");
}

void SetUpApplication() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("VeltrimFTP"));
  QGuiApplication::setDesktopFileName(QStringLiteral("veltrimftp"));
  SetUpIconTheme();
  QApplication::setWindowIcon(ProgramIcon());
}

CVeltrimFTPApp::CVeltrimFTPApp(QStringList arguments) : options_(ParseCommandLine(arguments)) {}

CVeltrimFTPApp::~CVeltrimFTPApp() {
  // The window goes first: its exit sequence still reads the document.
  frame_.reset();
  doc_.reset();
}

bool CVeltrimFTPApp::InitInstance() {
  doc_ = std::make_unique<CVeltrimFTPDoc>();
  frame_ = std::make_unique<CMainFrame>(doc_.get());
  // The connection layer: rows of the remote list, the directory tree, and
  // the Connect, Disconnect, directory and file commands (owned by the frame).
  new BrowseLayer(*frame_);
  frame_->SetShowSplash(!options_.noSplash);
  if (!options_.profilePath.isEmpty()) {
    const QString path = QFileInfo(options_.profilePath).absoluteFilePath();
    if (!doc_->OnOpenDocument(path)) return false;
    frame_->AddRecentFile(path);
  } else if (!doc_->OnNewDocument()) {
    return false;
  }
  frame_->FirstActivation();
  return true;
}

int CVeltrimFTPApp::Main(int argc, char** argv) {
  QApplication application(argc, argv);
  SetUpApplication();
  CVeltrimFTPApp app(QCoreApplication::arguments());
  if (app.Options().help) {
    std::fputs(UsageText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (!app.InitInstance()) return 1;
  return QApplication::exec();
}

}  // namespace veltrim::ui
