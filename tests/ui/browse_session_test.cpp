// Connect, browse and change the server's directories from the main window,
// against a real FTP server on 127.0.0.1 (and a scripted one for a server
// that never answers or goes away), and lose the connection.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>

#include <filesystem>

#include "helpers/browse_window.h"
#include "helpers/prompt_script.h"
#include "support/scripted_ftp_server.h"
#include "support/silent_ports.h"
#include "ui/dialogs/please_wait_dlg.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/shared/command_ids.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/security_lock.h"

using namespace veltrim;
using namespace veltrim::ui;
using namespace veltrim::test;
namespace fs = std::filesystem;

namespace {

// After login: PWD names directory, data connections are refused, anything
// else is "200 OK".
ScriptedFtpServer::Step AnswerWithoutData(std::string directory) {
  return [directory](ScriptContext& context) {
    for (;;) {
      bool ok = false;
      const std::string command = context.ReadCommand(&ok);
      if (!ok) return;
      const std::string verb = command.substr(0, command.find(' '));
      if (verb == "PWD") context.SendLine("257 \"" + directory + "\" is the current directory");
      else if (verb == "QUIT") return context.SendLine("221 Bye");
      else if (verb == "EPSV" || verb == "PASV" || verb == "EPRT" || verb == "PORT") context.SendLine("500 No data today");
      else if (verb == "LIST" || verb == "MLSD" || verb == "NLST" || verb == "RETR") context.SendLine("425 No data connection");
      else context.SendLine("200 OK");
    }
  };
}

// A scripted server that takes the login (it offers no TLS) and then answers
// without data.
void PlainLogin(ScriptedFtpServer& server, std::string directory) {
  server.Greet().Expect("AUTH TLS", "500 Not understood.").ExpectLogin().Do(AnswerWithoutData(std::move(directory)));
}

// The window back at not connected, with nothing of the server left in it.
void VerifyNotConnected(const BrowseWindow& window) {
  QVERIFY(!window.frame.Connected());
  QVERIFY(window.frame.Session() == nullptr);
  QVERIFY(window.controller->Session() == nullptr);
  QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Not Connected"));
  QCOMPARE(window.list.rowCount(), 0);
  QCOMPARE(window.treeWidget.topLevelItemCount(), 0);
}

// The "Disconnected" box and no error box of the command the loss broke.
void VerifyDisconnected(const BrowseWindow& window, const PromptScript& script) {
  QVERIFY(script.Unexpected().isEmpty());
  QCOMPARE(script.Captions(), QStringList{"Disconnected"});
  QCOMPARE(script.Texts(), QStringList{"You have been disconnected from the server"});
  QCOMPARE(script.Records().at(0).icon, QMessageBox::Critical);
  VerifyNotConnected(window);
}

void FillServer(const PyFtpServer& server) {
  server.WriteFile("readme.txt", "hello\n");
  server.WriteFile("data.bin", std::string(3000, 'x'));
  server.WriteFile("pub/linux/kernel.tar.xz", "k");
  server.WriteFile("pub/notes.txt", "n");
  server.WriteFile("pub/.message", "Welcome to pub");
  server.WriteFile("incoming/keep.txt", "k");
  fs::create_directory(server.Root() / "empty");
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
    QCOMPARE(window.tree->RootNode()->text(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(window.tree->CurrentNode(), window.tree->RootNode());
    QCOMPARE(window.tree->RootNode()->childCount(), 3);
    QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Test Server - /"));
    QCOMPARE(window.doc.Title(), QStringLiteral("Test Server"));
    QVERIFY(window.Log().contains(QStringLiteral("Connected to Host.")));
    // No RemoteDir: the login directory becomes the way home.
    QCOMPARE(window.frame.ActiveProfile().RemoteDir, std::string("/"));
    QVERIFY(!window.frame.Busy());
  }

  // A refused login, and a port where nothing listens (with a retry, for a
  // profile just typed with New: it stays the document, unsaved, to be
  // corrected and tried again).
  void failedConnectSaysNotConnected() {
    PyFtpServer server;
    ServerSettings refused = ProfileFor(server);
    refused.Password = "wrong";
    for (const ServerSettings& profile : {refused, ProfileForPort(ClosedPort(), 1, 10)}) {
      BrowseWindow window;
      PromptScript script;
      script.Answer(QMessageBox::Ok);
      window.doc.AssignProfile(profile);
      window.doc.SetModifiedFlag(true);
      window.Connect(profile);
      QCOMPARE(window.controller->Attempts(), profile.Retries + 1);
      QCOMPARE(script.Captions(), QStringList{"Not Connected"});
      QCOMPARE(script.Texts(), QStringList{"A connection to the server could not be established"});
      QVERIFY(window.Log().contains(QStringLiteral("Error connecting to host: ")));
      QVERIFY(!window.Log().contains(QStringLiteral("Connection timed out.")));
      QCOMPARE(window.doc.Title(), QString::fromStdString(profile.Name));
      QVERIFY(window.doc.IsModified());
      QVERIFY(window.frame.ProfilePresent());
      QVERIFY(window.frame.Session() == nullptr);
      QCOMPARE(window.controller->AttemptCounter(), 0);
      QVERIFY(!window.controller->Watchdog().isActive());
    }
  }

  // A server that accepts and never greets: every attempt runs into the
  // watchdog; Cancel in "Please Wait" stops the retries; a Disconnect during
  // the wait releases the session only after the wait ended.
  void silentServer() {
    const std::tuple<QString, int, int, QString, QStringList> cases[] = {
        {"", 1, 3, "Connection timed out.", {"Not Connected"}},  // action, timeout, attempts, log line, boxes
        {"cancel", 30, 1, "Connection Aborted.", {"Not Connected"}},
        {"disconnect", 30, 1, "", {}}};
    for (const auto& [action, timeout, attempts, logLine, captions] : cases) {
      ScriptedFtpServer server;
      server.SetStepTimeout(std::chrono::seconds(30));
      server.Stall();
      server.Start();
      BrowseWindow window;
      PromptScript script;
      if (!captions.isEmpty()) script.Answer(QMessageBox::Ok);
      QTimer act;
      QObject::connect(&act, &QTimer::timeout, [&] {
        if (action == "disconnect") return void(window.controller->OnDisconnectCommand());
        if (CPleaseWaitDlg* box = window.controller->Host().PleaseWaitBox()) {
          if (auto* button = box->findChild<QPushButton*>(QStringLiteral("button1003"))) button->click();
        }
      });
      act.setSingleShot(action == "disconnect");
      if (!action.isEmpty()) act.start(400);
      QElapsedTimer clock;
      clock.start();
      window.Connect(ProfileForPort(server.Port(), 2, timeout));
      act.stop();
      QCOMPARE(window.controller->Attempts(), attempts);
      if (!logLine.isEmpty()) QCOMPARE(window.Log().count(logLine), attempts);
      if (action.isEmpty()) QVERIFY2(clock.elapsed() >= 2500, qPrintable(QString::number(clock.elapsed())));
      QCOMPARE(script.Captions(), captions);
      QVERIFY(!window.controller->AttemptAborted());
      QCOMPARE(window.controller->AttemptCounter(), 0);
      QVERIFY(window.frame.Session() == nullptr);
      QVERIFY(window.controller->Session() == nullptr);
    }
  }

  void navigation() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    ServerSettings profile = ProfileFor(server);
    profile.RemoteDir = "/pub";  // where the session starts and Home goes
    window.Connect(profile);
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    QCOMPARE(window.Names(), (QStringList{"linux", ".message", "notes.txt"}));
    QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Test Server - /pub"));
    QCOMPARE(DirectoryTreeNavigator::PathOf(window.tree->CurrentNode()), QStringLiteral("/pub"));
    QVERIFY(window.Log().contains(QStringLiteral("Welcome to pub")));  // .message into the log
    QSignalSpy shown(window.navigator, &RemoteNavigator::ListingShown);

    // A file selected: Change Directory does nothing; a folder: it is entered without asking.
    window.Select({"notes.txt"});
    window.navigator->OnChangeDirectory();
    QCOMPARE(shown.count(), 0);
    window.Select({"linux"});
    window.navigator->OnChangeDirectory();
    QCOMPARE(window.Current(), QStringLiteral("/pub/linux"));
    QCOMPARE(window.Names(), QStringList{"kernel.tar.xz"});

    // Nothing selected: the typed path; Cancel sends and logs nothing.
    window.selection.clearSelection();
    {
      PromptScript script;
      script.AnswerText(QStringLiteral("/incoming"));
      window.navigator->OnChangeDirectory();
      QCOMPARE(script.Captions(), QStringList{"Change Directory"});
      QCOMPARE(script.Records().at(0).initial, QStringLiteral("/pub/linux"));
    }
    QCOMPARE(window.Current(), QStringLiteral("/incoming"));
    const QString logBefore = window.Log();
    {
      PromptScript script;
      script.AnswerText(QString());
      window.navigator->OnChangeDirectory();
    }
    QCOMPARE(window.Log(), logBefore);

    window.navigator->OnUpLevel();
    QCOMPARE(window.Current(), QStringLiteral("/"));
    const int atRoot = shown.count();
    window.navigator->OnUpLevel();  // the server stays at /
    QCOMPARE(window.Current(), QStringLiteral("/"));
    QCOMPARE(shown.count(), atRoot);
    window.navigator->OnRefresh();
    QCOMPARE(shown.count(), atRoot + 1);
    window.navigator->OnHome();
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    window.navigator->OnRoot();
    QCOMPARE(window.Current(), QStringLiteral("/"));

    // The tree: a selection by the user navigates after the pause.
    window.treeWidget.setCurrentItem(window.tree->RootNode());
    QTRY_COMPARE_WITH_TIMEOUT(window.Current(), QStringLiteral("/"), 3000);
  }

  void createAndRemoveDirectories() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    window.navigator->GoToDirectory(QStringLiteral("/pub"));
    QSignalSpy shown(window.navigator, &RemoteNavigator::ListingShown);
    {
      // In the current directory: in place, no new listing. In another one:
      // that one is listed. Directly under the root, typed with a trailing
      // "/": the root is listed with it. Refused: the server's reply shows.
      PromptScript script;
      script.AnswerText(QStringLiteral("/pub/newdir")).AnswerText(QStringLiteral("/incoming/other"));
      script.AnswerText(QStringLiteral("/topdir/")).AnswerText(QStringLiteral("/topdir")).Answer(QMessageBox::Ok);
      window.navigator->OnCreateDirectory();
      QCOMPARE(script.Records().at(0).initial, QStringLiteral("/pub/"));
      QCOMPARE(shown.count(), 0);
      const int row = window.list.RowOf(QStringLiteral("newdir"));
      QVERIFY(row >= 0);
      QCOMPARE(window.list.Row(row).typeText, QStringLiteral("File Folder"));
      QCOMPARE(window.tree->CurrentNode()->childCount(), 2);
      for (int i = 0; i < 3; ++i) window.navigator->OnCreateDirectory();
      QVERIFY(fs::is_directory(server.Root() / "incoming/other"));
      QVERIFY(fs::is_directory(server.Root() / "topdir"));
      QCOMPARE(window.Current(), QStringLiteral("/"));
      QVERIFY(window.Names().contains(QStringLiteral("topdir")));
      QCOMPARE(script.Captions().mid(3), (QStringList{"Create Directory", "Error"}));
      QVERIFY(script.Texts().at(4).endsWith(QStringLiteral("61204")));
      QVERIFY2(script.Records().at(4).detail.startsWith(QStringLiteral("550 ")), qPrintable(script.Records().at(4).detail));
    }

    // The selected folder goes without a question; then one typed, in
    // another directory; then one that is not empty: an error.
    window.navigator->GoToDirectory(QStringLiteral("/incoming"));
    window.Select({"other"});
    PromptScript script;
    script.AnswerText(QStringLiteral("/pub/newdir")).AnswerText(QStringLiteral("/pub/linux")).Answer(QMessageBox::Ok);
    window.navigator->OnRemoveDirectory();
    QVERIFY(script.Records().empty());
    QVERIFY(!fs::exists(server.Root() / "incoming/other"));
    QCOMPARE(window.list.RowOf(QStringLiteral("other")), -1);
    QCOMPARE(window.tree->CurrentNode()->childCount(), 0);
    window.selection.clearSelection();
    window.navigator->OnRemoveDirectory();
    QVERIFY(!fs::exists(server.Root() / "pub/newdir"));
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    QCOMPARE(window.list.RowOf(QStringLiteral("newdir")), -1);
    window.navigator->OnRemoveDirectory();
    QCOMPARE(script.Captions(), (QStringList{"Remove Directory", "Remove Directory", "Error"}));
    QVERIFY(window.list.RowOf(QStringLiteral("linux")) >= 0);
  }

