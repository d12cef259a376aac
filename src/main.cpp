// veltrimftp: the desktop FTP client.
#include "ui/app/veltrim_ftp_app.h"

int main(int argc, char** argv) {
  return veltrim::ui::CVeltrimFTPApp::Main(argc, argv);
}
