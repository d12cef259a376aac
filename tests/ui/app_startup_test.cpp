// Start-up and exit of the whole program: the first activation with an
// empty or filled settings store, the welcome dialog, a profile on the
// command line, and what the exit leaves in the store.

#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/profile/profile_file.h"
#include "helpers/prompt_script.h"
#include "helpers/temporary_settings_store.h"
#include "ui/shared/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/app/settings_store.h"
#include "ui/app/veltrim_ftp_app.h"
#include "ui/app/welcome_dlg.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/views/remote_list_view.h"

using veltrim::ServerSettings;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using namespace veltrim::ui;

namespace {

const QStringList kQuietStart{QStringLiteral("veltrimftp"), QStringLiteral("--no-splash")};

// Clicks one of the welcome dialog's buttons, ticking "Do not show this box
// again" first when asked to.
std::function<void(QDialog&)> Welcome(int choice, bool dontShowAgain) {
  return [=](QDialog& dialog) {
    auto& welcome = dynamic_cast<CWelcomeDlg&>(dialog);
    if (dontShowAgain) welcome.DontShowAgainBox()->click();
    if (choice == CWelcomeDlg::kChoiceNew) welcome.NewButton()->click();
    if (choice == CWelcomeDlg::kChoiceExisting) welcome.ExistingButton()->click();
    if (choice == CWelcomeDlg::kChoiceNone) welcome.close();  // the window's close button
  };
}

ServerSettings Profile(bool connectOnOpen) {
  ServerSettings s;
  s.Name = "Archive";
  s.Hostname = "ftp.example.net";
  s.Username = "reader";
  s.Retries = 2;
  s.Timeout = 30;
  s.Port = 21;
  s.ConnectOnOpen = connectOnOpen;
  return s;
}

}  // namespace

class AppStartupTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<veltrim::test::TemporarySettingsStore> store_;
  std::unique_ptr<QTemporaryDir> files_;

  QString StoreFile() const { return OpenSettingsStore()->fileName(); }

 private slots:
  void init() {
    store_ = std::make_unique<veltrim::test::TemporarySettingsStore>();
    files_ = std::make_unique<QTemporaryDir>();
  }

  // The welcome dialog greets a fresh install; "Do not show this box again"
  // is stored even when it is closed with the close button.
  void emptyStoreGreetsWithDefaults() {
    {
      PromptScript script;
      script.AnswerDialog(Welcome(CWelcomeDlg::kChoiceNone, true));
      CVeltrimFTPApp app(kQuietStart);
      QVERIFY(app.InitInstance());
      CMainFrame* frame = app.MainFrame();
      QCOMPARE(script.Captions(), QStringList{"Welcome to VeltrimFTP"});
      QVERIFY(script.Unexpected().isEmpty());
      // The other defaults are what a damaged store falls back to (the preferences test).
      QCOMPARE(frame->pos(), QPoint(10, 10));
      QCOMPARE(frame->View()->ColumnWidth(1), 40);
      QVERIFY(frame->Prefs().Autologin);
      QVERIFY(!frame->Prefs().ShowIntro);
      QVERIFY(!frame->ProfilePresent());
      QCOMPARE(frame->windowTitle(), QStringLiteral("Not Connected - VeltrimFTP"));
      QVERIFY(frame->close());
    }
    QCOMPARE(OpenSettingsStore()->value("Settings/ShowIntro").toInt(), 0);
    PromptScript script;
    CVeltrimFTPApp app(kQuietStart);
    QVERIFY(app.InitInstance());
    QVERIFY(script.Records().empty());
  }

  // New asks for a profile, Existing for a file: posted, not run at once.
  void welcomeChoicePostsItsCommand() {
    for (const auto& [choice, kind] : {std::pair{CWelcomeDlg::kChoiceNew, PromptKind::Dialog},
                                      std::pair{CWelcomeDlg::kChoiceExisting, PromptKind::OpenFile}}) {
      PromptScript script;
      script.AnswerDialog(Welcome(choice, false));
      if (kind == PromptKind::Dialog) script.RejectDialog();
      else script.AnswerPath(PromptKind::OpenFile, QString());
      CVeltrimFTPApp app(kQuietStart);
      QVERIFY(app.InitInstance());
      QCOMPARE(script.Records().size(), size_t(1));
      QTRY_COMPARE(script.Records().size(), size_t(2));
      QCOMPARE(script.Records()[1].kind, kind);
      QVERIFY(script.Unexpected().isEmpty());
    }
  }

  // Autologin on connects though the profile says not to; off, the welcome
  // dialog greets and the profile waits. Either way it is the first recent
  // profile, and the "Recent Servers" menu opens it again.
  void commandLineProfile() {
    for (const int autologin : {1, 0}) {
      init();
      const QString path = files_->filePath("archive.ftp");
      veltrim::SaveProfileFile(path.toStdString(), Profile(/*connectOnOpen=*/false));
      OpenSettingsStore()->setValue("Settings/Autologin", autologin);
      PromptScript script;
      if (!autologin) script.RejectDialog();  // the welcome dialog
      CVeltrimFTPApp app({"veltrimftp", "--no-splash", path});
      QVERIFY(app.InitInstance());
      CMainFrame* frame = app.MainFrame();
      int connectRuns = 0;
      frame->SetCommandHandler(ID_CONNECT, [&] { ++connectRuns; });
      QTest::qWait(50);
      QCOMPARE(connectRuns, autologin);
      QCOMPARE(frame->ProfilePresent(), autologin == 1);
      QVERIFY(app.Document()->LoadedFromFile());
      QCOMPARE(app.Document()->Profile().Name, std::string("Archive"));
      QCOMPARE(frame->RecentFiles().Paths(), QStringList{path});
      QVERIFY(script.Unexpected().isEmpty());
      QCOMPARE(script.Pending(), 0);
      if (autologin) continue;
      ServerSettings renamed = Profile(false);
      renamed.Name = "Renamed";
      veltrim::SaveProfileFile(path.toStdString(), renamed);
      QAction* recent = nullptr;
      for (QAction* menu : frame->menuBar()->actions())
        for (QAction* item : menu->menu() ? menu->menu()->actions() : QList<QAction*>{})
          if (item->menu() && item->text() == QStringLiteral("&Recent Servers")) recent = item->menu()->actions().value(0);
      QVERIFY(recent != nullptr);
      QCOMPARE(recent->text(), QStringLiteral("&1 ") + path);
      recent->trigger();
      QCOMPARE(QString::fromStdString(frame->ActiveProfile().Name), QStringLiteral("Renamed"));
    }
  }

  void missingCommandLineProfileEndsStartUp() {
    PromptScript script;
    script.Answer(QMessageBox::Ok);  // whatever the document says about it
    CVeltrimFTPApp app({"veltrimftp", "--no-splash", files_->filePath("absent.ftp")});
    QVERIFY(!app.InitInstance());
  }

  // A fresh install's exit writes the preferences, the extensions and the
  // placement (the key names are the settings code's own).
  void exitWritesTheStoredValues() {
    {
      PromptScript script;
      script.RejectDialog();
      CVeltrimFTPApp app(kQuietStart);
      QVERIFY(app.InitInstance());
      QVERIFY(app.MainFrame()->close());
    }
    QSettings store(StoreFile(), QSettings::IniFormat);
    store.beginGroup("Settings");
    QCOMPARE(store.childKeys().size(), 18);
    store.endGroup();
    QCOMPARE(store.value("Extensions/Count").toInt(), 6);
    QCOMPARE(store.value("WindowPos/Left").toInt(), 10);
    QCOMPARE(store.value("WindowPos/Bottom").toInt(), 400);
    QCOMPARE(store.value("Settings/HeaderName").toInt(), 120);
  }

  // A profile file dropped on the window opens (and connects: Autologin and
  // ConnectOnOpen are on); a folder or a missing file is ignored.
  void droppedFileWhileNotConnected() {
    OpenSettingsStore()->setValue("Settings/ShowIntro", 0);
    const QString profile = files_->filePath("dropped.ftp");
    veltrim::SaveProfileFile(profile.toStdString(), Profile(true));
    for (const auto& [path, opens] : {std::pair{files_->path(), false}, std::pair{files_->filePath("missing.ftp"), false},
                                      std::pair{profile, true}}) {
      PromptScript script;
      CVeltrimFTPApp app(kQuietStart);
      QVERIFY(app.InitInstance());
      int connectRuns = 0;
      app.MainFrame()->SetCommandHandler(ID_CONNECT, [&] { ++connectRuns; });
      app.MainFrame()->DropFiles({path, files_->filePath("second.ftp")});
      QTest::qWait(50);
      QCOMPARE(app.MainFrame()->ProfilePresent(), opens);
      QCOMPARE(connectRuns, opens ? 1 : 0);
      QVERIFY(script.Records().empty());
    }
  }
};

QTEST_MAIN(AppStartupTest)
#include "app_startup_test.moc"
