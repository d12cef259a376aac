#include "ui/app/veltrim_ftp_app.h"

#include <QApplication>
#include <QMainWindow>

namespace veltrim::ui {

int CVeltrimFTPApp::Main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("VeltrimFTP"));
  window.show();
  return app.exec();
}

}  // namespace veltrim::ui