  void deleteSelection() {
    PyFtpServer server;
    FillServer(server);
    for (const char* name : {"incoming/a.txt", "incoming/b.txt", "incoming/c.txt"}) server.WriteFile(name, "x");
    fs::create_directory(server.Root() / "incoming/folder");
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
    QVERIFY(fs::exists(server.Root() / "incoming/folder"));
    QVERIFY(!fs::exists(server.Root() / "incoming/keep.txt"));

    // Typed with a trailing "/" (the server takes it): the row goes too.
    // Then the file of another directory, which is shown afterwards; then
    // the current directory itself (nothing is asked of the server); then a
    // file that is not there: 61206.
    window.selection.clearSelection();
    PromptScript script;
    script.AnswerText(QStringLiteral("/incoming/c.txt/"))
        .AnswerText(QStringLiteral("/pub/notes.txt"))
        .AnswerText(QStringLiteral("/pub"))
        .AnswerText(QStringLiteral("/pub/absent.txt"))
        .Answer(QMessageBox::Ok);
    window.files->OnDeleteFile();
    QCOMPARE(window.Names(), QStringList{"folder"});
    window.files->OnDeleteFile();
    QCOMPARE(script.Records().at(1).initial, QStringLiteral("/incoming/"));
    QVERIFY(!fs::exists(server.Root() / "pub/notes.txt"));
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    window.files->OnDeleteFile();
    window.files->OnDeleteFile();
    QCOMPARE(script.Captions(), (QStringList{"Delete File", "Delete File", "Delete File", "Delete File", "Error"}));
  }

