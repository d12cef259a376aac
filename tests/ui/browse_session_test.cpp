// Connect, browse and change the server's directories from the main window,
// against a real FTP server on 127.0.0.1 (and a scripted one for a server
// that never answers or goes away), and lose the connection.
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <memory>
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include "helpers/browse_window.h"
#include "helpers/prompt_script.h"
#include "support/pyftpd_server.h"
#include "support/scripted_ftp_server.h"
#include "ui/shared/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/please_wait_dlg.h"
#include "ui/ftp/browse_layer.h"
#include "ui/ftp/connection_controller.h"
#include "ui/ftp/file_commands.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/views/directory_tree_bar.h"
#include "ui/views/remote_list_view.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/views/directory_tree_navigator.h"
#include "ui/views/remote_entry_model.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/drawn_images.h"
#include "ui/widgets/security_lock.h"

using namespace veltrim;
using namespace veltrim::ui;
using veltrim::test::BrowseWindow;
using veltrim::test::ProfileFor;
using veltrim::test::ProfileForPort;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using veltrim::test::PyFtpServerOptions;
using veltrim::test::PyFtpServer;
using veltrim::test::ScriptedFtpServer;

namespace {

// A port on 127.0.0.1 where nothing listens.
uint16_t ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// After login: PWD names directory, data connections are refused, anything
// else is "200 OK".
ScriptedFtpServer::Step AnswerWithoutData(std::string directory) {
  return [directory](test::ScriptContext& context) {
    for (;;) {
      bool ok = false;
      const std::string command = context.ReadCommand(&ok);
      if (!ok) return;
      const std::string verb = command.substr(0, command.find(' '));
      if (verb == "PWD") context.SendLine("257 \"" + directory + "\" is the current directory");
      else if (verb == "QUIT") { context.SendLine("221 Bye"); return; }
      else if (verb == "EPSV" || verb == "PASV" || verb == "EPRT" || verb == "PORT") context.SendLine("500 No data today");
      else if (verb == "LIST" || verb == "MLSD" || verb == "NLST" || verb == "RETR") context.SendLine("425 No data connection");
      else context.SendLine("200 OK");
    }
  };
}

// The box, no error box of the command the loss broke, and the window back
// at not connected.
void VerifyDisconnected(const BrowseWindow& window, const PromptScript& script) {
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(script.Captions(), QStringList{"Disconnected"});
  QCOMPARE(script.Texts(), QStringList{"You have been disconnected from the server"});
  QCOMPARE(script.Records().at(0).icon, QMessageBox::Critical);
  QVERIFY(!window.frame.Connected());
  QVERIFY(window.frame.Session() == nullptr);
  QCOMPARE(window.frame.StateIconId(), ui::kStateNotConnected);
  QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Not Connected"));
  QCOMPARE(window.list.rowCount(), 0);
  QCOMPARE(window.treeWidget.topLevelItemCount(), 0);
}

void FillServer(const PyFtpServer& server) {
  server.WriteFile("readme.txt", "hello\n");
  server.WriteFile("data.bin", std::string(3000, 'x'));
  server.WriteFile("pub/linux/kernel.tar.xz", "k");
  server.WriteFile("pub/notes.txt", "n");
  server.WriteFile("pub/.message", "Welcome to pub");
  server.WriteFile("incoming/keep.txt", "k");
  std::filesystem::create_directory(server.Root() / "empty");
}

}  // namespace

