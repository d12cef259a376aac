// Moving files from the main window against a real FTP server: downloads from
// the list's rows, uploads, dropped files, the cancel and new-connection
// questions, the File Transfer window's figures and a hostile listing.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/engine/error_ids.h"
#include "helpers/prompt_script.h"
#include "support/pyftpd_server.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/remembered_question_dlg.h"
#include "ui/ftp/browse_layer.h"
#include "ui/ftp/connection_controller.h"
#include "ui/ftp/download_commands.h"
#include "ui/ftp/dropped_files.h"
#include "ui/ftp/file_transfer_dlg.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/ftp/upload_commands.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/shared/command_ids.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

using namespace veltrim;
using namespace veltrim::ui;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using veltrim::test::PyFtpServer;
namespace fs = std::filesystem;

namespace {

// Every file and folder under root: relative path -> content ("/" for a folder).
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    std::ifstream in(item.path(), std::ios::binary);
    tree[fs::relative(item.path(), root).string()] =
        item.is_directory() ? "/" : std::string(std::istreambuf_iterator<char>(in), {});
  }
  return tree;
}

std::string Read(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Window {
  CVeltrimFTPDoc doc;
  CMainFrame frame{&doc};
  BrowseLayer* layer = new BrowseLayer(frame);
  test::TempDir local;
  ~Window() { frame.OnDisconnect(); }

  void Connect(const PyFtpServer& server, bool newConnection = false) {
    ServerSettings profile;
    profile.Name = "Test";
    profile.Hostname = "127.0.0.1";
    profile.Username = server.User();
    profile.Password = server.Password();
    profile.Port = server.Port();
    profile.Timeout = 10;
    profile.LocalDir = local.Path().string();
    frame.Prefs().Auto = false;  // binary: copies are byte for byte
    frame.Prefs().NewConn = newConnection;
    frame.Prefs().NoNewConn = !newConnection;
    frame.TakeProfile(profile);
    layer->Controller().OnConnect();
    QVERIFY(frame.Connected());
  }
  CFtpSession& Session() const { return *layer->Controller().Session(); }
  void Select(const QStringList& names) {
    QItemSelectionModel& selection = *frame.View()->Selection();
    selection.clearSelection();
    for (const QString& name : names)
      selection.select(layer->Rows().index(layer->Rows().RowOf(name), 0),
                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QString Local(const char* relative) const { return QString::fromStdString((local.Path() / relative).string()); }
  bool RunEnded() const {
    return !Session().IsTransferConnected() && layer->Controller().Host().TransferWindow() == nullptr;
  }
};

void FillTree(const PyFtpServer& server) {
  server.WriteFile("pub/a.txt", "alpha\r\n");
  server.WriteFile("pub/one/b.bin", std::string(70000, 'b'));
  server.WriteFile("pub/two/deep/c.bin", "c");
  server.WriteFile("pub/three/d.txt", "d");
}

// Presses the Adding Files box's Cancel once something is queued.
std::function<bool(QDialog&)> CancelOnceQueued(Window& window) {
  return [&window](QDialog& box) {
    if (window.Session().QueueLength() == 0) return false;
    box.findChild<QPushButton*>(QStringLiteral("button1003"))->click();
    return true;
  };
}

}  // namespace

class TransferCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void downloadsFromTheList() {
    PyFtpServer server;
    FillTree(server);
    server.WriteFile("x.bin", std::string(5000, 'x'));
    server.WriteFile("y.txt", "why\r\n");
    Window window;
    window.Connect(server);
    PromptScript script;
    // Double-click on a file: the Save dialog.
    script.AnswerPath(PromptKind::SaveFile, window.Local("saved.bin"));
    window.Select({"x.bin"});
    QTreeView* details = window.frame.View()->DetailsView();
    emit details->doubleClicked(window.layer->Rows().index(window.layer->Rows().RowOf("x.bin"), 0));
    QCOMPARE(script.Records().at(0).caption, QStringLiteral("Download File"));
    QCOMPARE(script.Records().at(0).initial, window.Local("x.bin"));
    QCOMPARE(Read(window.Local("saved.bin")), std::string(5000, 'x'));
    // Three rows, a folder among them, into one chosen folder.
    fs::create_directory(window.local.Path() / "all");
    script.AnswerPath(PromptKind::Folder, window.Local("all"));
    window.Select({"pub", "x.bin", "y.txt"});
    window.frame.ExecuteCommand(ID_DOWNLOAD);
    QCOMPARE(script.Records().at(1).caption, QStringLiteral("Choose a directory to place all downloaded files"));
    QCOMPARE(script.Records().at(2).caption, QStringLiteral("Adding files to Queue"));
    std::map<std::string, std::string> expected{{"pub", "/"}, {"x.bin", std::string(5000, 'x')}, {"y.txt", "why\r\n"}};
    for (const auto& [path, content] : Tree(server.Root() / "pub")) expected["pub/" + path] = content;
    QCOMPARE(Tree(window.local.Path() / "all"), expected);
    window.layer->Navigator().OnRefresh();  // the walk's last directory is not the one on display
    QVERIFY(window.layer->Rows().RowOf("x.bin") >= 0);
    QVERIFY(script.Unexpected().isEmpty());
  }

  void uploadsAndDrops() {
    PyFtpServer server;
    server.WriteFile("incoming/keep.txt", "k");
    Window window;
    window.Connect(server);
    FillTree(server);  // a local tree to send: the server's own, copied
    fs::copy(server.Root() / "pub", window.local.Path() / "pub", fs::copy_options::recursive);
    fs::remove_all(server.Root() / "pub");
    std::ofstream(window.local.Path() / "f1.txt") << "one";
    std::ofstream(window.local.Path() / "f2.bin") << "two";
    PromptScript script;
    script.AnswerPaths({window.Local("f1.txt"), window.Local("f2.bin")}).AnswerPath(PromptKind::Folder, window.Local("pub"));
    window.frame.ExecuteCommand(ID_UPLOAD);  // from the root: "/f1.txt", never "//f1.txt"
    window.layer->Navigator().GoToDirectory(QStringLiteral("/incoming"));
    window.frame.ExecuteCommand(ID_UPLOAD_DIRECTORY);
    QCOMPARE(server.ReadFile("f1.txt") + server.ReadFile("f2.bin"), std::string("onetwo"));
    QCOMPARE(Tree(server.Root() / "incoming" / "pub"), Tree(window.local.Path() / "pub"));
    QVERIFY(window.layer->Rows().RowOf("pub") >= 0);  // listed afresh after the run
    QCOMPARE(script.Captions().first(), QStringLiteral("Upload File(s)"));
    // Drops: a file and a folder, no box; one made while the window works waits for it.
    const int asked = static_cast<int>(script.Records().size());
    window.frame.DropFiles({window.Local("f1.txt"), window.Local("pub/one")});
    QCOMPARE(server.ReadFile("incoming/f1.txt"), std::string("one"));
    QCOMPARE(server.ReadFile("incoming/one/b.bin"), std::string(70000, 'b'));
    QCOMPARE(static_cast<int>(script.Records().size()), asked);
    window.frame.SetBusy(true);
    window.frame.DropFiles({window.Local("f2.bin")});
    QCOMPARE(window.layer->Drops().Kept().size(), 1);
    QCOMPARE(window.Session().QueueLength(), std::size_t{0});
    window.frame.SetBusy(false);
    QTRY_COMPARE_WITH_TIMEOUT(server.ReadFile("incoming/f2.bin"), std::string("two"), 10000);
  }

  void cancelPolicies_data() {
    QTest::addColumn<bool>("upload");
    QTest::addColumn<bool>("rememberedCancel");
    QTest::addColumn<bool>("rememberedNever");
    QTest::addColumn<int>("answer");  // -1: not asked, 0: No + never ticked, 1: Yes + always ticked
    QTest::addColumn<bool>("cleared");
    QTest::newRow("download, remembered Cancel") << false << true << false << -1 << true;
    QTest::newRow("download, Yes and always") << false << false << false << 1 << true;
    QTest::newRow("upload, remembered NeverCancel") << true << false << true << -1 << false;
    QTest::newRow("upload, No and never") << true << false << false << 0 << false;
  }

  void cancelPolicies() {
    QFETCH(bool, upload);
    QFETCH(bool, rememberedCancel);
    QFETCH(bool, rememberedNever);
    QFETCH(int, answer);
    QFETCH(bool, cleared);
    PyFtpServer server;
    FillTree(server);
    Window window;
    window.Connect(server);
    window.frame.Prefs().Cancel = rememberedCancel;
    window.frame.Prefs().NeverCancel = rememberedNever;
    if (upload) {
      fs::copy(server.Root() / "pub", window.local.Path() / "tree", fs::copy_options::recursive);
      fs::create_directory(server.Root() / "target");
      window.layer->Navigator().GoToDirectory(QStringLiteral("/target"));
    }
    PromptScript script;
    script.AnswerPath(PromptKind::Folder, window.Local(upload ? "tree" : "")).WhileShown(CancelOnceQueued(window));
    if (answer >= 0) script.AnswerDialog([answer](QDialog& dialog) {
      auto& question = static_cast<CRememberedQuestionDlg&>(dialog);
      (answer ? question.AlwaysBox() : question.NeverBox())->click();
      answer ? question.accept() : question.reject();
    });
    window.Select({"pub"});
    window.frame.ExecuteCommand(upload ? ID_UPLOAD_DIRECTORY : ID_DOWNLOAD);
    QVERIFY(script.Unexpected().isEmpty() && script.Pending() == 0);
    std::size_t moved = 0;
    for (const auto& [path, content] : Tree(upload ? server.Root() / "target" : window.local.Path()))
      moved += content != "/";
    QCOMPARE(moved == 0, cleared);
    QVERIFY(moved < 4);
    QCOMPARE(window.Session().QueueLength(), std::size_t{0});
    QCOMPARE(window.frame.Prefs().Cancel, rememberedCancel || answer == 1);
    QCOMPARE(window.frame.Prefs().NeverCancel, rememberedNever || answer == 0);
    QCOMPARE(window.Session().AlwaysCancelQueue(), answer == 1);
  }

  void newConnectionQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("ticked");  // 0 none, 1 always, 2 never
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("storedNoNewConn");
    QTest::newRow("Yes: a second connection, nothing stored") << true << 0 << true << false;
    QTest::newRow("Yes with never: the main one, remembered") << true << 2 << false << true;
    QTest::newRow("No with always: the main one, nothing stored") << false << 1 << false << false;
  }

  void newConnectionQuestion() {
    QFETCH(bool, yes);
    QFETCH(int, ticked);
    QFETCH(bool, background);
    QFETCH(bool, storedNoNewConn);
    test::PyFtpServerOptions slow;
    slow.throttleBytesPerSecond = 256 * 1024;
    PyFtpServer server(slow);
    const std::string big(512 * 1024, 'z');
    server.WriteFile("big.bin", big);
    server.WriteFile("pub/inside.txt", "i");
    Window window;
    window.Connect(server);
    window.frame.Prefs().NoNewConn = false;
    std::ofstream(window.local.Path() / "dropped.txt") << "d";
    PromptScript script;
    script.AnswerPath(PromptKind::SaveFile, window.Local("big.bin")).AnswerDialog([&](QDialog& dialog) {
      auto& question = static_cast<CRememberedQuestionDlg&>(dialog);
      if (ticked) (ticked == 1 ? question.AlwaysBox() : question.NeverBox())->click();
      yes ? question.accept() : question.reject();
    });
    if (background) script.RejectDialog();  // the dropped file's run: on the main connection
    window.Select({"big.bin"});
    window.frame.ExecuteCommand(ID_DOWNLOAD);
    QCOMPARE(script.Records().at(1).caption, QStringLiteral("Establish a new connection"));
    QCOMPARE(window.Session().IsTransferConnected(), background);
    if (background) {
      // The main connection is free: browse, and drop a file for the next run.
      window.layer->Navigator().GoToDirectory(QStringLiteral("/pub"));
      QCOMPARE(window.layer->Rows().RowOf("inside.txt"), 0);
      window.frame.DropFiles({window.Local("dropped.txt")});
      QCOMPARE(window.Session().QueueLength(), std::size_t{0});
      QVERIFY(window.Session().IsTransferConnected());
      QTRY_VERIFY_WITH_TIMEOUT(server.ReadFile("pub/dropped.txt") == "d", 20000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(window.RunEnded(), 20000);
    QCOMPARE(Read(window.Local("big.bin")), big);
    QCOMPARE(window.frame.Prefs().NoNewConn, storedNoNewConn);
    QVERIFY(!window.frame.Prefs().NewConn);
  }

  void transferWindowFigures_data() {
    QTest::addColumn<QList<qulonglong>>("counters");  // file done, file size, run done, run total, seconds
    QTest::addColumn<QList<int>>("bars");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("timeLeft");
    QTest::newRow("nothing moved yet: no time, only what was copied")
        << QList<qulonglong>{0, 1000, 0, 5000, 3} << QList<int>{0, 0} << "0.00 KB/sec"
        << "   (0 KB copied)\n   (0 KB copied)";
    QTest::newRow("20480 bytes in 10 s; minutes")
        << QList<qulonglong>{20480, 20480, 20480, 188975, 10} << QList<int>{99, 10} << "1.82 KB/sec"
        << "00 sec   (20 KB copied)\n01 min 30 sec   (20 KB copied)";
    QTest::newRow("a complete 10-byte file at 90; 1536 bytes are 1 KB")
        << QList<qulonglong>{10, 10, 1536, 1536, 0} << QList<int>{90, 99} << "1.50 KB/sec"
        << "00 sec   (0 KB copied)\n00 sec   (1 KB copied)";
    QTest::newRow("hours; seconds") << QList<qulonglong>{43008, 11409408, 103424, 146432, 100} << QList<int>{0, 70}
                                    << "1.00 KB/sec" << "03 hr 05 min 00 sec   (42 KB copied)\n42 sec   (101 KB copied)";
    QTest::newRow("over 4 GiB") << QList<qulonglong>{5ull << 30, 6ull << 30, 5ull << 30, 12ull << 30, 1023}
                                << QList<int>{83, 41} << "5120.00 KB/sec"
                                << "03 min 24 sec   (5242880 KB copied)\n23 min 53 sec   (5242880 KB copied)";
  }

  void transferWindowFigures() {
    QFETCH(QList<qulonglong>, counters);
    QFETCH(QList<int>, bars);
    auto progress = std::make_shared<TransferProgress>();
    progress->FileDone = counters[0];
    progress->FileSize = counters[1];
    progress->TotalDone = counters[2];
    progress->TotalBytes = counters[3];
    CFileTransferDlg window(progress, nullptr);
    window.ShowFigures(static_cast<int64_t>(counters[4]));
    auto text = [&](const char* name) { return window.findChild<QLabel*>(QLatin1String(name))->text(); };
    QCOMPARE(window.findChild<QProgressBar*>(QStringLiteral("progress1026"))->value(), bars[0]);
    QCOMPARE(window.findChild<QProgressBar*>(QStringLiteral("progress1027"))->value(), bars[1]);
    QTEST(text("static1072"), "rate");
    QTEST(text("static1031"), "timeLeft");
    QCOMPARE(window.windowTitle(), QStringLiteral("VeltrimFTP File Transfer"));
    QStringList labels;
    for (const QLabel* label : window.findChildren<QLabel*>())
      if (label->objectName().isEmpty()) labels << label->text();
    QCOMPARE(labels, (QStringList{"Transferring:", "Estimated time left:", "Transfer to:", "Transfer Rate:"}));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("button1021"))->click();
    QVERIFY(progress->Cancelled && window.isVisible());  // the worker closes it
  }

  void hostileListingStaysInsideTheChosenFolder() {
    test::PyFtpServerOptions options;
    options.hostile = true;
    PyFtpServer server(options);
    server.WriteFile("evil/fine.txt", "fine");
    Window window;
    window.Connect(server);
    fs::create_directory(window.local.Path() / "into");
    PromptScript script;
    script.AnswerPath(PromptKind::Folder, window.Local("into"));
    window.Select({"evil"});  // its listing names "../x", "/tmp/x", "..", ... beside fine.txt
    window.frame.ExecuteCommand(ID_DOWNLOAD);
    QCOMPARE(Tree(window.local.Path()),
             (std::map<std::string, std::string>{{"into", "/"}, {"into/evil", "/"}, {"into/evil/fine.txt", "fine"}}));
    for (const char* name : {"veltrim-escape-4.txt", "veltrim-escape-dir2"}) QVERIFY(!fs::exists(fs::path("/tmp") / name));
  }

  void busyWindowStartsNoTransferCommand() {
    PyFtpServer server;
    Window window;
    window.Connect(server);
    PromptScript script;
    window.frame.SetBusy(true);
    window.layer->Downloads().OnDownloadFiles();
    window.layer->Downloads().OnDownloadDirectory();
    window.layer->Uploads().OnUploadFiles();
    window.layer->Uploads().OnUploadDirectory();
    QVERIFY(script.Records().empty());
    window.frame.SetBusy(false);
  }
};

QTEST_MAIN(TransferCommandsTest)
#include "transfer_commands_test.moc"
