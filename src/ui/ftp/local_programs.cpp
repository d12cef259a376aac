#include "ui/ftp/local_programs.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace veltrim::ui {

namespace {

LocalPrograms* installed = nullptr;

// Graphical plain-text editors of the common desktops, tried in this order
// when the desktop names no default for text/plain.
const char* const kKnownEditors[] = {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad",
                                     "pluma", "xed", "featherpad", "leafpad", "geany"};

// The Exec value of a desktop entry meant for a graphical session; empty for
// one that needs a terminal or cannot be read.
QString GraphicalExec(const QString& desktopFile) {
  QFile file(desktopFile);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QTextStream in(&file);
  bool inEntry = false;
  QString exec;
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      inEntry = line == QLatin1String("[Desktop Entry]");
      continue;
    }
    if (!inEntry) continue;
    if (line.startsWith(QLatin1String("Terminal=")) && line.mid(9).trimmed() == QLatin1String("true")) return {};
    if (line.startsWith(QLatin1String("Exec="))) exec = line.mid(5).trimmed();
  }
  return exec;
}

// The desktop's default application for plain text, as a command for path.
QStringList DefaultTextEditorCommand(const QString& path) {
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForFinished(3000) || query.exitCode() != 0) return {};
  const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
  if (id.isEmpty() || id.contains(QLatin1Char('/'))) return {};
  const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
  if (file.isEmpty()) return {};
  return DesktopExecCommand(GraphicalExec(file), path);
}

}  // namespace

QStringList DesktopExecCommand(const QString& exec, const QString& path) {
  QStringList words;
  QString word;
  bool quoted = false;
  bool inWord = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec.at(i);
    if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
      word += exec.at(++i);
    } else if (c == QLatin1Char('"')) {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && c.isSpace()) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words << word;

  QStringList command;
  bool pathGiven = false;
  for (const QString& each : words) {
    static const QStringList fileCodes{QStringLiteral("%f"), QStringLiteral("%F"), QStringLiteral("%u"),
                                       QStringLiteral("%U")};
    if (fileCodes.contains(each)) {
      command << path;
      pathGiven = true;
      continue;
    }
    QString expanded;
    for (qsizetype i = 0; i < each.size(); ++i) {
      if (each.at(i) != QLatin1Char('%')) {
        expanded += each.at(i);
      } else if (i + 1 < each.size()) {
        if (each.at(++i) == QLatin1Char('%')) expanded += QLatin1Char('%');
      }
    }
    if (!expanded.isEmpty()) command << expanded;
  }
  if (command.isEmpty()) return {};
  if (!pathGiven) command << path;
  return command;
}

bool DesktopPrograms::OpenInTextEditor(const QString& path) {
  QStringList command = DefaultTextEditorCommand(path);
  if (command.isEmpty()) {
    for (const char* editor : kKnownEditors) {
      const QString found = QStandardPaths::findExecutable(QString::fromLatin1(editor));
      if (found.isEmpty()) continue;
      command = {found, path};
      break;
    }
  }
  if (command.isEmpty()) return false;
  const QString program = command.takeFirst();
  return QProcess::startDetached(program, command);
}

bool DesktopPrograms::OpenWithAssociatedProgram(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

LocalPrograms& Programs() {
  static DesktopPrograms desktop;
  return installed != nullptr ? *installed : desktop;
}

ScopedLocalPrograms::ScopedLocalPrograms(LocalPrograms& programs) : previous_(installed) { installed = &programs; }

ScopedLocalPrograms::~ScopedLocalPrograms() { installed = previous_; }

}  // namespace veltrim::ui
