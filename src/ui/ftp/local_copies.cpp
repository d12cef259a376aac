#include "ui/ftp/local_copies.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "core/engine/safe_local_path.h"

namespace veltrim::ui {

namespace {

constexpr char kFolderName[] = "veltrimftp-copies";

QString SystemError(const QString& what, const QString& path) {
  return what.arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

QString PrivateCopyFolder(QString* error) {
  const bool hasRuntime = !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
  const QString base = QStandardPaths::writableLocation(hasRuntime ? QStandardPaths::RuntimeLocation
                                                                   : QStandardPaths::CacheLocation);
  auto fail = [error](const QString& why) {
    if (error != nullptr) *error = why;
    return QString();
  };
  if (base.isEmpty() || !QDir().mkpath(base)) return fail(QStringLiteral("There is no folder for local copies."));
  const QString folder = QDir(base).filePath(QString::fromLatin1(kFolderName));
  const QByteArray native = QFile::encodeName(folder);
  if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
    return fail(SystemError(QStringLiteral("The folder %1 could not be made: %2"), folder));
  // A folder found in place must be ours alone: never follow a link someone
  // else put there, and take back rights others were given.
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0)
    return fail(SystemError(QStringLiteral("The folder %1 could not be checked: %2"), folder));
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
    return fail(QStringLiteral("%1 is not a folder of your own.").arg(folder));
  if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
    return fail(SystemError(QStringLiteral("The folder %1 could not be made private: %2"), folder));
  return folder;
}

QString SafeCopyName(const QString& remoteName) {
  if (IsSafeLocalName(remoteName.toStdString())) return remoteName;
  QString name = remoteName;
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  name.replace(QChar(u'\0'), QLatin1Char('_'));
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) name.prepend(QLatin1Char('_'));
  return name;
}

}  // namespace veltrim::ui
