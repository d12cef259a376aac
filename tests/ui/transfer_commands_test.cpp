// Moving files from the main window against a real FTP server: downloads from
// the list's rows (a hostile listing among them), uploads, dropped files, the
// cancel and new-connection questions, and the File Transfer window's figures.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <fstream>
#include <map>

#include "helpers/browse_window.h"
#include "helpers/prompt_script.h"
#include "ui/dialogs/remembered_question_dlg.h"
#include "ui/ftp/download_commands.h"
#include "ui/ftp/dropped_files.h"
#include "ui/ftp/file_transfer_dlg.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/ftp/upload_commands.h"
#include "ui/shared/command_ids.h"

using namespace veltrim;
using namespace veltrim::ui;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using veltrim::test::PyFtpServer;
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

namespace {

// Every file and folder under root: relative path -> content ("/" for a folder).
Files Tree(const fs::path& root) {
  Files tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    std::ifstream in(item.path(), std::ios::binary);
    tree[fs::relative(item.path(), root).string()] =
        item.is_directory() ? "/" : std::string(std::istreambuf_iterator<char>(in), {});
  }
  return tree;
}

// The main window with a local folder of its own, in binary (copies are
// byte for byte) and asking no new-connection question unless a test does.
struct Window : test::BrowseWindow {
  test::TempDir local;

  void Connect(const PyFtpServer& server) {
    ServerSettings profile = test::ProfileFor(server);
    profile.LocalDir = local.Path().string();
    frame.Prefs().Auto = false;
    frame.Prefs().NoNewConn = true;
    BrowseWindow::Connect(profile);
    QVERIFY(frame.Connected());
  }
  CFtpSession& Session() const { return *controller->Session(); }
  QString Local(const char* relative) const { return QString::fromStdString((local.Path() / relative).string()); }
};

void FillTree(const fs::path& top) {
  for (const auto& [path, content] : Files{{"a.txt", "alpha\r\n"}, {"one/b.bin", std::string(70000, 'b')},
                                           {"two/deep/c.bin", "c"}, {"three/d.txt", "d"}}) {
    fs::create_directories((top / path).parent_path());
    std::ofstream(top / path, std::ios::binary) << content;
  }
}

}  // namespace

class TransferCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void downloadsFromTheList() {
    test::PyFtpServerOptions hostile;
    hostile.hostile = true;  // the listing of "evil" names "../x", "/tmp/x", "..", ...
    PyFtpServer server(hostile);
    FillTree(server.Root() / "pub");
    server.WriteFile("x.bin", std::string(5000, 'x'));
    server.WriteFile("evil/fine.txt", "fine");
    Window window;
    window.Connect(server);
    PromptScript script;
    script.AnswerPath(PromptKind::SaveFile, window.Local("saved.bin")).AnswerPath(PromptKind::Folder, window.Local(""));
    window.Select({"x.bin"});  // a double-click on a file: the Save dialog
    emit window.frame.View()->DetailsView()->doubleClicked(window.layer->Rows().index(window.layer->Rows().RowOf("x.bin"), 0));
    QCOMPARE(script.Records().at(0).initial, window.Local("x.bin"));
    window.Select({"pub", "x.bin", "evil"});  // several rows, folders among them: one folder for all
    window.frame.ExecuteCommand(ID_DOWNLOAD);
    QCOMPARE(script.Captions().mid(0, 3), (QStringList{"Download File", "Choose a directory to place all downloaded files",
                                                       "Adding files to Queue"}));
    Files expected{{"saved.bin", std::string(5000, 'x')}, {"x.bin", std::string(5000, 'x')}, {"pub", "/"},
                   {"evil", "/"}, {"evil/fine.txt", "fine"}};
    for (const auto& [path, content] : Tree(server.Root() / "pub")) expected["pub/" + path] = content;
    QCOMPARE(Tree(window.local.Path()), expected);
    QVERIFY(!fs::exists("/tmp/veltrim-escape-4.txt"));
    window.layer->Navigator().OnRefresh();  // the walks' last directory is not the one on display
    QVERIFY(window.layer->Rows().RowOf("x.bin") >= 0);
  }

  void uploadsAndDrops() {
    PyFtpServer server;
    server.WriteFile("incoming/keep.txt", "k");
    Window window;
    window.Connect(server);
    FillTree(window.local.Path() / "pub");
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
    // Drops: a file and a folder, without a box.
    const auto asked = script.Records().size();
    window.frame.DropFiles({window.Local("f1.txt"), window.Local("pub/one")});
    QCOMPARE(server.ReadFile("incoming/f1.txt") + server.ReadFile("incoming/one/b.bin"), "one" + std::string(70000, 'b'));
    // While the window works: commands do nothing, a drop waits for the end.
    window.frame.SetBusy(true);
    window.layer->Downloads().OnDownloadFiles();
    window.layer->Downloads().OnDownloadDirectory();
    window.layer->Uploads().OnUploadFiles();
    window.layer->Uploads().OnUploadDirectory();
    window.frame.DropFiles({window.Local("f2.bin")});
    QCOMPARE(script.Records().size(), asked);
    QCOMPARE(window.layer->Drops().Kept().size(), 1);
    QCOMPARE(window.Session().QueueLength(), std::size_t{0});
    window.frame.SetBusy(false);
    QTRY_COMPARE_WITH_TIMEOUT(server.ReadFile("incoming/f2.bin"), std::string("two"), 10000);
  }

  void cancelPolicies_data() {
    QTest::addColumn<bool>("upload");
    QTest::addColumn<int>("remembered");  // 0 none, 1 "Cancel", 2 "NeverCancel"
    QTest::addColumn<int>("answer");      // -1 not asked, 0 No with never ticked, 1 Yes with always ticked
    QTest::newRow("download, remembered Cancel") << false << 1 << -1;
    QTest::newRow("download, Yes and always") << false << 0 << 1;
    QTest::newRow("upload, remembered NeverCancel") << true << 2 << -1;
    QTest::newRow("upload, No and never") << true << 0 << 0;
  }

  void cancelPolicies() {
    QFETCH(bool, upload);
    QFETCH(int, remembered);
    QFETCH(int, answer);
    PyFtpServer server;
    FillTree(server.Root() / "pub");
    Window window;
    window.Connect(server);
    window.frame.Prefs().Cancel = remembered == 1;
    window.frame.Prefs().NeverCancel = remembered == 2;
    if (upload) FillTree(window.local.Path() / "tree");
    PromptScript script;
    script.AnswerPath(PromptKind::Folder, window.Local(upload ? "tree" : "")).WhileShown([&](QDialog& box) {
      if (window.Session().QueueLength() > 0) box.findChild<QPushButton*>(QStringLiteral("button1003"))->click();
      return window.Session().QueueLength() > 0;  // Cancel once something is queued
    });
    if (answer >= 0) script.AnswerDialog([answer](QDialog& dialog) {
      auto& question = static_cast<CRememberedQuestionDlg&>(dialog);
      (answer ? question.AlwaysBox() : question.NeverBox())->click();
      answer ? question.accept() : question.reject();
    });
    window.Select({"pub"});
    window.frame.ExecuteCommand(upload ? ID_UPLOAD_DIRECTORY : ID_DOWNLOAD);
    QVERIFY(script.Unexpected().isEmpty() && script.Pending() == 0);
    std::size_t moved = 0;
    for (const auto& [path, content] : Tree(upload ? server.Root() / "tree" : window.local.Path())) moved += content != "/";
    const bool cleared = remembered == 1 || answer == 1;
    QVERIFY(cleared ? moved == 0 : moved > 0 && moved < 4);
    QCOMPARE(window.frame.Prefs().Cancel, cleared);
    QCOMPARE(window.frame.Prefs().NeverCancel, !cleared);
    QCOMPARE(window.Session().AlwaysCancelQueue(), answer == 1);
  }

  void newConnectionQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("ticked");  // 0 none, 1 always, 2 never
    QTest::addColumn<bool>("background");
    QTest::newRow("Yes: a second connection, nothing stored") << true << 0 << true;
    QTest::newRow("Yes with always: a second connection, remembered") << true << 1 << true;
    QTest::newRow("Yes with never: the main one, remembered") << true << 2 << false;
    QTest::newRow("No with always: the main one, nothing stored") << false << 1 << false;
  }

  void newConnectionQuestion() {
    QFETCH(bool, yes);
    QFETCH(int, ticked);
    QFETCH(bool, background);
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
    if (background) script.RejectDialog();  // the dropped file's own run: on the main connection
    window.Select({"big.bin"});
    window.frame.ExecuteCommand(ID_DOWNLOAD);
    QCOMPARE(script.Captions().at(1), QStringLiteral("Establish a new connection"));
    QCOMPARE(window.Session().IsTransferConnected(), background);
    if (background) {
      // The main connection is free: browse, and drop a file, which waits for the next run.
      window.layer->Navigator().GoToDirectory(QStringLiteral("/pub"));
      QCOMPARE(window.layer->Rows().RowOf("inside.txt"), 0);
      window.frame.DropFiles({window.Local("dropped.txt")});
      QCOMPARE(window.layer->Drops().Kept().size(), 1);  // not into the queue the run is walking
      QTRY_VERIFY_WITH_TIMEOUT(server.ReadFile("pub/dropped.txt") == "d", 20000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!window.Session().IsTransferConnected() && !window.layer->Controller().Host().TransferWindow(), 20000);
    QCOMPARE(Tree(window.local.Path())["big.bin"], big);
    QCOMPARE(window.frame.Prefs().NoNewConn, ticked == 2);
    QCOMPARE(window.frame.Prefs().NewConn, yes && ticked == 1);
  }

  void transferWindowFigures_data() {
    // file done, file size, run done, run total, elapsed seconds, file bar, run bar
    QTest::addColumn<QList<qulonglong>>("figures");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("timeLeft");
    QTest::newRow("nothing moved yet: no time, only what was copied")
        << QList<qulonglong>{0, 1000, 0, 5000, 3, 0, 0} << "0.00 KB/sec" << "   (0 KB copied)\n   (0 KB copied)";
    QTest::newRow("20480 bytes in 10 s; minutes") << QList<qulonglong>{20480, 20480, 20480, 188975, 10, 99, 10}
                                                  << "1.82 KB/sec" << "00 sec   (20 KB copied)\n01 min 30 sec   (20 KB copied)";
    QTest::newRow("a whole 10-byte file at 90; 1536 bytes are 1 KB") << QList<qulonglong>{10, 10, 1536, 1536, 0, 90, 99}
                                                                     << "1.50 KB/sec" << "00 sec   (0 KB copied)\n00 sec   (1 KB copied)";
    QTest::newRow("hours; seconds") << QList<qulonglong>{43008, 11409408, 103424, 146432, 100, 0, 70} << "1.00 KB/sec"
                                    << "03 hr 05 min 00 sec   (42 KB copied)\n42 sec   (101 KB copied)";
    QTest::newRow("over 4 GiB") << QList<qulonglong>{5ull << 30, 6ull << 30, 5ull << 30, 12ull << 30, 1023, 83, 41}
                                << "5120.00 KB/sec" << "03 min 24 sec   (5242880 KB copied)\n23 min 53 sec   (5242880 KB copied)";
  }

  void transferWindowFigures() {
    QFETCH(QList<qulonglong>, figures);
    auto progress = std::make_shared<TransferProgress>();
    progress->FileDone = figures[0];
    progress->FileSize = figures[1];
    progress->TotalDone = figures[2];
    progress->TotalBytes = figures[3];
    CFileTransferDlg window(progress, nullptr);
    window.ShowFigures(static_cast<int64_t>(figures[4]));
    QCOMPARE(window.findChild<QProgressBar*>(QStringLiteral("progress1026"))->value(), static_cast<int>(figures[5]));
    QCOMPARE(window.findChild<QProgressBar*>(QStringLiteral("progress1027"))->value(), static_cast<int>(figures[6]));
    QTEST(window.findChild<QLabel*>(QStringLiteral("static1072"))->text(), "rate");
    QTEST(window.findChild<QLabel*>(QStringLiteral("static1031"))->text(), "timeLeft");
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("button1021"))->click();
    QVERIFY(progress->Cancelled && window.isVisible());  // the worker closes it when it has stopped
  }
};

QTEST_MAIN(TransferCommandsTest)
#include "transfer_commands_test.moc"