  void renameInPlaceAndTyped() {
    PyFtpServer server;
    FillServer(server);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    // In place: the list's edit asks, the server renames, the row follows.
    const auto rename = [&](const char* from, const QString& to) {
      window.list.setData(window.list.index(window.list.RowOf(QString::fromLatin1(from)), 0), to, Qt::EditRole);
    };
    rename("readme.txt", QStringLiteral("zz.html"));
    QVERIFY(fs::exists(server.Root() / "zz.html"));
    QCOMPARE(window.list.RowOf(QStringLiteral("readme.txt")), -1);
    QCOMPARE(window.Names().last(), QStringLiteral("zz.html"));
    // A folder renamed in place: its tree node follows.
    rename("empty", QStringLiteral("vacant.d"));
    QCOMPARE(window.tree->RootNode()->child(0)->text(0), QStringLiteral("incoming"));
    QCOMPARE(window.tree->RootNode()->child(2)->text(0), QStringLiteral("vacant.d"));
    QCOMPARE(window.list.Row(window.list.RowOf(QStringLiteral("vacant.d"))).typeText, QStringLiteral("File Folder"));
    // The same name or an empty one sends nothing.
    const int renames = window.Log().count(QStringLiteral("Renaming"));
    rename("zz.html", QStringLiteral("zz.html"));
    rename("zz.html", QString());
    QCOMPARE(window.Log().count(QStringLiteral("Renaming")), renames);

    // Typed, in the current directory: the list stays, the row is replaced;
    // then refused: 61207.
    window.selection.clearSelection();
    QSignalSpy shown(window.navigator, &RemoteNavigator::ListingShown);
    PromptScript script;
    script.AnswerText(QStringLiteral("/data.bin")).AnswerText(QStringLiteral("/data.txt"));
    script.AnswerText(QStringLiteral("/absent")).AnswerText(QStringLiteral("/other")).Answer(QMessageBox::Ok);
    window.files->OnRenameFile();
    QCOMPARE(script.Texts().at(1), QStringLiteral("Please enter the new name for\n/data.bin"));
    QVERIFY(fs::exists(server.Root() / "data.txt"));
    QCOMPARE(shown.count(), 0);
    QVERIFY(window.list.RowOf(QStringLiteral("data.txt")) >= 0);
    window.files->OnRenameFile();
    QCOMPARE(script.Captions(), (QStringList{"Rename File", "Rename File", "Rename File", "Rename File", "Error"}));
  }

