// The Preferences sheet: what OK applies (to the preferences, the bars and a
// live session) and what Cancel leaves alone, through the prompt seam.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <functional>
#include <memory>

#include "helpers/browse_window.h"
#include "helpers/prompt_script.h"
#include "helpers/temporary_settings_store.h"
#include "support/pyftpd_server.h"
#include "ui/app/main_frame.h"
#include "ui/app/settings_store.h"
#include "ui/app/veltrim_ftp_app.h"
#include "ui/ftp/browse_layer.h"
#include "ui/ftp/connection_controller.h"
#include "ui/prefs/connection_settings_page.h"
#include "ui/prefs/preferences_sheet.h"
#include "ui/prefs/program_settings_page.h"
#include "ui/shared/command_ids.h"
#include "ui/widgets/docking_bar.h"

using namespace veltrim;
using namespace veltrim::ui;
using veltrim::test::PromptScript;
using Page2 = CMyPropertyPage2;
using Page3 = CMyPropertyPage3;

namespace {

using SheetAction = std::function<void(CMyPropertySheet&)>;

SheetAction Click(int page, int id) {
  return [page, id](CMyPropertySheet& sheet) {
    QWidget* control = page == 2 ? sheet.ConnectionPage().Control(id) : sheet.ProgramPage().Control(id);
    qobject_cast<QAbstractButton*>(control)->click();
  };
}

SheetAction AddExtension(const QString& text) {
  return [text](CMyPropertySheet& sheet) {
    qobject_cast<QLineEdit*>(sheet.ProgramPage().Control(Page3::kExtensionEdit))->setText(text);
    sheet.ProgramPage().OnAdd();
  };
}

// Runs the Preferences command with action done in the sheet, then OK or Cancel.
void RunSheet(CMainFrame& frame, PromptScript& script, const SheetAction& action, bool ok) {
  script.AnswerDialog([&](QDialog& dialog) {
    auto& sheet = dynamic_cast<CMyPropertySheet&>(dialog);
    action(sheet);
    ok ? sheet.accept() : sheet.reject();
  });
  frame.ExecuteCommand(ID_PREFERENCES);
}

}  // namespace

class PrefsSheetTest : public QObject {
  Q_OBJECT
  std::unique_ptr<veltrim::test::TemporarySettingsStore> store_;

 private slots:
  void init() { store_ = std::make_unique<veltrim::test::TemporarySettingsStore>(); }

  // Each control reaches its stored value on OK and nothing changes on Cancel.
  void okAppliesAndCancelDiscards() {
    struct Row {
      const char* storedFirst;  // a value stored before the run ("" for none)
      SheetAction action;
      const char* key;
      int before;
      int after;
    };
    const Row rows[] = {
        {"", Click(2, Page2::kCancelYes), "Settings/Cancel", 0, 1},
        {"", Click(2, Page2::kCancelNo), "Settings/NeverCancel", 0, 1},
        {"Settings/Cancel", Click(2, Page2::kCancelAsk), "Settings/Cancel", 1, 0},
        {"", Click(2, Page2::kNewConnYes), "Settings/NewConn", 0, 1},
        {"Settings/NewConn", Click(2, Page2::kNewConnNo), "Settings/NoNewConn", 0, 1},
        {"", Click(2, Page2::kAutoConnect), "Settings/Autologin", 1, 0},
        {"", Click(2, Page2::kSounds), "Settings/PlaySounds", 1, 0},
        {"", Click(2, Page2::kUseTls), "Settings/UseTLSWhenOffered", 1, 0},
        {"", Click(3, Page3::kShowIntro), "Settings/ShowIntro", 1, 0},
        {"", Click(3, Page3::kWelcome), "Settings/ShowWelcome", 1, 0},
        {"",
         [](CMyPropertySheet& sheet) {
           qobject_cast<QSlider*>(sheet.ConnectionPage().Control(Page2::kBlockSlider))
               ->triggerAction(QAbstractSlider::SliderToMaximum);
         },
         "Settings/BlockSize", 1024, 4096},
        {"", AddExtension(QStringLiteral("c")), "Extensions/Count", 6, 7},
    };
    for (const Row& row : rows) {
      for (bool ok : {false, true}) {
        OpenSettingsStore()->clear();
        if (*row.storedFirst) OpenSettingsStore()->setValue(QString::fromLatin1(row.storedFirst), 1);
        CMainFrame frame;
        frame.LoadPreferences();
        PromptScript script;
        RunSheet(frame, script, row.action, ok);
        QVERIFY(script.Unexpected().isEmpty());
        frame.SavePreferences();
        QCOMPARE(OpenSettingsStore()->value(QString::fromLatin1(row.key)).toInt(), ok ? row.after : row.before);
      }
    }
  }

