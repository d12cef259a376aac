// Start-up and exit of the whole program: the first activation with an
// empty or filled settings store, the welcome dialog, a profile on the
// command line, the splash, and what the exit leaves in the store.

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/profile/profile_file.h"
#include "helpers/prompt_script.h"
#include "ui/shared/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/app/settings_store.h"
#include "ui/app/veltrim_ftp_app.h"
#include "ui/app/welcome_dlg.h"
#include "ui/profile/session_settings_dlg.h"
#include "ui/profile/veltrim_ftp_doc.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/splash_window.h"

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

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class AppStartupTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> config_;
  std::unique_ptr<QTemporaryDir> files_;

  QString StoreFile() const { return OpenSettingsStore()->fileName(); }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void init() {
    config_ = std::make_unique<QTemporaryDir>();
    files_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_->path());
  }

  void emptyStoreGreetsWithDefaults() {
    PromptScript script;
    script.AnswerDialog(Welcome(CWelcomeDlg::kChoiceNone, false));
    CVeltrimFTPApp app(kQuietStart);
    QVERIFY(app.InitInstance());
    CMainFrame* frame = app.MainFrame();

    QCOMPARE(script.Records().size(), size_t(1));
    QCOMPARE(script.Records()[0].kind, PromptKind::Dialog);
    QCOMPARE(script.Records()[0].caption, QStringLiteral("Welcome to VeltrimFTP"));
    QVERIFY(script.Unexpected().isEmpty());

    QCOMPARE(frame->pos(), QPoint(10, 10));
    QCOMPARE(frame->size(), QSize(490, 390));
    QVERIFY(!frame->isMaximized());
    QCOMPARE(frame->View()->Mode(), ListMode::Details);
    QCOMPARE((QList<int>{frame->View()->ColumnWidth(0), frame->View()->ColumnWidth(1),
                         frame->View()->ColumnWidth(2), frame->View()->ColumnWidth(3)}),
             (QList<int>{120, 40, 100, 100}));
    QVERIFY(frame->Prefs().Autologin);
    QVERIFY(frame->Prefs().ShowIntro);
    QCOMPARE(frame->Prefs().BlockSize, 1024);
    QCOMPARE(frame->Prefs().Extensions, (QStringList{".txt", ".me", ".htm", ".shtml", ".html", ".asp", ""}));
    QVERIFY(!frame->ProfilePresent());
    QCOMPARE(frame->windowTitle(), QStringLiteral("Not Connected - VeltrimFTP"));
  }

  void welcomeChoicePostsItsCommand_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("expectedKind");
    QTest::newRow("New asks for a profile") << int(CWelcomeDlg::kChoiceNew) << int(PromptKind::Dialog);
    QTest::newRow("Existing asks for a file") << int(CWelcomeDlg::kChoiceExisting)
                                              << int(PromptKind::OpenFile);
  }

  void welcomeChoicePostsItsCommand() {
    QFETCH(int, choice);
    QFETCH(int, expectedKind);
    PromptScript script;
    script.AnswerDialog(Welcome(choice, false));
    if (expectedKind == int(PromptKind::Dialog))
      script.RejectDialog();
    else
      script.AnswerPath(PromptKind::OpenFile, QString());
    CVeltrimFTPApp app(kQuietStart);
    QVERIFY(app.InitInstance());
    QCOMPARE(script.Records().size(), size_t(1));  // posted: not yet run
    QTRY_COMPARE(script.Records().size(), size_t(2));
    QCOMPARE(int(script.Records()[1].kind), expectedKind);
    QVERIFY(script.Unexpected().isEmpty());
  }

  void dontShowAgainStoredEvenWhenClosedWithCloseButton() {
    {
      PromptScript script;
      script.AnswerDialog(Welcome(CWelcomeDlg::kChoiceNone, true));
      CVeltrimFTPApp app(kQuietStart);
      QVERIFY(app.InitInstance());
      QVERIFY(!app.MainFrame()->Prefs().ShowIntro);
      QVERIFY(app.MainFrame()->close());
    }
    QCOMPARE(OpenSettingsStore()->value("Settings/ShowIntro").toInt(), 0);
    // The next start shows no welcome dialog.
    PromptScript script;
    CVeltrimFTPApp app(kQuietStart);
    QVERIFY(app.InitInstance());
    QVERIFY(script.Records().empty());
  }

  void commandLineProfile_data() {
    QTest::addColumn<int>("autologin");
    QTest::addColumn<bool>("connects");
    QTest::newRow("Autologin on connects though the profile says not to") << 1 << true;
    QTest::newRow("Autologin off greets and waits") << 0 << false;
  }

  void commandLineProfile() {
    QFETCH(int, autologin);
    QFETCH(bool, connects);
    const QString path = files_->filePath("archive.ftp");
    veltrim::SaveProfileFile(path.toStdString(), Profile(/*connectOnOpen=*/false));
    OpenSettingsStore()->setValue("Settings/Autologin", autologin);

    PromptScript script;
    if (!connects) script.RejectDialog();  // the welcome dialog
    CVeltrimFTPApp app({"veltrimftp", "--no-splash", path});
    QVERIFY(app.InitInstance());
    int connectRuns = 0;
    app.MainFrame()->SetCommandHandler(ID_CONNECT, [&] { ++connectRuns; });
    QTest::qWait(50);

    QCOMPARE(connectRuns, connects ? 1 : 0);
    QCOMPARE(app.MainFrame()->ProfilePresent(), connects);
    QVERIFY(app.Document()->LoadedFromFile());
    QCOMPARE(QString::fromStdString(app.Document()->Profile().Name), QStringLiteral("Archive"));
    if (connects)
      QCOMPARE(QString::fromStdString(app.MainFrame()->ActiveProfile().Name), QStringLiteral("Archive"));
    QCOMPARE(app.MainFrame()->RecentFiles().Paths(), QStringList{path});
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(script.Pending(), 0);
  }

  void missingCommandLineProfileEndsStartUp() {
    PromptScript script;
    script.Answer(QMessageBox::Ok);  // whatever the document says about it
    CVeltrimFTPApp app({"veltrimftp", "--no-splash", files_->filePath("absent.ftp")});
    QVERIFY(!app.InitInstance());
  }

  void exitWritesTheStoredValues() {
    {
      PromptScript script;
      script.RejectDialog();
      CVeltrimFTPApp app(kQuietStart);
      QVERIFY(app.InitInstance());
      QVERIFY(app.MainFrame()->close());
    }
    QSettings store(StoreFile(), QSettings::IniFormat);
    const QStringList settings{"Auto", "Autologin", "Binary", "BlockSize", "Cancel", "Details",
                               "HeaderDate", "HeaderName", "HeaderSize", "HeaderType",
                               "ListView", "NeverCancel", "NewConn", "NoNewConn", "PlaySounds",
                               "ShowIntro", "ShowWelcome", "UseTLSWhenOffered"};
    store.beginGroup("Settings");
    QStringList keys = store.childKeys();
    keys.sort();
    QCOMPARE(keys, settings);
    store.endGroup();
    QCOMPARE(store.value("Extensions/Count").toInt(), 6);  // the defaults of a fresh install
    for (const char* key : {"Maximized", "Iconic", "IconText", "Left", "Top", "Right", "Bottom"})
      QVERIFY2(store.contains(QStringLiteral("WindowPos/") + key), key);
    QCOMPARE(store.value("WindowPos/Left").toInt(), 10);
    QCOMPARE(store.value("WindowPos/Bottom").toInt(), 400);
    QCOMPARE(store.value("WindowPos/IconText").toInt(), 1);
    for (const char* bar : {"VeltrimFTP-SCBar-59425", "VeltrimFTP-SCBar-59426"}) {
      store.beginGroup(bar);
      QStringList sizes = store.childKeys();
      sizes.sort();
      QCOMPARE(sizes, QStringList({"sizeFloatCX", "sizeFloatCY", "sizeHorzCX", "sizeHorzCY",
                                   "sizeVertCX", "sizeVertCY"}));
      store.endGroup();
    }
    QCOMPARE(store.value("Settings/HeaderName").toInt(), 120);
  }

  void newProfileSavedAndReopenedFromRecentList() {
    OpenSettingsStore()->setValue("Settings/ShowIntro", 0);
    OpenSettingsStore()->setValue("Settings/Autologin", 0);
    const QString path = files_->filePath("mirror.ftp");
    PromptScript script;
    script.AnswerDialog([](QDialog& dialog) {
      auto& settings = dynamic_cast<CSessionSettingsDlg&>(dialog);
      const std::pair<int, const char*> fields[] = {{CSessionSettingsDlg::kName, "Mirror"},
                                                    {CSessionSettingsDlg::kHostname, "mirror.example.org"},
                                                    {CSessionSettingsDlg::kUsername, "me"}};
      for (const auto& [id, text] : fields) qobject_cast<QLineEdit*>(settings.Control(id))->setText(text);
      settings.accept();
    });
    script.AnswerPath(PromptKind::SaveFile, path);
    CVeltrimFTPApp app(kQuietStart);
    QVERIFY(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    frame->ExecuteCommand(ID_FILE_NEW);
    QVERIFY(frame->ProfilePresent());
    QVERIFY(frame->Action(ID_FILE_SAVE)->isEnabled());
    frame->ExecuteCommand(ID_FILE_SAVE);
    QVERIFY(script.Unexpected().isEmpty());

    ServerSettings expected = app.Document()->GetProfile();
    const QByteArray saved = ReadBytes(path);
    QCOMPARE(saved, QByteArray::fromStdString(veltrim::EncodeProfile(expected)));
    QCOMPARE(frame->RecentFiles().Paths(), QStringList{path});

    // Reopen through the "Recent Servers" menu.
    QAction* recent = nullptr;
    for (QAction* menu : frame->menuBar()->actions())
      if (menu->menu())
        for (QAction* item : menu->menu()->actions())
          if (item->menu() && item->text() == QStringLiteral("&Recent Servers"))
            recent = item->menu()->actions().value(0);
    QVERIFY(recent != nullptr);
    QCOMPARE(recent->text(), QStringLiteral("&1 ") + path);
    recent->trigger();
    QVERIFY(!veltrim::Differs(app.Document()->GetProfile(), expected));
    QVERIFY(!veltrim::Differs(frame->ActiveProfile(), expected));
    QCOMPARE(ReadBytes(path), saved);
  }

  void droppedFileWhileNotConnected_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a profile file opens") << "profile" << true;
    QTest::newRow("a folder is ignored") << "folder" << false;
    QTest::newRow("a missing file is ignored") << "missing" << false;
  }

  void droppedFileWhileNotConnected() {
    QFETCH(QString, what);
    QFETCH(bool, opens);
    OpenSettingsStore()->setValue("Settings/ShowIntro", 0);
    QString path = files_->filePath("dropped.ftp");
    if (what == "profile") veltrim::SaveProfileFile(path.toStdString(), Profile(true));
    if (what == "folder") path = files_->path();
    PromptScript script;
    CVeltrimFTPApp app(kQuietStart);
    QVERIFY(app.InitInstance());
    int connectRuns = 0;
    app.MainFrame()->SetCommandHandler(ID_CONNECT, [&] { ++connectRuns; });
    app.MainFrame()->DropFiles({path, files_->filePath("second.ftp")});
    QTest::qWait(50);
    QCOMPARE(app.MainFrame()->ProfilePresent(), opens);
    QCOMPARE(connectRuns, opens ? 1 : 0);  // Autologin and ConnectOnOpen are on
    QVERIFY(script.Records().empty());
  }

  void splashHidesOnKeyAndCanBeSuppressed() {
    OpenSettingsStore()->setValue("Settings/ShowIntro", 0);
    auto visibleSplash = [] {
      for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<SplashWindow*>(widget) && widget->isVisible()) return widget;
      return static_cast<QWidget*>(nullptr);
    };
    {
      CVeltrimFTPApp app({"veltrimftp"});
      QVERIFY(app.InitInstance());
      QWidget* splash = visibleSplash();
      QVERIFY(splash != nullptr);
      QTest::keyClick(app.MainFrame(), Qt::Key_Space);
      QTRY_VERIFY(visibleSplash() == nullptr);
    }
    CVeltrimFTPApp quiet(kQuietStart);
    QVERIFY(quiet.InitInstance());
    QVERIFY(visibleSplash() == nullptr);
  }

  void commandLineOptions() {
    struct Case {
      QStringList arguments;
      QString profile;
      bool noSplash;
    };
    const Case cases[] = {{{"veltrimftp"}, "", false},
                          {{"veltrimftp", "--no-splash", "b.ftp"}, "b.ftp", true},
                          {{"veltrimftp", "/NOLOGO"}, "", true},
                          {{"veltrimftp", "c.ftp", "d.ftp"}, "c.ftp", false}};  // first file only
    for (const Case& c : cases) {
      const CommandLine options = ParseCommandLine(c.arguments);
      QCOMPARE(options.profilePath, c.profile);
      QCOMPARE(options.noSplash, c.noSplash);
    }
  }
};

QTEST_MAIN(AppStartupTest)
#include "app_startup_test.moc"
