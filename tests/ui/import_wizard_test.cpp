// The Import wizard: the conversion of an older profile through the window
// down to the opened document.

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "core/profile/profile_file.h"
#include "helpers/prompt_script.h"
#include "support/local_files.h"
#include "helpers/temporary_settings_store.h"
#include "ui/app/main_frame.h"
#include "ui/profile/file_tree_ctrl.h"
#include "ui/profile/import_wizard_dlg.h"
#include "ui/profile/import_wizard_pages.h"
#include "ui/shared/command_ids.h"

using namespace veltrim;
using namespace veltrim::ui;
using veltrim::test::PromptScript;

namespace {

QByteArray Text(const char* text) { return QByteArray(1, static_cast<char>(qstrlen(text))) + text; }

QByteArray Int32(int value) {
  QByteArray bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes.append(static_cast<char>((value >> shift) & 0xff));
  return bytes;
}

// An older profile: a dropped string, Name, Hostname, RemoteDir, LocalDir,
// Username, Password; Port, Anonymous, SavePassword, ConnectOnOpen.
const QByteArray kOldStrings =
    Text("old") + Text("Mirror") + Text("ftp.example.org") + Text("/pub") + Text("/tmp") + Text("me") + Text("pw");
const QByteArray kOldProfile = kOldStrings + Int32(2121) + Int32(0) + Int32(1) + Int32(0);

QByteArray ReadFile(const QString& path) { return QByteArray::fromStdString(test::ReadLocal(path.toStdString())); }

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  test::WriteLocal(path.toStdString(), bytes.toStdString());
  return path;
}

// The window with its document, past the start-up reset.
struct Window {
  CVeltrimFTPDoc doc;
  CMainFrame frame{&doc};
  Window() { doc.OnNewDocument(); }
};

// Chooses path in the wizard, goes to the last page and presses Convert.
std::function<void(QDialog&)> Convert(const QString& path, std::function<void(CImportWizardDlg&)> after = {}) {
  return [=](QDialog& dialog) {
    auto& wizard = dynamic_cast<CImportWizardDlg&>(dialog);
    wizard.FilePage().Tree().OpenPath(path);
    for (int press = 0; press < 3; ++press) wizard.NextButton()->click();
    if (after) after(wizard);
  };
}

}  // namespace

class ImportWizardTest : public QObject {
  Q_OBJECT
  std::unique_ptr<veltrim::test::TemporarySettingsStore> store_;

 private slots:
  // The frame keeps its recent files in the settings store.
  void init() { store_ = std::make_unique<veltrim::test::TemporarySettingsStore>(); }

  // An older profile is converted and opened, a current one only opened; an
  // invalid one is reported, the wizard goes back to the file page, and
  // nothing is written.
  void conversionOutcomes() {
    ServerSettings current;
    current.Name = "Current";
    current.ConnectOnOpen = false;
    const QByteArray currentBytes = QByteArray::fromStdString(EncodeProfile(current));
    const struct {
      QByteArray bytes;
      const char* title;  // of the document afterwards
      bool backup;
    } rows[] = {{kOldProfile, "Mirror", true}, {currentBytes, "Current", false}, {kOldStrings, "Not Connected", false}};
    for (const auto& row : rows) {
      QTemporaryDir dir;
      const QString path = WriteFile(dir, "home.ftp", row.bytes);
      const bool invalid = row.bytes == kOldStrings;
      Window window;
      PromptScript script;
      int pageAfter = -1;
      int progressAfter = -1;
      script.AnswerDialog(Convert(path, [&](CImportWizardDlg& wizard) {
        pageAfter = wizard.CurrentPage();
        progressAfter = wizard.ProgressPage().Progress().value();
      }));
      if (invalid) script.Answer(QMessageBox::Ok);
      window.frame.ExecuteCommand(ID_IMPORT_SERVER);
      QVERIFY(script.Unexpected().isEmpty());
      QCOMPARE(window.doc.Title(), QString::fromLatin1(row.title));
      QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("home.old"))), row.backup);
      if (row.backup) {
        QCOMPARE(ReadFile(dir.filePath(QStringLiteral("home.old"))), kOldProfile);
        QCOMPARE(window.doc.Profile().Reserved, 5);
      } else {
        QCOMPARE(ReadFile(path), row.bytes);
      }
      if (invalid) {
        const auto& box = script.Records().at(1);
        QCOMPARE(box.caption, QStringLiteral("Error Converting"));
        QCOMPARE(box.text, QStringLiteral("This is an invalid file format and can not be converted into "
                                          "VeltrimFTP Server Settings."));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(pageAfter, CImportWizardDlg::kFilePage);
        QCOMPARE(progressAfter, 0);
      } else {
        QCOMPARE(window.doc.PathName(), path);
        QCOMPARE(window.frame.RecentFiles().Paths().value(0), path);
      }
    }
  }
};

QTEST_MAIN(ImportWizardTest)
#include "import_wizard_test.moc"
