// InputBox and what the cancel question's answer stores. (The folder chooser
// is at work in the settings dialog's test; the questions at work in a
// transfer and "Please Wait" at work are in the window tests.)

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <tuple>

#include "ui/dialogs/cancel_transfer_dlg.h"
#include "ui/dialogs/input_dlg.h"
#include "ui/dialogs/prompts.h"

using namespace veltrim::ui;

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
