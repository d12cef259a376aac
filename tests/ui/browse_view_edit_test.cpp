// View and Edit with local programs, and File Information from the
// directory's "00_index.txt", against a real FTP server on 127.0.0.1.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "helpers/browse_window.h"
#include "helpers/prompt_script.h"
#include "ui/ftp/file_information.h"
#include "ui/ftp/local_programs.h"
#include "ui/ftp/view_edit_commands.h"
#include "ui/shared/command_ids.h"

using namespace veltrim;
using namespace veltrim::test;

namespace {

// Stands in for the desktop's programs: records what it was asked to open
// and, like a user in an editor, appends a line to the copy.
class EditingPrograms final : public ui::LocalPrograms {
 public:
  QStringList opened;  // "editor: path" or "associated: path"

  bool OpenInTextEditor(const QString& path) override { return Edit(QStringLiteral("editor"), path); }
  bool OpenWithAssociatedProgram(const QString& path) override { return Edit(QStringLiteral("associated"), path); }

 private:
  bool Edit(const QString& how, const QString& path) {
    opened << how + QStringLiteral(": ") + path;
    QFile copy(path);
    return copy.open(QIODevice::Append) && copy.write("edited\n") == 7;
  }
};

}  // namespace

class BrowseViewEditTest : public QObject {
  Q_OBJECT
 private slots:
  void editSendsTheChangedCopyBack_data() {
    QTest::addColumn<bool>("associated");
    QTest::newRow("plain-text editor") << false;
    QTest::newRow("associated program") << true;
  }

  void editSendsTheChangedCopyBack() {
    QFETCH(bool, associated);
    PyFtpServer server;
    server.WriteFile("notes.txt", "line one\n");
    EditingPrograms programs;
    ui::ScopedLocalPrograms scope(programs);
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    window.Select({"notes.txt"});
    window.frame.UpdateCommandUI();
    QVERIFY(window.frame.Action(ui::ID_EDIT_ASSOCIATED)->isEnabled());

    PromptScript script;
    script.AcceptDialog();  // "Edit File": Update
    window.layer->ViewEdit().OnEdit(associated);
    QCOMPARE(script.Captions(), QStringList{"Edit File"});
    QCOMPARE(server.ReadFile("notes.txt"), std::string("line one\nedited\n"));
    QCOMPARE(programs.opened.size(), 1);
    QVERIFY(programs.opened.at(0).startsWith(associated ? "associated: " : "editor: "));
    const QFileInfo copy(programs.opened.at(0).section(QStringLiteral(": "), 1));
    QCOMPARE(copy.fileName(), QStringLiteral("notes.txt"));
    QCOMPARE(std::filesystem::status(copy.absolutePath().toStdString()).permissions() & std::filesystem::perms::all,
             std::filesystem::perms::owner_all);

    // Gone from the server: the old copy stays closed, and Update (which
    // would send it over the file) is never offered.
    std::filesystem::remove(server.Root() / "notes.txt");
    PromptScript failed;
    failed.Answer(QMessageBox::Ok).Answer(QMessageBox::Ok);  // the transfer's error boxes
    window.layer->ViewEdit().OnEdit(associated);
    QCOMPARE(failed.Captions(), (QStringList{"Error", "Error"}));
    QCOMPARE(programs.opened.size(), 1);
    QVERIFY(!std::filesystem::exists(server.Root() / "notes.txt"));
  }

  void fileInformation_data() {
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing selected: the first entry") << "" << "File Information [Invalid Selection]"
                                                        << "00_index.txt   This file.";
    QTest::newRow("a match, in any case") << "Notes.TXT" << "File Information [notes.txt]"
                                          << "notes.txt      Notes here.";
    QTest::newRow("the last line, without a line end") << "last.bin" << "File Information [last.bin]"
                                                      << "last.bin       The last one.";
    QTest::newRow("no match") << "data.bin" << "File Information [data.bin]"
                              << "We could not find any information specific to this filename in the 00_index.txt file";
  }

  void fileInformation() {
    QFETCH(QString, selected);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    PyFtpServer server;
    server.WriteFile("00_index.txt",
                     "00_index.txt   This file.\r\nnotes.txt      Notes here.\nlast.bin       The last one.");
    for (const char* name : {"Notes.TXT", "last.bin", "data.bin"}) server.WriteFile(name, "x");
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    window.selection.clearSelection();
    if (!selected.isEmpty()) window.Select({selected});
    PromptScript script;
    script.Answer(QMessageBox::Ok).Answer(QMessageBox::Ok).Answer(QMessageBox::Ok);
    window.layer->Information().OnFileInformation();
    window.layer->Information().OnFileInformation();
    QCOMPARE(script.Captions(), QStringList({caption, caption}));
    QCOMPARE(script.Texts().at(0), text);
    // Fetched once per listing display.
    const QString fetch = QStringLiteral("Retrieving /00_index.txt");
    QCOMPARE(window.Log().count(fetch), 1);
    window.navigator->OnRefresh();
    window.layer->Information().OnFileInformation();
    QCOMPARE(window.Log().count(fetch), 2);
  }
};

int main(int argc, char** argv) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  QTemporaryDir runtime;  // the copies go here, and with it
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  BrowseViewEditTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "browse_view_edit_test.moc"
