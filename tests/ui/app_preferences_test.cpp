// The preferences and the window placement in the settings store: what is
// read from stored values (including damaged ones), and what is written.

#include <QAction>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "helpers/prompt_script.h"
#include "ui/app/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/app/preferences.h"
#include "ui/app/settings_store.h"
#include "ui/app/veltrim_ftp_app.h"
#include "ui/app/window_placement.h"
#include "ui/views/remote_list_view.h"
#include "ui/widgets/docking_bar.h"

using veltrim::test::PromptScript;
using namespace veltrim::ui;

using Values = QMap<QString, QVariant>;
Q_DECLARE_METATYPE(Values)

class AppPreferencesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> config_;

  static void Store(const Values& values) {
    auto store = OpenSettingsStore();
    for (auto it = values.begin(); it != values.end(); ++it) store->setValue(it.key(), it.value());
    store->sync();
  }

 private slots:
  void init() {
    config_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_->path());
  }

  void flagsAreTrueOnlyForOne_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("autologin");
    QTest::newRow("missing keeps the default") << QVariant() << true;
    QTest::newRow("1") << QVariant(1) << true;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("2 reads as false") << QVariant(2) << false;
    QTest::newRow("-1 reads as false") << QVariant(-1) << false;
    QTest::newRow("text reads as the default") << QVariant("yes") << true;
  }

  void flagsAreTrueOnlyForOne() {
    QFETCH(QVariant, stored);
    QFETCH(bool, autologin);
    if (stored.isValid()) Store({{"Settings/Autologin", stored}});
    QCOMPARE(LoadPreferences(*OpenSettingsStore()).Autologin, autologin);
  }

  void extensionsFollowCount_data() {
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<int>("savedCount");
    QTest::newRow("empty store") << Values{} << QStringList{""} << 0;
    QTest::newRow("two stored")
        << Values{{"Extensions/Count", 2}, {"Extensions/Extension_0", ".txt"},
                  {"Extensions/Extension_1", ".htm"}}
        << QStringList{".txt", ".htm", ""} << 2;
    QTest::newRow("count 2 with one value")
        << Values{{"Extensions/Count", 2}, {"Extensions/Extension_0", ".txt"}}
        << QStringList{".txt", "", ""} << 1;
    QTest::newRow("leftovers past the count are ignored")
        << Values{{"Extensions/Count", 1}, {"Extensions/Extension_0", ".me"},
                  {"Extensions/Extension_1", ".old"}}
        << QStringList{".me", ""} << 1;
    QTest::newRow("negative count") << Values{{"Extensions/Count", -5}} << QStringList{""} << 0;
  }

  void extensionsFollowCount() {
    QFETCH(Values, stored);
    QFETCH(QStringList, loaded);
    QFETCH(int, savedCount);
    Store(stored);
    const Preferences prefs = LoadPreferences(*OpenSettingsStore());
    QCOMPARE(prefs.Extensions, loaded);
    SavePreferences(*OpenSettingsStore(), prefs);
    auto store = OpenSettingsStore();
    QCOMPARE(store->value("Extensions/Count").toInt(), savedCount);
    for (int i = 0; i < savedCount; ++i)
      QCOMPARE(store->value(QStringLiteral("Extensions/Extension_%1").arg(i)).toString(), loaded.at(i));
  }

  void hugeCountDoesNotHang() {
    Store({{"Extensions/Count", 2000000000}, {"Extensions/Extension_0", ".txt"}});
    QElapsedTimer timer;
    timer.start();
    const Preferences prefs = LoadPreferences(*OpenSettingsStore());
    QVERIFY2(timer.elapsed() < 5000, "reading the extensions took too long");
    QCOMPARE(prefs.Extensions.size(), kMaxStoredExtensions + 1);
    QCOMPARE(prefs.Extensions.first(), QStringLiteral(".txt"));
    QVERIFY(prefs.Extensions.last().isEmpty());
  }

  void numbersOutsideTheirRangeGiveDefaults_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("width 300 kept") << "HeaderName" << QVariant(300) << 300;
    QTest::newRow("negative width") << "HeaderName" << QVariant(-40) << 120;
    QTest::newRow("zero width") << "HeaderSize" << QVariant(0) << 40;
    QTest::newRow("absurd width") << "HeaderType" << QVariant(99999999) << 100;
    QTest::newRow("width beyond 32 bits") << "HeaderDate" << QVariant("8589934592") << 100;
    QTest::newRow("block size 4096 kept") << "BlockSize" << QVariant(4096) << 4096;
    QTest::newRow("block size 0") << "BlockSize" << QVariant(0) << 1024;
    QTest::newRow("negative block size") << "BlockSize" << QVariant(-1) << 1024;
    QTest::newRow("huge block size") << "BlockSize" << QVariant(2000000000) << 1024;
    QTest::newRow("list mode kept as stored") << "ListView" << QVariant(7) << 7;
  }

  void numbersOutsideTheirRangeGiveDefaults() {
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    Store({{"Settings/" + key, stored}});
    const Preferences prefs = LoadPreferences(*OpenSettingsStore());
    const QMap<QString, int> read{{"HeaderName", prefs.HeaderName}, {"HeaderSize", prefs.HeaderSize},
                                  {"HeaderType", prefs.HeaderType}, {"HeaderDate", prefs.HeaderDate},
                                  {"BlockSize", prefs.BlockSize},   {"ListView", prefs.ListView}};
    QCOMPARE(read.value(key), expected);
  }

  void widthOfZeroKeepsTheStoredWidth() {
    Store({{"Settings/HeaderName", 250}, {"Settings/HeaderSize", 60}});
    Preferences prefs = LoadPreferences(*OpenSettingsStore());
    prefs.HeaderName = 0;
    prefs.HeaderSize = -3;
    prefs.HeaderType = 130;
    SavePreferences(*OpenSettingsStore(), prefs);
    auto store = OpenSettingsStore();
    QCOMPARE(store->value("Settings/HeaderName").toInt(), 250);
    QCOMPARE(store->value("Settings/HeaderSize").toInt(), 60);
    QCOMPARE(store->value("Settings/HeaderType").toInt(), 130);
  }

  void roundTripOfEveryField() {
    Preferences prefs;
    prefs.Details = false;
    prefs.NewConn = true;
    prefs.NeverCancel = true;
    prefs.Autologin = false;
    prefs.PlaySounds = false;
    prefs.ListView = 3;
    prefs.Binary = false;
    prefs.Auto = false;
    prefs.ShowIntro = false;
    prefs.ShowWelcome = false;
    prefs.BlockSize = 2048;
    prefs.HeaderName = 210;
    prefs.HeaderSize = 55;
    prefs.HeaderType = 90;
    prefs.HeaderDate = 140;
    prefs.Extensions = {".txt", ".c", ""};
    SavePreferences(*OpenSettingsStore(), prefs);
    const Preferences back = LoadPreferences(*OpenSettingsStore());
    QCOMPARE(back.Details, false);
    QCOMPARE(back.NewConn, true);
    QCOMPARE(back.NoNewConn, false);
    QCOMPARE(back.Cancel, false);
    QCOMPARE(back.NeverCancel, true);
    QCOMPARE(back.Autologin, false);
    QCOMPARE(back.PlaySounds, false);
    QCOMPARE(back.ListView, 3);
    QCOMPARE(back.Binary, false);
    QCOMPARE(back.Auto, false);
    QCOMPARE(back.ShowIntro, false);
    QCOMPARE(back.ShowWelcome, false);
    QCOMPARE(back.BlockSize, 2048);
    QCOMPARE(back.HeaderName, 210);
    QCOMPARE(back.HeaderSize, 55);
    QCOMPARE(back.HeaderType, 90);
    QCOMPARE(back.HeaderDate, 140);
    QCOMPARE(back.Extensions, prefs.Extensions);
  }

  void placementRectangleBounds_data() {
    QTest::addColumn<Values>("stored");
    QTest::addColumn<QRect>("normal");
    QTest::newRow("defaults") << Values{} << QRect(10, 10, 490, 390);
    QTest::newRow("stored") << Values{{"WindowPos/Left", 50}, {"WindowPos/Top", 60},
                                      {"WindowPos/Right", 850}, {"WindowPos/Bottom", 660}}
                            << QRect(50, 60, 800, 600);
    QTest::newRow("inverted") << Values{{"WindowPos/Left", 500}, {"WindowPos/Right", 100}}
                              << QRect(10, 10, 490, 390);
    QTest::newRow("far away") << Values{{"WindowPos/Left", -2000000000}} << QRect(10, 10, 490, 390);
    QTest::newRow("huge") << Values{{"WindowPos/Right", 2000000000}} << QRect(10, 10, 490, 390);
  }

  void placementRectangleBounds() {
    QFETCH(Values, stored);
    QFETCH(QRect, normal);
    Store(stored);
    QCOMPARE(LoadWindowPlacement(*OpenSettingsStore()).NormalRect(), normal);
  }

  void iconTextIsWrittenBackAsRead() {
    Store({{"WindowPos/IconText", 7}});
    WindowPlacement placement = LoadWindowPlacement(*OpenSettingsStore());
    SaveWindowPlacement(*OpenSettingsStore(), placement);
    QCOMPARE(OpenSettingsStore()->value("WindowPos/IconText").toInt(), 7);
  }

  void maximizedPlacementRoundTrip() {
    Store({{"Settings/ShowIntro", 0}, {"WindowPos/Left", 40}, {"WindowPos/Top", 30},
           {"WindowPos/Right", 740}, {"WindowPos/Bottom", 530}});
    {
      CVeltrimFTPApp app({"veltrimftp", "--no-splash"});
      QVERIFY(app.InitInstance());
      QVERIFY(!app.MainFrame()->isMaximized());
      app.MainFrame()->showMaximized();
      QTRY_VERIFY(app.MainFrame()->isMaximized());
      QVERIFY(app.MainFrame()->close());
    }
    auto store = OpenSettingsStore();
    QCOMPARE(store->value("WindowPos/Maximized").toInt(), 1);
    QCOMPARE(store->value("WindowPos/Iconic").toInt(), 0);
    QCOMPARE(store->value("WindowPos/Left").toInt(), 40);
    QCOMPARE(store->value("WindowPos/Bottom").toInt(), 530);

    CVeltrimFTPApp again({"veltrimftp", "--no-splash"});
    QVERIFY(again.InitInstance());
    CMainFrame* frame = again.MainFrame();
    QTRY_VERIFY(frame->isMaximized());
    frame->showNormal();
    QTRY_VERIFY(!frame->isMaximized());
    QCOMPARE(QRect(frame->pos(), frame->size()), QRect(40, 30, 700, 500));
  }

  void barLayoutRoundTrip() {
    Store({{"Settings/ShowIntro", 0}});
    {
      CVeltrimFTPApp app({"veltrimftp", "--no-splash"});
      QVERIFY(app.InitInstance());
      CMainFrame* frame = app.MainFrame();
      frame->resizeDocks({frame->DirectoriesBar()}, {260}, Qt::Horizontal);
      QTRY_COMPARE(frame->DirectoriesBar()->width(), 260);
      frame->ExecuteCommand(ID_VIEW_LOG_WINDOW);
      QVERIFY(frame->SessionLogBar()->isHidden());
      QVERIFY(frame->close());
    }
    auto store = OpenSettingsStore();
    QCOMPARE(store->value("VeltrimFTP-SCBar-59425/sizeVertCX").toInt(), 260);
    QCOMPARE(store->value("VeltrimFTP-SCBar-59425/sizeHorzCX").toInt(), 200);  // never docked there

    CVeltrimFTPApp again({"veltrimftp", "--no-splash"});
    QVERIFY(again.InitInstance());
    QVERIFY(again.MainFrame()->SessionLogBar()->isHidden());
    QVERIFY(!again.MainFrame()->Action(ID_VIEW_LOG_WINDOW)->isChecked());
    QVERIFY(again.MainFrame()->DirectoriesBar()->isVisible());
    QCOMPARE(again.MainFrame()->DirectoriesBar()->VerticalSize().width(), 260);
  }

  void damagedStoreStillGivesAUsableWindow() {
    Store({{"Settings/ShowIntro", 0}, {"Settings/ListView", 42}, {"Settings/HeaderName", -7},
           {"Settings/HeaderDate", 123456789}, {"Settings/BlockSize", -100},
           {"Extensions/Count", 2000000000}, {"WindowPos/Right", -9}, {"WindowPos/Maximized", 3},
           {"VeltrimFTP-SCBar-59425/sizeVertCX", -500}, {"VeltrimFTP-SCBar-59426/sizeHorzCY", 900000},
           {"VeltrimFTP-Summary/Layout", QByteArray("not a layout")}});
    PromptScript script;
    CVeltrimFTPApp app({"veltrimftp", "--no-splash"});
    QVERIFY(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    QCOMPARE(frame->View()->Mode(), ListMode::Details);
    QCOMPARE(frame->View()->ColumnWidth(0), 120);
    QCOMPARE(frame->View()->ColumnWidth(3), 100);
    QCOMPARE(frame->Prefs().BlockSize, 1024);
    QVERIFY(!frame->isMaximized());
    QCOMPARE(frame->size(), QSize(490, 390));
    QVERIFY(frame->DirectoriesBar()->isVisible());
    QVERIFY(frame->SessionLogBar()->isVisible());
    QVERIFY(frame->DirectoriesBar()->VerticalSize().width() >= 40);
    QVERIFY(frame->SessionLogBar()->HorizontalSize().height() <= 8000);
    QVERIFY(script.Records().empty());
  }
};

QTEST_MAIN(AppPreferencesTest)
#include "app_preferences_test.moc"