  void trailingSlashDirectory() {
    // A server that reports "/pub/" as its directory (and lists nothing).
    ScriptedFtpServer server;
    PlainLogin(server, "/pub/");
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
    window.Connect(ProfileFor(server));
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
    window.frame.ExecuteCommand(ID_RENAME_FILE);
    QVERIFY(fs::exists(server.Root() / "pub/notes2.txt"));
    auto* editor = details->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("notes2.txt"));
    editor->setText(QStringLiteral("renamed.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!window.layer->IsEditingLabel());
    QVERIFY(fs::exists(server.Root() / "pub/renamed.txt"));
    QVERIFY(window.list.RowOf(QStringLiteral("renamed.txt")) >= 0);
  }

  void tlsCertificateAskedOnceThenPadlock() {
    PyFtpServer server(TlsServerOptions(PyFtpServerOptions::Tls::Explicit));
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

  // Disconnect and closing the window ask "save changes?" for a modified
  // profile first: Cancel keeps the connection, No goes on.
  void disconnectAsksToSaveThenResetsTheWindow() {
    for (const bool closeWindow : {false, true}) {
      PyFtpServer server;
      FillServer(server);
      BrowseWindow window;
      window.frame.show();
      window.Connect(ProfileFor(server));
      QVERIFY(window.list.rowCount() > 0);
      window.doc.SetModifiedFlag(true);
      const auto disconnect = [&] { return closeWindow ? window.frame.close() : window.controller->OnDisconnectCommand(); };
      PromptScript script;
      script.Answer(QMessageBox::Cancel).Answer(QMessageBox::No);
      QVERIFY(!disconnect());
      QVERIFY(window.frame.Connected());
      QVERIFY(disconnect());
      QCOMPARE(script.Records().size(), size_t(2));
      QVERIFY(script.Texts().at(0).startsWith(QStringLiteral("Save changes to")));
      QVERIFY(script.Texts().at(0).contains(QStringLiteral("Test Server")));
      VerifyNotConnected(window);
      if (!closeWindow) {
        QCOMPARE(window.doc.Title(), QStringLiteral("Not Connected"));
        QVERIFY(!window.frame.ProfilePresent());
      }
    }
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
};

QTEST_MAIN(BrowseSessionTest)
#include "browse_session_test.moc"