  void offGridBlockSizeIsKeptUntilTheSliderMoves() {
    Preferences prefs;
    prefs.BlockSize = 1000;
    CMyPropertySheet sheet;
    sheet.SetValues(prefs, {});
    auto* slider = qobject_cast<QSlider*>(sheet.ConnectionPage().Control(Page2::kBlockSlider));
    auto* label = qobject_cast<QLabel*>(sheet.ConnectionPage().Control(Page2::kBlockLabel));
    QCOMPARE(slider->value(), 4);
    QCOMPARE(label->text(), QStringLiteral("1000 bytes/block"));
    QCOMPARE(sheet.EditedPreferences(prefs).BlockSize, 1000);
    slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(label->text(), QStringLiteral("768 bytes/block"));
    QCOMPARE(sheet.EditedPreferences(prefs).BlockSize, 768);
  }

  void addAndRemoveExtensions() {
    Preferences prefs;
    prefs.Extensions = {".txt", "", ""};  // a stored gap: one end marker is kept
    CMyPropertyPage3 page;
    page.Load(prefs, {});
    QCOMPARE(page.Extensions(), (QStringList{".txt", ""}));
    auto* edit = qobject_cast<QLineEdit*>(page.Control(Page3::kExtensionEdit));
    auto* list = qobject_cast<QListWidget*>(page.Control(Page3::kExtensionList));
    PromptScript script;
    script.Answer(QMessageBox::Ok).Answer(QMessageBox::Ok);
    page.OnAdd();     // nothing typed
    page.OnRemove();  // nothing selected
    for (const char* typed : {"LOG", ".Me", "log"}) {
      edit->setText(QString::fromLatin1(typed));
      page.OnAdd();
    }
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(page.Extensions(), (QStringList{".txt", ".log", ".me", ".log", ""}));
    QCOMPARE(list->item(0)->text(), QStringLiteral(".log"));  // sorted
    list->setCurrentRow(0);
    page.OnRemove();
    QCOMPARE(page.Extensions(), (QStringList{".txt", ".me", ".log", ""}));
    QVERIFY(script.Unexpected().isEmpty());
    QCOMPARE(script.Captions(), (QStringList{"Nothing to Add", "Nothing Selected"}));
  }

  // Hidden at once on OK, and still hidden after a restart.
  void barsFollowTheirBoxes() {
    OpenSettingsStore()->setValue(QStringLiteral("Settings/ShowIntro"), 0);
    const int boxes[] = {Page3::kShowLog, Page3::kShowTree, Page3::kShowConnectionBar};
    auto hidden = [](CMainFrame* frame) {
      return QList<bool>{frame->SessionLogBar()->isHidden(), frame->DirectoriesBar()->isHidden(),
                         frame->ConnectionToolBar()->isHidden()};
    };
    {
      CVeltrimFTPApp app({"veltrimftp", "--no-splash"});
      QVERIFY(app.InitInstance());
      PromptScript script;
      RunSheet(*app.MainFrame(), script, [&](CMyPropertySheet& sheet) {
        for (int id : boxes) Click(3, id)(sheet);
      }, true);
      QCOMPARE(hidden(app.MainFrame()), (QList<bool>{true, true, true}));
      QVERIFY(app.MainFrame()->close());
    }
    CVeltrimFTPApp again({"veltrimftp", "--no-splash"});
    QVERIFY(again.InitInstance());
    QCOMPARE(hidden(again.MainFrame()), (QList<bool>{true, true, true}));
  }

  // A fresh install sends ".txt" files as text; what OK changes reaches the
  // live session for the next file queued.
  void connectedSessionFollows() {
    test::PyFtpServer server;
    test::BrowseWindow window;
    window.frame.LoadPreferences();
    window.Connect(test::ProfileFor(server));
    CFtpSession* session = window.controller->Session();
    QVERIFY(window.frame.Connected() && session != nullptr);
    QVERIFY(!session->IsBinaryTransfer("readme.txt"));
    QVERIFY(session->IsBinaryTransfer("table.csv"));

    PromptScript script;
    RunSheet(window.frame, script, [](CMyPropertySheet& sheet) {
      AddExtension(QStringLiteral("CSV"))(sheet);
      qobject_cast<QSlider*>(sheet.ConnectionPage().Control(Page2::kBlockSlider))
          ->triggerAction(QAbstractSlider::SliderToMinimum);
      Click(2, Page2::kCancelYes)(sheet);
    }, true);
    QVERIFY(script.Unexpected().isEmpty());
    QVERIFY(!session->IsBinaryTransfer("table.csv"));
    QVERIFY(!session->IsBinaryTransfer("readme.txt"));
    QCOMPARE(session->BlockSize(), 256);
    QVERIFY(session->AlwaysCancelQueue());
  }
};

QTEST_MAIN(PrefsSheetTest)
#include "prefs_sheet_test.moc"
