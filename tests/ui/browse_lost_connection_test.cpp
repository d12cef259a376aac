// A server that goes away while the window is connected: the "Disconnected"
// box and a window back at not connected, wherever the loss is noticed; and
// the one reconnect after a server closed an idle connection.
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "helpers/browse_window.h"
#include "helpers/prompt_script.h"
#include "support/scripted_ftp_server.h"
#include "ui/widgets/connection_bar.h"
#include "ui/widgets/drawn_images.h"

using namespace veltrim;
using namespace veltrim::test;

namespace {

// Answers the window's first steps (PWD names "/", no data connections)
// until the client sends verb; that one gets lastWords (none: no answer),
// and the next step of the script follows.
ScriptedFtpServer::Step AnswerUntil(std::string verb, std::string lastWords) {
  return [verb, lastWords](ScriptContext& context) {
    for (;;) {
      bool ok = false;
      const std::string command = context.ReadCommand(&ok);
      if (!ok) return;
      const std::string said = command.substr(0, command.find(' '));
      if (said == verb) {
        if (!lastWords.empty()) context.SendLine(lastWords);
        return;
      }
      if (said == "PWD") context.SendLine("257 \"/\" is the current directory");
      else if (said == "LIST" || said == "MLSD") context.SendLine("425 No data connection");
      else if (said == "EPSV" || said == "PASV" || said == "EPRT" || said == "PORT") context.SendLine("500 No");
      else context.SendLine("200 OK");
    }
  };
}

// The box (and no error box of the command the loss broke), and the window
// back at not connected.
void VerifyDisconnected(const BrowseWindow& window, const PromptScript& script) {
  QVERIFY(script.Unexpected().isEmpty());
  QVERIFY(!script.Captions().contains(QStringLiteral("Error")));
  QCOMPARE(script.Captions().last(), QStringLiteral("Disconnected"));
  QCOMPARE(script.Texts().last(), QStringLiteral("You have been disconnected from the server"));
  QCOMPARE(script.Records().back().icon, QMessageBox::Critical);
  QVERIFY(!window.frame.Connected());
  QVERIFY(window.frame.Session() == nullptr);
  QCOMPARE(window.frame.StateIconId(), ui::kStateNotConnected);
  QCOMPARE(window.frame.ConnectionBarWidget()->Text(), QStringLiteral("Not Connected"));
  QCOMPARE(window.list.rowCount(), 0);
  QCOMPARE(window.treeWidget.topLevelItemCount(), 0);
}

}  // namespace

class BrowseLostConnectionTest : public QObject {
  Q_OBJECT
 private slots:
  void serverKilledWhileConnected() {
    PyFtpServer server;
    server.WriteFile("readme.txt", "hello\n");
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QVERIFY(window.frame.Connected());
    server.Kill();
    PromptScript script;
    script.Answer(QMessageBox::Ok);
    window.navigator->OnRefresh();
    // Seen before the command: one reconnect, which finds nobody.
    QCOMPARE(window.Log().count(QStringLiteral("The server closed the idle connection.")), 1);
    VerifyDisconnected(window, script);
  }

  void lostInTheMiddleOfACommand_data() {
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("lastWords");
    QTest::newRow("421 to a change of directory") << "CWD" << "421 Service not available, closing control connection.";
    QTest::newRow("closed at a new directory") << "MKD" << "";
  }

  void lostInTheMiddleOfACommand() {
    QFETCH(QString, verb);
    QFETCH(QString, lastWords);
    ScriptedFtpServer server;
    server.Greet().ExpectLogin().Do(AnswerUntil(verb.toStdString(), lastWords.toStdString())).Drop();
    server.Start();
    BrowseWindow window;
    window.Connect(ProfileForPort(server.Port(), 0, 10));
    QVERIFY(window.frame.Connected());
    PromptScript script;
    const bool making = verb == QLatin1String("MKD");
    if (making) script.AnswerText(QStringLiteral("/new"));
    script.Answer(QMessageBox::Ok);
    if (making) window.navigator->OnCreateDirectory();
    else window.navigator->GoToDirectory(QStringLiteral("/pub"));
    VerifyDisconnected(window, script);
  }

  void idleDropReconnectsOnceAndCarriesOn() {
    PyFtpServerOptions options;
    options.idleTimeoutSeconds = 1;
    PyFtpServer server(options);
    server.WriteFile("pub/notes.txt", "n");
    BrowseWindow window;
    window.Connect(ProfileFor(server));
    QVERIFY(window.frame.Connected());
    QTRY_VERIFY_WITH_TIMEOUT(window.controller->Session()->ConnectionLost(), 10000);
    PromptScript script;
    window.navigator->GoToDirectory(QStringLiteral("/pub"));
    QVERIFY(script.Records().empty());
    QVERIFY(window.frame.Connected());
    QCOMPARE(window.Current(), QStringLiteral("/pub"));
    QCOMPARE(window.Names(), QStringList{"notes.txt"});
    QCOMPARE(window.Log().count(QStringLiteral("The server closed the idle connection.")), 1);
    QCOMPARE(window.Log().count(QStringLiteral("Connected to Host.")), 2);
  }
};

int main(int argc, char** argv) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  BrowseLostConnectionTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "browse_lost_connection_test.moc"
