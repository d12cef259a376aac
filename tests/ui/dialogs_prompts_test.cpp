// The small prompts and wait boxes: InputBox, the folder chooser, the two
// remembered-answer questions, "Please Wait", "Adding files to Queue", and
// the scripted prompter the GUI tests answer them with.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

#include "helpers/prompt_script.h"
#include "ui/commands/adding_files_dlg.h"
#include "ui/commands/cancel_transfer_dlg.h"
#include "ui/commands/edit_file_dlg.h"
#include "ui/commands/folder_browser.h"
#include "ui/commands/input_dlg.h"
#include "ui/commands/new_connection_dlg.h"
#include "ui/commands/please_wait_dlg.h"
#include "ui/commands/prompts.h"

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

void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

}  // namespace

class PromptDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void inputBoxMasksOnlyThePasswordQuestion_data();
  void inputBoxMasksOnlyThePasswordQuestion();
  void realInputBoxReturnsWhatOkLeaves_data();
  void realInputBoxReturnsWhatOkLeaves();
  void folderBrowserReturnsFoldersWithoutTrailingSlash_data();
  void folderBrowserReturnsFoldersWithoutTrailingSlash();
  void rememberBoxesAreExclusive_data();
  void rememberBoxesAreExclusive();
  void rememberBoxesAreKeptAfterNo();
  void newConnectionAnswerIsRemembered_data();
  void newConnectionAnswerIsRemembered();
  void newConnectionQuestionIsSkippedWhenRemembered();
  void cancelTransferAnswerIsRemembered_data();
  void cancelTransferAnswerIsRemembered();
  void pleaseWaitCountsDownThenHides();
  void pleaseWaitTicksEverySecond();
  void pleaseWaitCancelOnlySetsItsFlag();
  void pleaseWaitAttemptMessages();
  void addingFilesCancelStopsTheQueueing_data();
  void addingFilesCancelStopsTheQueueing();
  void editFileUpdateAccepts();
  void scriptRefusesAnswersOfTheWrongKind();
};

void PromptDialogsTest::inputBoxMasksOnlyThePasswordQuestion_data() {
  QTest::addColumn<QString>("prompt");
  QTest::addColumn<bool>("masked");
  QTest::newRow("password question") << "Please enter your password:" << true;
  QTest::newRow("rename") << "Enter the new name:" << false;
  QTest::newRow("password-like but different") << "Please enter your password" << false;
}

void PromptDialogsTest::inputBoxMasksOnlyThePasswordQuestion() {
  QFETCH(QString, prompt);
  QFETCH(bool, masked);
  PromptScript script;
  script.AnswerText(QStringLiteral("typed"));
  QCOMPARE(InputBox(prompt, QStringLiteral("Password"), QStringLiteral("default")),
           QStringLiteral("typed"));
  QCOMPARE(script.Records().size(), size_t(1));
  const auto& asked = script.Records().front();
  QCOMPARE(asked.password, masked);
  QCOMPARE(asked.caption, QStringLiteral("Password"));
  QCOMPARE(asked.text, prompt);
  QCOMPARE(asked.initial, QStringLiteral("default"));
}

void PromptDialogsTest::realInputBoxReturnsWhatOkLeaves_data() {
  QTest::addColumn<QString>("prompt");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<QString>("expected");
  QTest::newRow("ok with text") << "Enter the new name:" << "report.txt" << true << "report.txt";
  QTest::newRow("ok on an emptied field") << "Enter the new name:" << "" << true << "";
  QTest::newRow("cancel") << "Enter the new name:" << "ignored" << false << "";
  QTest::newRow("password") << "Please enter your password:" << "s3cret" << true << "s3cret";
}