class BrowseSessionTest : public QObject {
  Q_OBJECT
 private slots:
  void connectShowsRowsAndTree() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QVERIFY(window.frame.Connected());
    QCOMPARE(window.Names(), (QStringList{"empty", "incoming", "pub", "data.bin", "readme.txt"}));
    QCOMPARE(window.list.Row(0).typeText, QStringLiteral("File Folder"));
    QCOMPARE(window.list.Row(3).sizeText, QStringLiteral("2KB"));
    QVERIFY(!window.list.Row(4).typeText.isEmpty());
    QCOMPARE(window.tree->RootNode()->text(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(window.tree->CurrentNode(), window.tree->RootNode());
    QCOMPARE(window.tree->RootNode()->childCount(), 3);
    QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Test Server - /"));
    QCOMPARE(window.doc.Title(), QStringLiteral("Test Server"));
    const QString log = window.Log();
    QVERIFY(log.contains(QStringLiteral("Connecting to host: 127.0.0.1")));
    QVERIFY(log.contains(QStringLiteral("Connected to Host.")));
    // No RemoteDir: the login directory becomes the way home.
    QCOMPARE(window.frame.ActiveProfile().RemoteDir, std::string("/"));
    QVERIFY(!window.frame.ProgressBar()->isVisible());
    QVERIFY(!window.frame.Busy());
  }

  void refusedLogin() {
    PyFtpServer server;
    BrowseWindow window;
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    ServerSettings profile = ProfileFor(server);
    profile.Password = "wrong";
    window.Connect(profile);
    QVERIFY(!window.frame.Connected());
    QCOMPARE(window.controller->Attempts(), 1);
    QCOMPARE(script.Captions(), QStringList{"Not Connected"});
    QCOMPARE(script.Texts(), QStringList{"A connection to the server could not be established"});
    QVERIFY(window.Log().contains(QStringLiteral("Error connecting to host: ")));
    QVERIFY(!window.Log().contains(QStringLiteral("Connection timed out.")));
    QVERIFY(window.frame.Session() == nullptr);
  }

  void closedPortNoRetries() {
    BrowseWindow window;
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    window.Connect(ProfileForPort(ClosedPort(), 0, 10));
    QCOMPARE(window.controller->Attempts(), 1);
    QCOMPARE(script.Captions(), QStringList{"Not Connected"});
    QCOMPARE(script.Records().at(0).icon, QMessageBox::Information);
    QCOMPARE(window.controller->AttemptCounter(), 0);
    QVERIFY(!window.controller->Watchdog().isActive());
  }

  void silentServerTimesOutEveryAttempt() {
    ScriptedFtpServer server;
    server.SetStepTimeout(std::chrono::seconds(30));
    server.Stall();
    server.Start();
    BrowseWindow window;
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    QElapsedTimer clock;
    clock.start();
    window.Connect(ProfileForPort(server.Port(), 2, 1));
    QCOMPARE(window.controller->Attempts(), 3);
    QCOMPARE(window.Log().count(QStringLiteral("Connection timed out.")), 3);
    QCOMPARE(script.Captions(), QStringList{"Not Connected"});
    QVERIFY2(clock.elapsed() >= 2500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(window.controller->AttemptCounter(), 0);
  }

  void unsavedProfileSurvivesAFailedConnect() {
    // A profile just typed with New, refused on every attempt: it stays the
    // document, unsaved, and can be corrected and tried again.
    BrowseWindow window;
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    const ServerSettings typed = ProfileForPort(ClosedPort(), 1, 10);
    window.doc.AssignProfile(typed);
    window.doc.SetModifiedFlag(true);
    window.Connect(typed);
    QCOMPARE(window.controller->Attempts(), 2);
    QCOMPARE(script.Captions(), QStringList{"Not Connected"});
    QCOMPARE(window.doc.Title(), QStringLiteral("Nowhere"));
    QVERIFY(window.doc.IsModified());
    QVERIFY(window.frame.ProfilePresent());
    QVERIFY(window.frame.Session() == nullptr);
  }

  void cancelInPleaseWaitStopsRetries() {
    ScriptedFtpServer server;
    server.SetStepTimeout(std::chrono::seconds(30));
    server.Stall();
    server.Start();
    BrowseWindow window;
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    QTimer cancel;
    cancel.setInterval(300);
    QObject::connect(&cancel, &QTimer::timeout, [&] {
      if (CPleaseWaitDlg* box = window.controller->Host().PleaseWaitBox()) {
        if (auto* button = box->findChild<QPushButton*>(QStringLiteral("button1003"))) button->click();
      }
    });
    cancel.start();
    window.Connect(ProfileForPort(server.Port(), 2, 30));
    cancel.stop();
    QCOMPARE(window.controller->Attempts(), 1);
    QVERIFY(window.Log().contains(QStringLiteral("Connection Aborted.")));
    QCOMPARE(script.Captions(), QStringList{"Not Connected"});
    QVERIFY(!window.controller->AttemptAborted());
    QCOMPARE(window.controller->AttemptCounter(), 0);
  }

  void retryCountAfterDisconnect_data() {
    QTest::addColumn<bool>("loggedIn");
    QTest::newRow("during the second attempt: kept") << false;
    QTest::newRow("logged in on the second attempt: back to 0") << true;
  }

  void retryCountAfterDisconnect() {
    // The first connection is closed before the greeting; the second one
    // stalls, or logs in.
    QFETCH(bool, loggedIn);
    ScriptedFtpServer server;
    server.SetStepTimeout(std::chrono::seconds(30));
    server.AcceptNextConnection();
    if (loggedIn) server.Greet().Expect("AUTH TLS", "500 Not understood.").ExpectLogin().Do(AnswerWithoutData("/"));
    else server.Stall();
    server.Start();
    BrowseWindow window;
    PromptScript script;
    QTimer secondAttempt;
    QObject::connect(&secondAttempt, &QTimer::timeout, [&] {
      if (window.controller->Attempts() < 2 || loggedIn) return;
      secondAttempt.stop();
      window.controller->OnDisconnectCommand();
    });
    secondAttempt.start(20);
    window.Connect(ProfileForPort(server.Port(), 2, 30));
    QCOMPARE(window.controller->Attempts(), 2);
    QCOMPARE(window.frame.Connected(), loggedIn);
    if (loggedIn) QVERIFY(window.controller->OnDisconnectCommand());
    QCOMPARE(window.controller->AttemptCounter(), loggedIn ? 0 : 1);
    QVERIFY(script.Records().empty());
  }

  void navigation() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QSignalSpy shown(window.navigator, &RemoteNavigator::ListingShown);

    // A folder selected: Change Directory enters it without asking.
    window.Select({"pub"});
    window.navigator->OnChangeDirectory();
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    QCOMPARE(window.Names(), (QStringList{"linux", ".message", "notes.txt"}));
    QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Test Server - /pub"));
    QCOMPARE(DirectoryTreeNavigator::PathOf(window.tree->CurrentNode()), QStringLiteral("/pub"));
    QVERIFY(window.Log().contains(QStringLiteral("Welcome to pub")));  // .message into the log

    // A file selected: nothing happens.
    window.Select({"notes.txt"});
    const int before = shown.count();
    window.navigator->OnChangeDirectory();
    QCOMPARE(shown.count(), before);

    // Nothing selected: the typed path.
    window.selection.clearSelection();
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/linux"));
      window.navigator->OnChangeDirectory();
      QCOMPARE(script.Captions(), QStringList{"Change Directory"});
      QCOMPARE(script.Records().at(0).initial, QStringLiteral("/pub"));
    }
    QCOMPARE(window.Current(), QStringLiteral("/pub/linux"));
    QCOMPARE(window.Names(), QStringList{"kernel.tar.xz"});
    // Cancel: nothing is sent or logged.
    const QString logBefore = window.Log();
    {
      PromptScript script;
      script.AnswerText(QString());
      window.navigator->OnChangeDirectory();
    }
    QCOMPARE(window.Log(), logBefore);

    window.navigator->OnUpLevel();
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    window.navigator->OnRoot();
    QCOMPARE(window.Current(), QStringLiteral("/"));
    const int atRoot = shown.count();
    window.navigator->OnUpLevel();  // the server stays at /
    QCOMPARE(window.Current(), QStringLiteral("/"));
    QCOMPARE(shown.count(), atRoot);
    window.navigator->OnRefresh();
    QCOMPARE(shown.count(), atRoot + 1);

    // Home returns to the login directory.
    window.navigator->GoToDirectory(QStringLiteral("/incoming"));
    QCOMPARE(window.Current(), QStringLiteral("/incoming"));
    window.navigator->OnHome();
    QCOMPARE(window.Current(), QStringLiteral("/"));

    // ShowWelcome off: no .message fetched.
    window.frame.Prefs().ShowWelcome = false;
    const int retrieved = window.Log().count(QStringLiteral("Retrieving .message"));
    window.navigator->GoToDirectory(QStringLiteral("/pub"));
    QCOMPARE(window.Log().count(QStringLiteral("Retrieving .message")), retrieved);

    // The tree: a selection by the user navigates after the pause.
    QTreeWidgetItem* root = window.tree->RootNode();
    window.treeWidget.setCurrentItem(root);
    QTRY_COMPARE_WITH_TIMEOUT(window.Current(), QStringLiteral("/"), 3000);
  }

