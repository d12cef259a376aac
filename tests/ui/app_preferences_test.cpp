// The preferences and the window placement in the settings store: what is
// read from stored values (including damaged ones), and what is written.

#include <QAction>
#include <QSettings>
#include <QtTest>
#include <memory>
#include <tuple>

#include "helpers/prompt_script.h"
#include "helpers/temporary_settings_store.h"
#include "ui/shared/command_ids.h"
#include "ui/app/main_frame.h"
#include "ui/shared/preferences.h"
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
  std::unique_ptr<veltrim::test::TemporarySettingsStore> store_;

  static void Store(const Values& values) {
    auto store = OpenSettingsStore();
    for (auto it = values.begin(); it != values.end(); ++it) store->setValue(it.key(), it.value());
    store->sync();
  }

 private slots:
  void init() { store_ = std::make_unique<veltrim::test::TemporarySettingsStore>(); }

  void flagsAreTrueOnlyForOne() {
    QVERIFY(LoadPreferences(*OpenSettingsStore()).Autologin);  // missing: the default
    // Only 1 is true; other numbers are false, text keeps the default.
    const std::pair<QVariant, bool> cases[] = {{1, true}, {0, false}, {2, false}, {-1, false},
                                               {"yes", true}};
    for (const auto& [stored, autologin] : cases) {
      Store({{"Settings/Autologin", stored}});
      QCOMPARE(LoadPreferences(*OpenSettingsStore()).Autologin, autologin);
    }
  }

  // What is read for a stored Count, and what is written back.
  void extensionsFollowCount() {
    const std::tuple<Values, QStringList, int> cases[] = {
        {{}, {".txt", ".me", ".htm", ".shtml", ".html", ".asp", ""}, 6},  // fresh install: the session's defaults
        {{{"Extensions/Count", 0}}, {""}, 0},                             // a stored empty list stays empty
        {{{"Extensions/Count", 2}, {"Extensions/Extension_0", ".txt"}, {"Extensions/Extension_1", ".htm"}},
         {".txt", ".htm", ""}, 2},
        {{{"Extensions/Count", 2}, {"Extensions/Extension_0", ".txt"}}, {".txt", "", ""}, 1},
        {{{"Extensions/Count", 1}, {"Extensions/Extension_0", ".me"}, {"Extensions/Extension_1", ".old"}},
         {".me", ""}, 1},  // leftovers past the count are ignored
        {{{"Extensions/Count", -5}}, {""}, 0}};
    for (const auto& [stored, loaded, savedCount] : cases) {
      OpenSettingsStore()->clear();
      Store(stored);
      const Preferences prefs = LoadPreferences(*OpenSettingsStore());
      QCOMPARE(prefs.Extensions, loaded);
      SavePreferences(*OpenSettingsStore(), prefs);
      auto store = OpenSettingsStore();
      QCOMPARE(store->value("Extensions/Count").toInt(), savedCount);
      for (int i = 0; i < savedCount; ++i)
        QCOMPARE(store->value(QStringLiteral("Extensions/Extension_%1").arg(i)).toString(), loaded.at(i));
    }
  }

  void numbersOutsideTheirRangeGiveDefaults() {
    struct Case {
      const char* key;
      QVariant stored;
      int expected;
    };
    const Case cases[] = {{"HeaderName", 300, 300},         {"HeaderName", -40, 120},
                          {"HeaderSize", 0, 40},            {"HeaderType", 99999999, 100},
                          {"HeaderDate", "8589934592", 100},  // beyond 32 bits
                          {"BlockSize", 4096, 4096},        {"BlockSize", 0, 1024},
                          {"BlockSize", -1, 1024},          {"BlockSize", 2000000000, 1024},
                          {"ListView", 7, 7}};  // the view falls back, the value is kept
    for (const Case& c : cases) {
      Store({{QStringLiteral("Settings/") + c.key, c.stored}});
      const Preferences prefs = LoadPreferences(*OpenSettingsStore());
      const QMap<QString, int> read{{"HeaderName", prefs.HeaderName}, {"HeaderSize", prefs.HeaderSize},
                                    {"HeaderType", prefs.HeaderType}, {"HeaderDate", prefs.HeaderDate},
                                    {"BlockSize", prefs.BlockSize},   {"ListView", prefs.ListView}};
      QCOMPARE(read.value(c.key), c.expected);
    }
  }

  void roundTripOfEveryField() {
    const auto fields = [](const Preferences& p) {
      return QVariantList{p.Details,   p.NewConn,    p.NoNewConn,  p.Cancel,     p.NeverCancel,
                          p.Autologin, p.PlaySounds, p.ListView,   p.Binary,     p.Auto,
                          p.ShowIntro, p.ShowWelcome, p.BlockSize, p.HeaderName, p.HeaderSize,
                          p.HeaderType, p.HeaderDate, p.Extensions, p.UseTLSWhenOffered};
    };
    Preferences prefs;  // every field away from its default
    prefs.Details = prefs.Autologin = prefs.PlaySounds = prefs.Binary = prefs.Auto = false;
    prefs.ShowIntro = prefs.ShowWelcome = prefs.UseTLSWhenOffered = false;
    prefs.NewConn = prefs.NeverCancel = true;
    prefs.ListView = 3;
    prefs.BlockSize = 2048;
    prefs.HeaderName = 210;
    prefs.HeaderSize = 55;
    prefs.HeaderType = 90;
    prefs.HeaderDate = 140;
    prefs.Extensions = {".txt", ".c", ""};
    SavePreferences(*OpenSettingsStore(), prefs);
    QCOMPARE(fields(LoadPreferences(*OpenSettingsStore())), fields(prefs));
    QVERIFY(fields(Preferences{}) != fields(prefs));
  }

  void placementRectangleBounds() {
    const QRect defaults(10, 10, 490, 390);
    const std::pair<Values, QRect> cases[] = {
        {{}, defaults},
        {{{"WindowPos/Left", 50}, {"WindowPos/Top", 60}, {"WindowPos/Right", 850},
          {"WindowPos/Bottom", 660}},
         QRect(50, 60, 800, 600)},
        {{{"WindowPos/Left", 500}, {"WindowPos/Right", 100}}, defaults},  // inverted
        {{{"WindowPos/Left", -2000000000}}, defaults},                    // far away
        {{{"WindowPos/Right", 2000000000}}, defaults}};                   // huge
    for (const auto& [stored, normal] : cases) {
      OpenSettingsStore()->clear();
      Store(stored);
      QCOMPARE(LoadWindowPlacement(*OpenSettingsStore()).NormalRect(), normal);
    }
    // IconText is written back as it was read.
    Store({{"WindowPos/IconText", 7}});
    SaveWindowPlacement(*OpenSettingsStore(), LoadWindowPlacement(*OpenSettingsStore()));
    QCOMPARE(OpenSettingsStore()->value("WindowPos/IconText").toInt(), 7);
  }

  // A maximized window, a resized bar and a hidden one survive a restart; the
  // normal placement is kept beside the maximized one.
  void placementAndBarsRoundTrip() {
    Store({{"Settings/ShowIntro", 0}, {"WindowPos/Left", 40}, {"WindowPos/Top", 30},
           {"WindowPos/Right", 740}, {"WindowPos/Bottom", 530}});
    {
      CVeltrimFTPApp app({"veltrimftp", "--no-splash"});
      QVERIFY(app.InitInstance());
      CMainFrame* frame = app.MainFrame();
      QVERIFY(!frame->isMaximized());
      frame->resizeDocks({frame->DirectoriesBar()}, {260}, Qt::Horizontal);
      QTRY_COMPARE(frame->DirectoriesBar()->width(), 260);
      frame->ExecuteCommand(ID_VIEW_LOG_WINDOW);
      QVERIFY(frame->SessionLogBar()->isHidden());
      frame->showMaximized();
      QTRY_VERIFY(frame->isMaximized());
      QVERIFY(frame->close());
    }
    auto store = OpenSettingsStore();
    QCOMPARE(store->value("WindowPos/Maximized").toInt(), 1);
    QCOMPARE(store->value("WindowPos/Iconic").toInt(), 0);
    QCOMPARE(store->value("WindowPos/Left").toInt(), 40);
    QCOMPARE(store->value("WindowPos/Bottom").toInt(), 530);
    QCOMPARE(store->value("VeltrimFTP-SCBar-59425/sizeVertCX").toInt(), 260);
    QCOMPARE(store->value("VeltrimFTP-SCBar-59425/sizeHorzCX").toInt(), 200);  // never docked there

    CVeltrimFTPApp again({"veltrimftp", "--no-splash"});
    QVERIFY(again.InitInstance());
    CMainFrame* frame = again.MainFrame();
    QVERIFY(frame->SessionLogBar()->isHidden());
    QVERIFY(!frame->Action(ID_VIEW_LOG_WINDOW)->isChecked());
    QVERIFY(frame->DirectoriesBar()->isVisible());
    QCOMPARE(frame->DirectoriesBar()->VerticalSize().width(), 260);
    QTRY_VERIFY(frame->isMaximized());
    frame->showNormal();
    QTRY_VERIFY(!frame->isMaximized());
    QCOMPARE(QRect(frame->pos(), frame->size()), QRect(40, 30, 700, 500));
  }

  void damagedStoreStillGivesAUsableWindow() {
    Store({{"Settings/ShowIntro", 0}, {"Settings/ListView", 42}, {"Settings/HeaderName", -7},
           {"Settings/HeaderDate", 123456789}, {"Settings/BlockSize", -100},
           {"Extensions/Count", 2000000000}, {"Extensions/Extension_0", ".txt"},  // read up to a bound, not the count
           {"WindowPos/Right", -9}, {"WindowPos/Maximized", 3},
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
    QCOMPARE(frame->Prefs().Extensions.size(), kMaxStoredExtensions + 1);
    QCOMPARE(frame->Prefs().Extensions.first(), QStringLiteral(".txt"));
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
