// The small prompts: InputBox, the folder chooser and what the two
// remembered-answer questions store. (The questions at work in a transfer,
// remembered or asked, and "Please Wait" at work are in the window tests.)

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <tuple>

#include "helpers/prompt_script.h"
#include "ui/dialogs/cancel_transfer_dlg.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/input_dlg.h"
#include "ui/dialogs/new_connection_dlg.h"
#include "ui/dialogs/prompts.h"

using namespace veltrim::ui;
using veltrim::test::PromptKind;
using veltrim::test::PromptScript;

namespace {

// Runs `interact` on the next modal dialog once it is up (for the real,
// unscripted prompter).
void WhenModalDialogShows(std::function<void(QDialog&)> interact) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, interact] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      interact(*dialog);
    }
  });
  poll->start();
}

}  // namespace

class PromptDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  // Only the exact password question is masked.
  void realInputBoxReturnsWhatOkLeaves() {
    const std::tuple<QString, QString, bool, QString> cases[] = {
        {"Enter the new name:", "report.txt", true, "report.txt"},
        {"Enter the new name:", "ignored", false, ""},
        {"Please enter your password:", "s3cret", true, "s3cret"},
        {"Please enter your password", "x", true, "x"}};
    for (const auto& [prompt, typed, ok, expected] : cases) {
      QStringList shown;  // caption, prompt, default text, masked
      WhenModalDialogShows([&](QDialog& dialog) {
        auto* input = qobject_cast<CInputDlg*>(&dialog);
        if (!input) return dialog.reject();
        shown << input->windowTitle() << input->Prompt() << input->InputText()
              << (input->IsMasked() ? "masked" : "plain");
        input->SetInputText(typed);
        ok ? input->accept() : input->reject();
      });
      QCOMPARE(InputBox(prompt, QStringLiteral("Rename"), QStringLiteral("old.txt")), expected);
      QCOMPARE(shown, (QStringList{"Rename", prompt, "old.txt", prompt == kPasswordPrompt ? "masked" : "plain"}));
    }
  }

  void folderBrowserReturnsFoldersWithoutTrailingSlash() {
    const std::pair<QString, QString> cases[] = {
        {"/srv/data", "/srv/data"}, {"/srv/data/", "/srv/data"}, {"/", "/"}, {"", ""}};  // "": cancelled
    for (const auto& [chosen, expected] : cases) {
      PromptScript script;
      script.AnswerPath(PromptKind::Folder, chosen);
      CFolderBrowser browser(nullptr, QString::fromLatin1(CFolderBrowser::kDefaultTitle),
                             QStringLiteral("/home"));
      QCOMPARE(browser.Browse(), expected);
      QCOMPARE(script.Records().front().caption, QStringLiteral("Please select a folder:"));
      QCOMPARE(script.Records().front().initial, QStringLiteral("/home"));
    }
  }

  // Only Yes stores a ticked box for the new-connection question.
  void newConnectionAnswerIsRemembered() {
    struct Case {
      bool yes;
      int always, never;
      bool useNew, newConn, noNewConn;
    };
    const Case cases[] = {{true, 0, 0, true, false, false},
                          {true, 1, 0, true, true, false},
                          {true, 0, 1, false, false, true},
                          {false, 1, 0, false, false, false}};
    for (const Case& c : cases) {
      PromptScript script;
      script.AnswerDialog([&](QDialog& dialog) {
        auto& question = dynamic_cast<CRememberedQuestionDlg&>(dialog);
        if (c.always) question.AlwaysBox()->click();
        if (c.never) question.NeverBox()->click();
        c.yes ? dialog.accept() : dialog.reject();
      });
      NewConnectionMemory memory;
      QCOMPARE(AskNewConnection(nullptr, memory), c.useNew);
      QCOMPARE(memory.NewConn, c.newConn);
      QCOMPARE(memory.NoNewConn, c.noNewConn);
      QCOMPARE(script.Captions(), QStringList{QStringLiteral("Establish a new connection")});
    }
  }

  // Yes or No, a ticked box is remembered for the cancel question.
  void cancelTransferAnswerIsRemembered() {
    struct Case {
      bool yes;
      int always, never;
      bool cancel, neverCancel;
    };
    const Case cases[] = {{true, 0, 0, false, false},
                          {false, 1, 0, true, false},
                          {true, 0, 1, false, true},
                          {false, 0, 1, false, true}};
    for (const Case& c : cases) {
      CancelTransferMemory memory;
      QCOMPARE(SettleCancelTransfer(c.yes, c.always, c.never, memory), c.yes);
      QCOMPARE(memory.Cancel, c.cancel);
      QCOMPARE(memory.NeverCancel, c.neverCancel);
    }
  }
};

QTEST_MAIN(PromptDialogsTest)
#include "dialogs_prompts_test.moc"
