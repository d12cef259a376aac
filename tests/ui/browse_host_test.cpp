// The window's host for the session engine: log lines from any thread in
// order, boxes asked from a worker shown on the window thread while the
// worker waits, and the message pump's end on the quit request.
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

#include "ui/dialogs/prompts.h"
#include "ui/ftp/qt_session_host.h"
#include "ui/ftp/session_log_sink.h"

using namespace veltrim;
using namespace veltrim::ui;

namespace {

// Answers every box with OK and notes the thread it was asked on.
class ThreadNotingPrompter final : public Prompter {
 public:
  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons, QMessageBox::StandardButton) override {
    threads.push_back(QThread::currentThread());
    captions << caption;
    texts << text;
    return QMessageBox::Ok;
  }
  QString Text(QWidget*, const QString&, const QString&, const QString&, bool) override { return {}; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString FolderName(QWidget*, const QString&, const QString&) override { return {}; }
  int RunDialog(QDialog&) override {
    threads.push_back(QThread::currentThread());
    captions << QStringLiteral("dialog");
    return QDialog::Rejected;
  }

  std::vector<QThread*> threads;
  QStringList captions;
  QStringList texts;
};

}  // namespace

class BrowseHostTest : public QObject {
  Q_OBJECT
 private slots:
  void logLinesKeepTheirOrder() {
    QPlainTextEdit edit;
    SessionLogSink sink(&edit);
    constexpr int kThreads = 4;
    constexpr int kLines = 300;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
      workers.emplace_back([&sink, t] {
        for (int i = 0; i < kLines; ++i) sink.AppendLine("worker " + std::to_string(t) + " line " + std::to_string(i));
      });
    for (std::thread& worker : workers) worker.join();
    // A line of the window thread after the workers' comes after all of them,
    // and at once.
    sink.AppendLine("window line");
    const QStringList lines = edit.toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), kThreads * kLines + 1);
    QCOMPARE(lines.last(), QStringLiteral("window line"));
    std::vector<int> next(kThreads, 0);
    for (int i = 0; i + 1 < lines.size(); ++i) {
      const QStringList parts = lines.at(i).split(QLatin1Char(' '));
      QCOMPARE(parts.size(), 4);
      const int worker = parts.at(1).toInt();
      QCOMPARE(parts.at(3).toInt(), next[size_t(worker)]);
      ++next[size_t(worker)];
    }
  }

  void workerLinesArriveThroughThePump() {
    QPlainTextEdit edit;
    SessionLogSink sink(&edit);
    std::thread worker([&sink] { sink.AppendLine("from a worker"); });
    worker.join();
    QVERIFY(edit.toPlainText().isEmpty());  // not touched from the worker
    QtSessionHost host(nullptr);
    QTRY_VERIFY_WITH_TIMEOUT((host.PumpMessages(), edit.toPlainText() == QStringLiteral("from a worker")), 2000);
  }

  void boxesFromAWorkerShowOnTheWindowThread() {
    ThreadNotingPrompter prompter;
    ScopedPrompter scope(prompter);
    QtSessionHost host(nullptr);
    std::atomic<bool> finished{false};
    std::atomic<bool> returnedBeforeShown{false};
    std::thread worker([&] {
      host.ShowMessageBox("Login failed", "Error Connecting");
      returnedBeforeShown.store(prompter.captions.isEmpty());
      host.ShowError(61206);
      finished.store(true);
    });
    QTRY_VERIFY_WITH_TIMEOUT((host.PumpMessages(), finished.load()), 5000);
    worker.join();
    QVERIFY(!returnedBeforeShown.load());
    QCOMPARE(prompter.captions, (QStringList{"Error Connecting", "Error"}));
    QCOMPARE(prompter.texts.at(0), QStringLiteral("Login failed"));
    for (QThread* thread : prompter.threads) QCOMPARE(thread, QCoreApplication::instance()->thread());
  }

  void tasksRunInOrderOnTheWindowThread() {
    QtSessionHost host(nullptr);
    QStringList order;
    std::thread worker([&] {
      for (int i = 0; i < 50; ++i)
        host.RunOnWindowThread([&order, i] {
          if (QThread::currentThread() == QCoreApplication::instance()->thread()) order << QString::number(i);
        });
    });
    worker.join();
    QTRY_COMPARE_WITH_TIMEOUT((host.PumpMessages(), order.size()), 50, 2000);
    for (int i = 0; i < 50; ++i) QCOMPARE(order.at(i), QString::number(i));
  }

  // Last: the quit request stays in force for the rest of the program.
  void pumpEndsOnQuit() {
    QtSessionHost host(nullptr);
    QVERIFY(!host.PumpMessages());
    QVERIFY(!QuitRequested());
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
    QVERIFY(host.PumpMessages());
    QVERIFY(QuitRequested());
  }
};

QTEST_MAIN(BrowseHostTest)
#include "browse_host_test.moc"