void PromptDialogsTest::realInputBoxReturnsWhatOkLeaves() {
  QFETCH(QString, prompt);
  QFETCH(QString, typed);
  QFETCH(bool, ok);
  QFETCH(QString, expected);
  bool sawDialog = false;
  bool wasMasked = false;
  QString caption;
  QString shownPrompt;
  QString shownDefault;
  WhenModalDialogShows([&](QDialog& dialog) {
    auto* input = qobject_cast<CInputDlg*>(&dialog);
    if (!input) {
      dialog.reject();
      return;
    }
    sawDialog = true;
    wasMasked = input->IsMasked();
    caption = input->windowTitle();
    shownPrompt = input->Prompt();
    shownDefault = input->InputText();
    input->SetInputText(typed);
    ok ? input->accept() : input->reject();
  });
  const QString result = InputBox(prompt, QStringLiteral("Rename"), QStringLiteral("old.txt"));
  QVERIFY(sawDialog);
  QCOMPARE(result, expected);
  QCOMPARE(caption, QStringLiteral("Rename"));
  QCOMPARE(shownPrompt, prompt);
  QCOMPARE(shownDefault, QStringLiteral("old.txt"));
  QCOMPARE(wasMasked, prompt == QLatin1String(kPasswordPrompt));
}

void PromptDialogsTest::folderBrowserReturnsFoldersWithoutTrailingSlash_data() {
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("expected");
  QTest::newRow("plain") << "/srv/data" << "/srv/data";
  QTest::newRow("trailing slash") << "/srv/data/" << "/srv/data";
  QTest::newRow("root stays root") << "/" << "/";
  QTest::newRow("cancelled") << "" << "";
}

void PromptDialogsTest::folderBrowserReturnsFoldersWithoutTrailingSlash() {
  QFETCH(QString, chosen);
  QFETCH(QString, expected);
  PromptScript script;
  script.AnswerPath(PromptKind::Folder, chosen);
  QCOMPARE(CFolderBrowser(nullptr, QString::fromLatin1(CFolderBrowser::kDefaultTitle),
                          QStringLiteral("/home"))
               .Browse(),
           expected);
  QCOMPARE(script.Records().front().caption, QStringLiteral("Please select a folder:"));
  QCOMPARE(script.Records().front().initial, QStringLiteral("/home"));
}

void PromptDialogsTest::rememberBoxesAreExclusive_data() {
  QTest::addColumn<bool>("cancelQuestion");
  QTest::addColumn<QString>("clicks");
  QTest::addColumn<int>("always");
  QTest::addColumn<int>("never");
  for (bool cancelQuestion : {false, true}) {
    const char* which = cancelQuestion ? "cancel transfer: " : "new connection: ";
    auto row = [&](const char* clicks, int always, int never) {
      QTest::newRow((QByteArray(which) + clicks).constData())
          << cancelQuestion << QString::fromLatin1(clicks) << always << never;
    };
    row("always", 1, 0);
    row("never", 0, 1);
    row("always never", 0, 1);
    row("never always", 1, 0);
    row("always always", 0, 0);
    row("never never always", 1, 0);
  }
}

void PromptDialogsTest::rememberBoxesAreExclusive() {
  QFETCH(bool, cancelQuestion);
  QFETCH(QString, clicks);
  QFETCH(int, always);
  QFETCH(int, never);
  std::unique_ptr<CRememberedQuestionDlg> dialog;
  if (cancelQuestion) {
    dialog = std::make_unique<CCancelTransferDlg>();
  } else {
    dialog = std::make_unique<CNewConnectionDlg>();
  }
  dialog->show();
  for (const QString& click : clicks.split(QLatin1Char(' '))) {
    Click(click == QLatin1String("always") ? dialog->AlwaysBox() : dialog->NeverBox());
    QVERIFY(!(dialog->AlwaysBox()->isChecked() && dialog->NeverBox()->isChecked()));
  }
  dialog->accept();
  QCOMPARE(dialog->Always(), always);
  QCOMPARE(dialog->Never(), never);
  QCOMPARE(dialog->AlwaysBox()->objectName(), QStringLiteral("check1020"));
  QCOMPARE(dialog->NeverBox()->objectName(),
           cancelQuestion ? QStringLiteral("check1073") : QStringLiteral("check1067"));
}

void PromptDialogsTest::rememberBoxesAreKeptAfterNo() {
  PromptScript script;
  script.AnswerDialog([](QDialog& dialog) {
    auto& question = dynamic_cast<CRememberedQuestionDlg&>(dialog);
    Click(question.NeverBox());
    Click(dialog.findChild<QPushButton*>(QStringLiteral("button2")));  // "No"
  });
  CCancelTransferDlg dialog;
  QCOMPARE(RunModal(dialog), int(QDialog::Rejected));
  QCOMPARE(dialog.Never(), 1);
  QCOMPARE(script.Captions(), QStringList{QStringLiteral("Cancel Transfer")});
}

