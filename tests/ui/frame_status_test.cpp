// The error box's text and sound, the status bar's clock text, and a sound
// asked for by a worker.

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

class FrameStatusTest : public QObject {
  Q_OBJECT

 private slots:
  void wrapping() {
    const QString a40(40, 'a');
    const QString b39(39, 'b');
    const std::pair<QString, QString> cases[] = {
        {QString(74, 'x'), QString(74, 'x')},                     // stays whole
        {a40 + " " + b39, a40 + "\n" + b39},                      // 80 with the blank at 40
        {QString(90, 'z'), QString(90, 'z')},                     // no blank: left whole
        {QString(80, 'c') + " end", QString(80, 'c') + "\nend"},  // blank after the limit
        {"", ""}};
    for (const auto& [message, wrapped] : cases) QCOMPARE(WrapErrorMessage(message), wrapped);
  }

  void boxIsShownWithStopIconAndErrorSound() {
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
    QVERIFY(box.text.endsWith(QStringLiteral("administrator.\n61208")));
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

  void clockText() {
    const QDate day(2026, 3, 7);
    auto at = [&](int h, int m, int sec = 0) { return QDateTime(day, QTime(h, m, sec)); };
    struct Case {
      QDateTime now, since;  // no `since`: not connected
      const char* text;
    };
    const Case cases[] = {{at(13, 5), {}, "1:05 PM"},
                          {at(0, 7), {}, "12:07 AM"},
                          {at(12, 0), {}, "12:00 PM"},
                          {at(10, 2, 17), at(10, 0), "00:02:17"},
                          {at(1, 0, 5).addDays(1), at(0, 0), "01:00:05"},  // past a day: again
                          {at(9, 0), at(10, 0), "00:00:00"}};              // clock set back
    for (const Case& c : cases)
      QCOMPARE(ClockText(c.since.isValid(), c.now, c.since), QString::fromLatin1(c.text));
  }
};

QTEST_MAIN(FrameStatusTest)
#include "frame_status_test.moc"