  void homeGoesToProfileDirectory() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    ServerSettings profile = ProfileFor(server);
    profile.RemoteDir = "/pub";
    window.Connect(profile);
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    window.navigator->OnRoot();
    window.navigator->OnHome();
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
  }

  void createAndRemoveDirectories() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    window.navigator->GoToDirectory(QStringLiteral("/pub"));
    QSignalSpy shown(window.navigator, &RemoteNavigator::ListingShown);
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/newdir"));
      window.navigator->OnCreateDirectory();
      QCOMPARE(script.Records().at(0).initial, QStringLiteral("/pub/"));
      QCOMPARE(script.Captions(), QStringList{"Create Directory"});
    }
    QVERIFY(std::filesystem::is_directory(server.Root() / "pub/newdir"));
    QCOMPARE(shown.count(), 0);  // in place, no new listing
    const int row = window.list.RowOf(QStringLiteral("newdir"));
    QVERIFY(row >= 0);
    QCOMPARE(window.list.Row(row).typeText, QStringLiteral("File Folder"));
    QCOMPARE(window.tree->CurrentNode()->childCount(), 2);

    // In another directory: that directory is listed.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/incoming/other"));
      window.navigator->OnCreateDirectory();
    }
    QCOMPARE(window.Current(), QStringLiteral("/incoming"));
    QVERIFY(window.Names().contains(QStringLiteral("other")));

    // Directly under the root, typed with a trailing "/": the root is
    // listed with the new directory in it.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/topdir/"));
      window.navigator->OnCreateDirectory();
    }
    QVERIFY(std::filesystem::is_directory(server.Root() / "topdir"));
    QCOMPARE(window.Current(), QStringLiteral("/"));
    QVERIFY(window.Names().contains(QStringLiteral("topdir")));
    window.navigator->GoToDirectory(QStringLiteral("/incoming"));

    // Refused: the error box, nothing changes.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/incoming/other")).Answer(QMessageBox::Ok);
      window.navigator->OnCreateDirectory();
      QCOMPARE(script.Captions(), (QStringList{"Create Directory", "Error"}));
      QVERIFY(script.Texts().at(1).contains(QStringLiteral("create the new directory")));
      QVERIFY(script.Texts().at(1).endsWith(QStringLiteral("61204")));
      QVERIFY2(script.Records().at(1).detail.startsWith(QStringLiteral("550 ")), qPrintable(script.Records().at(1).detail));
    }

    // Remove the selected folder without a question.
    window.Select({"other"});
    {
      PromptScript script;
      window.navigator->OnRemoveDirectory();
      QVERIFY(script.Records().empty());
    }
    QVERIFY(!std::filesystem::exists(server.Root() / "incoming/other"));
    QCOMPARE(window.list.RowOf(QStringLiteral("other")), -1);
    QCOMPARE(window.tree->CurrentNode()->childCount(), 0);

    // Typed, in another directory.
    window.selection.clearSelection();
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/newdir"));
      window.navigator->OnRemoveDirectory();
      QCOMPARE(script.Captions(), QStringList{"Remove Directory"});
    }
    QVERIFY(!std::filesystem::exists(server.Root() / "pub/newdir"));
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    QCOMPARE(window.list.RowOf(QStringLiteral("newdir")), -1);

    // A directory that is not empty: 61205.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/linux")).Answer(QMessageBox::Ok);
      window.navigator->OnRemoveDirectory();
      QCOMPARE(script.Captions(), (QStringList{"Remove Directory", "Error"}));
    }
    QVERIFY(window.list.RowOf(QStringLiteral("linux")) >= 0);
  }

  void deleteSelection() {
    PyFtpServer server;
    FillServer(server);
    server.WriteFile("incoming/a.txt", "a");
    server.WriteFile("incoming/b.txt", "b");
    server.WriteFile("incoming/c.txt", "c");
    std::filesystem::create_directory(server.Root() / "incoming/folder");
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    window.navigator->GoToDirectory(QStringLiteral("/incoming"));
    window.Select({"a.txt", "b.txt", "folder", "keep.txt"});
    {
      PromptScript script;
      window.files->OnDeleteFile();
      QVERIFY(script.Records().empty());
    }
    QCOMPARE(window.Names(), (QStringList{"folder", "c.txt"}));
    QVERIFY(std::filesystem::exists(server.Root() / "incoming/folder"));
    QVERIFY(!std::filesystem::exists(server.Root() / "incoming/a.txt"));
    QVERIFY(!std::filesystem::exists(server.Root() / "incoming/keep.txt"));

    // Typed with a trailing "/" (the server takes it): the row goes too.
    window.selection.clearSelection();
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/incoming/c.txt/"));
      window.files->OnDeleteFile();
    }
    QCOMPARE(window.Names(), QStringList{"folder"});
    // Typed: the file of another directory, then that directory is shown.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/notes.txt"));
      window.files->OnDeleteFile();
      QCOMPARE(script.Captions(), QStringList{"Delete File"});
      QCOMPARE(script.Records().at(0).initial, QStringLiteral("/incoming/"));
    }
    QVERIFY(!std::filesystem::exists(server.Root() / "pub/notes.txt"));
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    // The current directory itself: nothing is asked of the server.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub"));
      window.files->OnDeleteFile();
      QCOMPARE(script.Captions(), QStringList{"Delete File"});
    }
    // A file that is not there: 61206.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/absent.txt")).Answer(QMessageBox::Ok);
      window.files->OnDeleteFile();
      QCOMPARE(script.Captions(), (QStringList{"Delete File", "Error"}));
    }
  }

  void renameInPlaceAndTyped() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    // In place: the list's edit asks, the server renames, the row follows.
    const int row = window.list.RowOf(QStringLiteral("readme.txt"));
    window.list.setData(window.list.index(row, 0), QStringLiteral("zz.html"), Qt::EditRole);
    QVERIFY(std::filesystem::exists(server.Root() / "zz.html"));
    QCOMPARE(window.list.RowOf(QStringLiteral("readme.txt")), -1);
    QCOMPARE(window.Names().last(), QStringLiteral("zz.html"));
    // A folder renamed in place: its tree node follows.
    window.list.setData(window.list.index(window.list.RowOf(QStringLiteral("empty")), 0), QStringLiteral("vacant"),
                        Qt::EditRole);
    QCOMPARE(window.tree->RootNode()->child(0)->text(0), QStringLiteral("incoming"));
    QCOMPARE(window.tree->RootNode()->child(2)->text(0), QStringLiteral("vacant"));
    // The same name or an empty one sends nothing.
    const int renames = window.Log().count(QStringLiteral("Renaming"));
    window.list.setData(window.list.index(window.list.RowOf(QStringLiteral("zz.html")), 0), QStringLiteral("zz.html"),
                        Qt::EditRole);
    window.list.setData(window.list.index(window.list.RowOf(QStringLiteral("zz.html")), 0), QString(), Qt::EditRole);
    QCOMPARE(window.Log().count(QStringLiteral("Renaming")), renames);

    // With a row selected, Rename starts the in-place edit of that row.
    int edited = -1;
    window.files->SetLabelEditing([] { return false; }, [&](int r) { edited = r; });
    window.Select({"data.bin"});
    window.files->OnRenameFile();
    QCOMPARE(edited, window.list.RowOf(QStringLiteral("data.bin")));

    // Typed, in the current directory: the list stays, the row is replaced.
    window.selection.clearSelection();
    QSignalSpy shown(window.navigator, &RemoteNavigator::ListingShown);
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/data.bin")).AnswerText(QStringLiteral("/data.txt"));
      window.files->OnRenameFile();
      QCOMPARE(script.Captions(), (QStringList{"Rename File", "Rename File"}));
      QCOMPARE(script.Texts().at(1), QStringLiteral("Please enter the new name for\n/data.bin"));
    }
    QVERIFY(std::filesystem::exists(server.Root() / "data.txt"));
    QCOMPARE(shown.count(), 0);
    QVERIFY(window.list.RowOf(QStringLiteral("data.txt")) >= 0);
    // Refused: 61207.
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/absent")).AnswerText(QStringLiteral("/other")).Answer(QMessageBox::Ok);
      window.files->OnRenameFile();
      QCOMPARE(script.Captions().last(), QStringLiteral("Error"));
    }
    // While a name is being edited, Delete and Rename leave it alone.
    window.files->SetLabelEditing([] { return true; }, [&](int r) { edited = r + 100; });
    window.Select({"data.txt"});
    window.files->OnDeleteFile();
    window.files->OnRenameFile();
    QVERIFY(std::filesystem::exists(server.Root() / "data.txt"));
    QVERIFY(edited < 100);
  }

  void trailingSlashDirectory() {
    // A server that reports "/pub/" as its directory (and lists nothing).
    ScriptedFtpServer server;
    // The server does not offer TLS: the login goes on in plain.
    server.Greet().Expect("AUTH TLS", "500 Not understood.").ExpectLogin().Do(AnswerWithoutData("/pub/"));
    server.Start();
    BrowseWindow window;
    window.Connect(ProfileForPort(server.Port(), 0, 10));
    QVERIFY(window.frame.Connected());
    QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Nowhere - /pub"));
    QCOMPARE(DirectoryTreeNavigator::PathOf(window.tree->CurrentNode()), QStringLiteral("/pub"));
    QCOMPARE(window.tree->CurrentNode()->text(0), QStringLiteral("pub"));
  }

  void listInteraction() {
    PyFtpServer server;
    FillServer(server);
    server.WriteFile("pub/notes2.txt", "n");
    BrowseWindow window;
    window.frame.show();
    QHeaderView* header = window.frame.View()->DetailsView()->header();
    window.layer->HeadingClicked(1);  // not connected: nothing
    QCOMPARE(window.list.SortColumn(), 0);
    window.Connect(ProfileFor(server));

    window.layer->HeadingClicked(0);  // the same heading again: descending
    QCOMPARE(window.Names(), (QStringList{"pub", "incoming", "empty", "readme.txt", "data.bin"}));
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    window.layer->HeadingClicked(1);  // another heading: ascending
    QCOMPARE(window.Names(), (QStringList{"empty", "incoming", "pub", "readme.txt", "data.bin"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    window.layer->HeadingClicked(1);
    QCOMPARE(window.Names(), (QStringList{"empty", "incoming", "pub", "data.bin", "readme.txt"}));
    window.navigator->OnRefresh();  // a new listing sorts its column ascending
    QCOMPARE(window.list.SortColumn(), 1);
    QVERIFY(window.list.SortAscending());

    // Enter on a folder opens it.
    QTreeView* details = window.frame.View()->DetailsView();
    window.Select({"pub"});
    QTest::keyClick(details, Qt::Key_Return);
    QCOMPARE(window.Current(), QStringLiteral("/pub"));

    // Rename in place: Delete and Rename leave the editor alone meanwhile.
    window.Select({"notes2.txt"});
    window.frame.ExecuteCommand(ID_RENAME_FILE);
    QVERIFY(window.layer->IsEditingLabel());
    window.frame.ExecuteCommand(ID_DELETE_FILE);
    QVERIFY(std::filesystem::exists(server.Root() / "pub/notes2.txt"));
    auto* editor = details->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("notes2.txt"));
    editor->setText(QStringLiteral("renamed.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!window.layer->IsEditingLabel());
    QVERIFY(std::filesystem::exists(server.Root() / "pub/renamed.txt"));
    QVERIFY(window.list.RowOf(QStringLiteral("renamed.txt")) >= 0);

    // Ctrl+A selects every row.
    window.frame.ExecuteCommand(ID_SELECT_ALL);
    QCOMPARE(window.selection.selectedRows().size(), window.list.rowCount());
  }

  void tlsCertificateAskedOnceThenPadlock() {
    PyFtpServer server(test::TlsServerOptions(test::PyFtpServerOptions::Tls::Explicit));
    ServerSettings profile = ProfileFor(server);
    profile.Hostname = "ftpes://127.0.0.1";
    const QString fingerprint = QString::fromStdString(server.Certificate().fingerprint);
    for (int round = 0; round < 2; ++round) {
      BrowseWindow window;
      PromptScript script;
      bool shown = false;
      if (round == 0) {
        script.AnswerDialog([&](QDialog& dialog) {
          for (const QLabel* label : dialog.findChildren<QLabel*>()) shown = shown || label->text() == fingerprint;
          dialog.findChild<QPushButton*>(QStringLiteral("TrustAlways"))->click();
        });
      }
      window.Connect(profile);
      QVERIFY(window.frame.Connected());
      QCOMPARE(script.Records().size(), round == 0 ? std::size_t{1} : std::size_t{0});
      QCOMPARE(shown, round == 0);
      const SecurityLock* lock = window.frame.ConnectionBarWidget()->Lock();
      QCOMPARE(lock->CurrentState(), SecurityLock::State::Encrypted);
      QVERIFY2(lock->toolTip().startsWith(QStringLiteral("Encrypted: TLSv1.")), qPrintable(lock->toolTip()));
      QVERIFY(script.Unexpected().isEmpty());
    }
  }

  void disconnectResetsWindow() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QVERIFY(window.list.rowCount() > 0);
    QVERIFY(window.controller->OnDisconnectCommand());
    QVERIFY(!window.frame.Connected());
    QCOMPARE(window.doc.Title(), QStringLiteral("Not Connected"));
    QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Not Connected"));
    QCOMPARE(window.list.rowCount(), 0);
    QCOMPARE(window.treeWidget.topLevelItemCount(), 0);
    QVERIFY(!window.frame.ProfilePresent());
    QVERIFY(window.controller->Session() == nullptr);
  }

  void disconnectAsksToSaveModifiedProfile() {
    PyFtpServer server;
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    window.doc.SetModifiedFlag(true);
    {
      PromptScript script;
      script.Answer(QMessageBox::Cancel);
      QVERIFY(!window.controller->OnDisconnectCommand());
      QCOMPARE(script.Records().size(), size_t(1));
      QVERIFY(script.Texts().at(0).startsWith(QStringLiteral("Save changes to")));
    }
    QVERIFY(window.frame.Connected());  // Cancel keeps the connection
    {
      PromptScript script;
      script.Answer(QMessageBox::No);
      QVERIFY(window.controller->OnDisconnectCommand());
    }
    QVERIFY(!window.frame.Connected());
  }

  void closingAsksToSaveBeforeDisconnecting() {
    PyFtpServer server;
    BrowseWindow window;
    window.frame.show();
    window.Connect(ProfileFor(server));
    window.doc.SetModifiedFlag(true);
    {
      PromptScript script;
      script.Answer(QMessageBox::Cancel);
      QVERIFY(!window.frame.close());
      QCOMPARE(script.Records().size(), size_t(1));
      QVERIFY(script.Texts().at(0).contains(QStringLiteral("Test Server")));
    }
    QVERIFY(window.frame.Connected());
    {
      PromptScript script;
      script.Answer(QMessageBox::No);
      QVERIFY(window.frame.close());
    }
    QVERIFY(!window.frame.Connected());
  }

  void serverKilledWhileConnected() {
    PyFtpServer server;
    server.WriteFile("readme.txt", "hello\n");
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QVERIFY(window.frame.Connected());
    server.Kill();
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    window.navigator->OnCreateDirectory();  // not blamed on permissions
    // Seen before the command: one reconnect, which finds nobody.
    QCOMPARE(window.Log().count(QStringLiteral("The server closed the idle connection.")), 1);
    VerifyDisconnected(window, script);
  }

  void closedWhileListing() {
    ScriptedFtpServer server;
    server.Greet().Expect("AUTH TLS", "500 Not understood.").ExpectLogin().Expect("PWD", "257 \"/\"").Drop();
    server.Start();
    BrowseWindow window;
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    window.Connect(ProfileForPort(server.Port(), 0, 10));
    VerifyDisconnected(window, script);
  }

  void idleDropReconnectsOnceAndCarriesOn() {
    PyFtpServerOptions options;
    options.idleTimeoutSeconds = 1;
    PyFtpServer server(options);
    server.WriteFile("pub/notes.txt", "n");
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QVERIFY(window.frame.Connected());
    QTRY_VERIFY_WITH_TIMEOUT(window.controller->Session()->ConnectionLost(), 10000);
    PromptScript script;
    window.navigator->GoToDirectory(QStringLiteral("/pub"));
    QVERIFY(script.Records().empty());
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    QCOMPARE(window.Names(), QStringList{"notes.txt"});
    QCOMPARE(window.Log().count(QStringLiteral("The server closed the idle connection.")), 1);
    QCOMPARE(window.Log().count(QStringLiteral("Connected to Host.")), 2);
  }

  void disconnectDuringWaitReleasesAfterIt() {
    // Disconnect arrives while Connect waits on a silent server: the wait
    // ends, and only then is the session released.
    ScriptedFtpServer server;
    server.SetStepTimeout(std::chrono::seconds(30));
    server.Stall();
    server.Start();
    BrowseWindow window;
    PromptScript script;
    QTimer::singleShot(400, [&] { window.controller->OnDisconnectCommand(); });
    window.Connect(ProfileForPort(server.Port(), 3, 30));
    QCOMPARE(window.controller->Attempts(), 1);
    QVERIFY(window.frame.Session() == nullptr);
    QVERIFY(window.controller->Session() == nullptr);
    QVERIFY(script.Records().empty());
  }
};

int main(int argc, char** argv) {
  // The window saves its settings when it goes: keep them out of the user's.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  BrowseSessionTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "browse_session_test.moc"
