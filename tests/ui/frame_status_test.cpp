// The error box's text and sound, the status bar's clock, and the sounds on
// a machine without audio.

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <memory>

#include "helpers/prompt_script.h"
#include "ui/app/error_box.h"
#include "ui/app/main_frame.h"
#include "ui/app/sound_player.h"
#include "ui/app/status_clock.h"
#include "ui/app/string_table.h"

using veltrim::test::PromptKind;
using veltrim::test::PromptScript;
using namespace veltrim::ui;

namespace {

const QString kOpening = QStringLiteral("The following error has occurred:\n\n");
const QString kClosing = QStringLiteral(
    "\n\nIf you feel this is an error, please contact your system administrator.\n");

}  // namespace

class FrameStatusTest : public QObject {
  Q_OBJECT

 private slots:
  void wrapping_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("wrapped");
    const QString a40(40, 'a');
    const QString b39(39, 'b');
    QTest::newRow("74 characters stay whole") << QString(74, 'x') << QString(74, 'x');
    QTest::newRow("short with blanks") << "two words" << "two words";
    QTest::newRow("80 with the blank at 40") << a40 + " " + b39 << a40 + "\n" + b39;
    QTest::newRow("no blank at all is left whole") << QString(90, 'z') << QString(90, 'z');
    QTest::newRow("blank only after the limit")
        << QString(80, 'c') + " end" << QString(80, 'c') + "\nend";
    QTest::newRow("empty") << "" << "";
  }

  void wrapping() {
    QFETCH(QString, message);
    QFETCH(QString, wrapped);
    QCOMPARE(WrapErrorMessage(message), wrapped);
  }

  void wrappedLinesOfEveryMessage_data() {
    QTest::addColumn<unsigned>("id");
    for (unsigned id = 61204; id <= 61212; ++id) QTest::addRow("%u", id) << id;
  }

  void wrappedLinesOfEveryMessage() {
    QFETCH(unsigned, id);
    const QString message = LoadMessage(id);
    QVERIFY(!message.isEmpty());
    const QString wrapped = WrapErrorMessage(message);
    QCOMPARE(wrapped.size(), message.size());  // only blanks become line feeds
    QString unwrapped = wrapped;
    unwrapped.replace('\n', ' ');
    QCOMPARE(unwrapped, message);
    for (const QString& line : wrapped.split('\n')) QVERIFY2(line.size() <= 90, qPrintable(line));
    QVERIFY(wrapped.contains('\n'));
  }

  void boxTextEndsWithTheId() {
    const QString text = ErrorBoxText(61206);
    QVERIFY(text.startsWith(kOpening));
    QVERIFY(text.endsWith(kClosing + "61206"));
    QCOMPARE(text.right(5), QStringLiteral("61206"));
    QCOMPARE(text, kOpening + WrapErrorMessage(LoadMessage(61206)) + kClosing + "61206");
    QVERIFY(text.contains("An error occured while trying to delete a file."));
  }

  void boxIsShownWithStopIconAndErrorSound() {
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    CMainFrame frame;
    frame.LoadPreferences();
    frame.Prefs().PlaySounds = false;  // the error box plays regardless
    QStringList played;
    SetSoundObserver([&](const QString& name) { played << name; });
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    frame.ShowError(61208);
    SetSoundObserver({});
    QCOMPARE(played, QStringList{"error.wav"});
    QCOMPARE(script.Records().size(), size_t(1));
    const auto& box = script.Records()[0];
    QCOMPARE(box.kind, PromptKind::Message);
    QCOMPARE(box.caption, QStringLiteral("Error"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, ErrorBoxText(61208));
  }

  void soundsWithoutAudioAreSilentAndQuick() {
    QElapsedTimer timer;
    timer.start();
    for (const char* name : {"connect.wav", "download.wav", "error.wav", "missing.wav"})
      PlaySound(QString::fromLatin1(name));
    QTest::qWait(100);
    QVERIFY2(timer.elapsed() < 3000, "playing sounds blocked the window");
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void soundFromAWorkerThreadIsPlayedOnTheWindowThread() {
    QThread* observedOn = nullptr;
    SetSoundObserver([&](const QString&) { observedOn = QThread::currentThread(); });
    std::unique_ptr<QThread> worker(QThread::create([] { PlaySound(QStringLiteral("download.wav")); }));
    worker->start();
    QVERIFY(worker->wait(5000));
    QTRY_VERIFY(observedOn != nullptr);
    SetSoundObserver({});
    QCOMPARE(observedOn, QCoreApplication::instance()->thread());
  }

  void soundFilesAreShipped_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("connect") << "connect.wav";
    QTest::newRow("download") << "download.wav";
    QTest::newRow("error") << "error.wav";
  }

  void soundFilesAreShipped() {
    QFETCH(QString, name);
    QFile file(":/veltrimftp/sounds/" + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(44);
    QVERIFY(header.startsWith("RIFF"));
    QCOMPARE(header.mid(8, 4), QByteArray("WAVE"));
    QVERIFY(file.size() > 1000);
    QVERIFY(file.size() < 200000);  // short
  }

  void clockText_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("since");
    QTest::addColumn<QString>("text");
    const QDate day(2026, 3, 7);
    QTest::newRow("afternoon") << false << QDateTime(day, QTime(13, 5)) << QDateTime() << "1:05 PM";
    QTest::newRow("morning") << false << QDateTime(day, QTime(9, 41, 30)) << QDateTime() << "9:41 AM";
    QTest::newRow("midnight") << false << QDateTime(day, QTime(0, 7)) << QDateTime() << "12:07 AM";
    QTest::newRow("noon") << false << QDateTime(day, QTime(12, 0)) << QDateTime() << "12:00 PM";
    QTest::newRow("2:17 connected") << true << QDateTime(day, QTime(10, 2, 17))
                                    << QDateTime(day, QTime(10, 0)) << "00:02:17";
    QTest::newRow("hours") << true << QDateTime(day, QTime(23, 59, 59)) << QDateTime(day, QTime(0, 0))
                           << "23:59:59";
    QTest::newRow("past a day starts again") << true << QDateTime(day.addDays(1), QTime(1, 0, 5))
                                             << QDateTime(day, QTime(0, 0)) << "01:00:05";
    QTest::newRow("clock set back") << true << QDateTime(day, QTime(9, 0))
                                    << QDateTime(day, QTime(10, 0)) << "00:00:00";
  }

  void clockText() {
    QFETCH(bool, connected);
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, since);
    QFETCH(QString, text);
    QCOMPARE(ClockText(connected, now, since), text);
  }

  void clockPaneTicks() {
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    CMainFrame frame;
    const QString now = frame.ClockPane()->text();
    QVERIFY(now.endsWith(" AM") || now.endsWith(" PM"));
    frame.ClockPane()->clear();
    QTRY_VERIFY_WITH_TIMEOUT(!frame.ClockPane()->text().isEmpty(), 1000);  // timer 2
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    QVERIFY(frame.ProgressBar()->isHidden());
  }
};

QTEST_MAIN(FrameStatusTest)
#include "frame_status_test.moc"
