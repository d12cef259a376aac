#pragma once
// The main window with its connection layer, for the tests that connect,
// browse and work on files against a real or scripted FTP server.

#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <QTreeWidget>

#include "support/pyftpd_server.h"
#include "ui/app/main_frame.h"
#include "ui/ftp/browse_layer.h"
#include "ui/ftp/connection_controller.h"
#include "ui/ftp/file_commands.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/views/directory_tree_bar.h"
#include "ui/views/directory_tree_navigator.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

namespace veltrim::test {

struct BrowseWindow {
  ui::CVeltrimFTPDoc doc;
  ui::CMainFrame frame{&doc};
  ui::BrowseLayer* layer = new ui::BrowseLayer(frame);
  ui::ConnectionController* controller = &layer->Controller();
  ui::RemoteNavigator* navigator = &layer->Navigator();
  ui::FileCommands* files = &layer->Files();
  ui::RemoteEntryModel& list = layer->Rows();
  QItemSelectionModel& selection = *frame.View()->Selection();
  ui::DirectoryTreeNavigator* tree = &layer->Tree();
  QTreeWidget& treeWidget = *frame.DirectoryTree();

  ~BrowseWindow() { frame.OnDisconnect(); }

  void Connect(const ServerSettings& profile) {
    frame.TakeProfile(profile);
    controller->OnConnect();
  }
  QStringList Names() const {
    QStringList names;
    for (int row = 0; row < list.rowCount(); ++row) names << list.Row(row).name;
    return names;
  }
  QString Log() const { return frame.SessionLog()->toPlainText(); }
  QString Current() const {
    return controller->Session() ? QString::fromStdString(controller->Session()->CurrentDir()) : QString();
  }
  void Select(const QStringList& names) {
    selection.clearSelection();
    for (const QString& name : names) {
      const int row = list.RowOf(name);
      QVERIFY2(row >= 0, qPrintable(name));
      selection.select(list.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
};

inline ServerSettings ProfileFor(const PyFtpServer& server) {
  ServerSettings profile;
  profile.Name = "Test Server";
  profile.Hostname = "127.0.0.1";
  profile.Username = server.User();
  profile.Password = server.Password();
  profile.Port = server.Port();
  profile.Retries = 0;
  profile.Timeout = 10;
  return profile;
}

inline ServerSettings ProfileForPort(uint16_t port, int retries, int timeout) {
  ServerSettings profile;
  profile.Name = "Nowhere";
  profile.Hostname = "127.0.0.1";
  profile.Username = "u";
  profile.Password = "p";
  profile.Port = port;
  profile.Retries = retries;
  profile.Timeout = timeout;
  return profile;
}

}  // namespace veltrim::test