void PromptDialogsTest::newConnectionAnswerIsRemembered_data() {
  QTest::addColumn<bool>("yes");
  QTest::addColumn<int>("always");
  QTest::addColumn<int>("never");
  QTest::addColumn<bool>("useNew");
  QTest::addColumn<bool>("newConn");
  QTest::addColumn<bool>("noNewConn");
  QTest::newRow("yes, nothing ticked") << true << 0 << 0 << true << false << false;
  QTest::newRow("yes, always") << true << 1 << 0 << true << true << false;
  QTest::newRow("yes, never") << true << 0 << 1 << false << false << true;
  QTest::newRow("no, nothing ticked") << false << 0 << 0 << false << false << false;
  QTest::newRow("no, always: not stored") << false << 1 << 0 << false << false << false;
  QTest::newRow("no, never: not stored") << false << 0 << 1 << false << false << false;
}

void PromptDialogsTest::newConnectionAnswerIsRemembered() {
  QFETCH(bool, yes);
  QFETCH(int, always);
  QFETCH(int, never);
  QFETCH(bool, useNew);
  QFETCH(bool, newConn);
  QFETCH(bool, noNewConn);
  PromptScript script;
  script.AnswerDialog([=](QDialog& dialog) {
    auto& question = dynamic_cast<CRememberedQuestionDlg&>(dialog);
    if (always) Click(question.AlwaysBox());
    if (never) Click(question.NeverBox());
    yes ? dialog.accept() : dialog.reject();
  });
  NewConnectionMemory memory;
  QCOMPARE(AskNewConnection(nullptr, memory), useNew);
  QCOMPARE(memory.NewConn, newConn);
  QCOMPARE(memory.NoNewConn, noNewConn);
  QCOMPARE(script.Captions(), QStringList{QStringLiteral("Establish a new connection")});
}

void PromptDialogsTest::newConnectionQuestionIsSkippedWhenRemembered() {
  PromptScript script;  // nothing may be asked
  NewConnectionMemory always{true, false};
  NewConnectionMemory never{false, true};
  QVERIFY(AskNewConnection(nullptr, always));
  QVERIFY(!AskNewConnection(nullptr, never));
  CancelTransferMemory cancel{true, false};
  CancelTransferMemory keep{false, true};
  QVERIFY(AskCancelQueue(nullptr, cancel));
  QVERIFY(!AskCancelQueue(nullptr, keep));
  QVERIFY(script.Records().empty());
}

void PromptDialogsTest::cancelTransferAnswerIsRemembered_data() {
  QTest::addColumn<bool>("yes");
  QTest::addColumn<int>("always");
  QTest::addColumn<int>("never");
  QTest::addColumn<bool>("cancel");
  QTest::addColumn<bool>("neverCancel");
  QTest::newRow("yes, nothing ticked") << true << 0 << 0 << false << false;
  QTest::newRow("yes, always") << true << 1 << 0 << true << false;
  QTest::newRow("no, always") << false << 1 << 0 << true << false;
  QTest::newRow("yes, never") << true << 0 << 1 << false << true;
  QTest::newRow("no, never") << false << 0 << 1 << false << true;
}

void PromptDialogsTest::cancelTransferAnswerIsRemembered() {
  QFETCH(bool, yes);
  QFETCH(int, always);
  QFETCH(int, never);
  QFETCH(bool, cancel);
  QFETCH(bool, neverCancel);
  CancelTransferMemory memory;
  QCOMPARE(SettleCancelTransfer(yes, always, never, memory), yes);
  QCOMPARE(memory.Cancel, cancel);
  QCOMPARE(memory.NeverCancel, neverCancel);
}

void PromptDialogsTest::pleaseWaitCountsDownThenHides() {
  CPleaseWaitDlg box;
  QCOMPARE(box.windowTitle(), QStringLiteral("Please Wait"));
  auto* message = box.findChild<QLabel*>(QStringLiteral("static1069"));
  auto* countdown = box.findChild<QLabel*>(QStringLiteral("static1065"));
  QCOMPARE(message->text(), QStringLiteral("Attempting to connect to host"));
  QVERIFY(countdown->text().isEmpty());
  QVERIFY(box.IsTicking());
  QCOMPARE(box.Timer().interval(), 1000);

  box.SetCountdown(5);
  box.SetMessageText(CPleaseWaitDlg::AttemptMessage(0));
  box.UpdateControls();
  box.show();
  for (const char* expected : {"4", "3", "2", "1"}) {
    box.Tick();
    QCOMPARE(countdown->text(), QString::fromLatin1(expected));
    QVERIFY(box.isVisible());
    QVERIFY(box.IsTicking());
  }
  box.Tick();
  QVERIFY(!box.isVisible());
  QVERIFY(!box.IsTicking());
  QCOMPARE(message->text(), QStringLiteral("Attempting to connect to host..."));
}

void PromptDialogsTest::pleaseWaitTicksEverySecond() {
  CPleaseWaitDlg box;
  box.SetCountdown(10);
  box.show();
  auto* countdown = box.findChild<QLabel*>(QStringLiteral("static1065"));
  QTRY_COMPARE_WITH_TIMEOUT(countdown->text(), QStringLiteral("9"), 3000);
}

void PromptDialogsTest::pleaseWaitCancelOnlySetsItsFlag() {
  CPleaseWaitDlg box;
  box.SetCountdown(30);
  box.show();
  QVERIFY(!box.IsCancelled());
  QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("button1003")), Qt::LeftButton);
  QVERIFY(box.IsCancelled());
  QVERIFY(box.isVisible());
  QTest::keyClick(&box, Qt::Key_Escape);
  box.close();
  QVERIFY(box.isVisible());
}

void PromptDialogsTest::pleaseWaitAttemptMessages() {
  QCOMPARE(CPleaseWaitDlg::AttemptMessage(0), QStringLiteral("Attempting to connect to host..."));
  QCOMPARE(CPleaseWaitDlg::AttemptMessage(1),
           QStringLiteral("Attempting to connect to host... Retry #1"));
  QCOMPARE(CPleaseWaitDlg::AttemptMessage(12),
           QStringLiteral("Attempting to connect to host... Retry #12"));
}

void PromptDialogsTest::addingFilesCancelStopsTheQueueing_data() {
  QTest::addColumn<bool>("withTarget");
  QTest::newRow("with the session's stop flag") << true;
  QTest::newRow("without one") << false;
}

void PromptDialogsTest::addingFilesCancelStopsTheQueueing() {
  QFETCH(bool, withTarget);
  std::atomic<bool> stopAdding{false};
  CAddingFilesDlg box(nullptr, withTarget ? &stopAdding : nullptr);
  QCOMPARE(box.windowTitle(), QStringLiteral("Adding files to Queue"));
  box.show();
  QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("button1003")), Qt::LeftButton);
  QVERIFY(box.IsCancelled());
  QCOMPARE(stopAdding.load(), withTarget);
  QVERIFY(box.isVisible());
}

void PromptDialogsTest::editFileUpdateAccepts() {
  PromptScript script;
  script.AnswerDialog([](QDialog& dialog) {
    auto* update = dialog.findChild<QPushButton*>(QStringLiteral("button1"));
    QCOMPARE(update->text(), QStringLiteral("&Update"));
    QVERIFY(update->isDefault());
    Click(update);
  });
  CEditFileDlg dialog;
  QCOMPARE(RunModal(dialog), int(QDialog::Accepted));
  QCOMPARE(script.Captions(), QStringList{QStringLiteral("Edit File")});
}

void PromptDialogsTest::scriptRefusesAnswersOfTheWrongKind() {
  PromptScript script;
  script.AnswerText(QStringLiteral("for the text prompt"));
  const auto answer = ShowMessage(nullptr, QMessageBox::Question, QStringLiteral("Q"),
                                  QStringLiteral("Sure?"), QMessageBox::Yes | QMessageBox::No);
  QCOMPARE(answer, QMessageBox::No);
  QCOMPARE(script.Unexpected().size(), 1);
  QCOMPARE(script.Pending(), 1);
  QCOMPARE(InputBox(QStringLiteral("Name:"), QStringLiteral("T")),
           QStringLiteral("for the text prompt"));
  QCOMPARE(script.Pending(), 0);
}

QTEST_MAIN(PromptDialogsTest)
#include "dialogs_prompts_test.moc"
