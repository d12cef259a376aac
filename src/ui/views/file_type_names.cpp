#include "ui/views/file_type_names.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

namespace veltrim::ui {

namespace {

// MIME types of programs, which the list shows as "Application" with the
// application icon.
bool IsProgramType(const QString& mimeName) {
  static const QStringList kPrograms{
      QStringLiteral("application/x-ms-dos-executable"), QStringLiteral("application/x-msdownload"),
      QStringLiteral("application/x-msdos-program"), QStringLiteral("application/vnd.microsoft.portable-executable"),
      QStringLiteral("application/x-executable")};
  return kPrograms.contains(mimeName);
}

// Looks a name's type up by its name alone. The database's default type
// means "no pattern matched".
QMimeType TypeOfName(const QString& fileName) {
  static const QMimeDatabase database;
  const QMimeType type = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return QMimeType();
  return type;
}

QIcon StandardIcon(QStyle::StandardPixmap which) {
  if (QApplication::instance() == nullptr || qobject_cast<QApplication*>(QApplication::instance()) == nullptr)
    return QIcon();
  return QApplication::style()->standardIcon(which);
}

QIcon ThemedOr(const QString& name, QStyle::StandardPixmap fallback) {
  if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  return StandardIcon(fallback);
}

}  // namespace

QString ShellTypeName(const QString& fileName) {
  const QMimeType type = TypeOfName(fileName);
  if (!type.isValid()) return QString();
  if (IsProgramType(type.name())) return QString::fromLatin1(kApplicationTypeText);
  return type.comment();
}

QString GenericTypeText(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot >= 1) return fileName.mid(dot + 1).toUpper() + QStringLiteral(" File");
  return QStringLiteral("Data File");
}

QString FileTypeText(const QString& fileName) {
  QString text = ShellTypeName(fileName);
  if (text.isEmpty()) text = GenericTypeText(fileName);
  return text;
}

QIcon ShellIcon(const QString& fileName) {
  const QMimeType type = TypeOfName(fileName);
  if (!type.isValid()) return StandardIcon(QStyle::SP_FileIcon);
  static QHash<QString, QIcon> cache;
  auto found = cache.constFind(type.name());
  if (found != cache.constEnd()) return *found;
  QIcon icon;
  if (IsProgramType(type.name())) {
    icon = ApplicationIcon();
  } else if (QIcon::hasThemeIcon(type.iconName())) {
    icon = QIcon::fromTheme(type.iconName());
  } else if (QIcon::hasThemeIcon(type.genericIconName())) {
    icon = QIcon::fromTheme(type.genericIconName());
  } else {
    icon = StandardIcon(QStyle::SP_FileIcon);
  }
  cache.insert(type.name(), icon);
  return icon;
}

QIcon FolderIcon() { return ThemedOr(QStringLiteral("folder"), QStyle::SP_DirIcon); }
QIcon ApplicationIcon() { return ThemedOr(QStringLiteral("application-x-executable"), QStyle::SP_ComputerIcon); }
QIcon AliasIcon() { return ThemedOr(QStringLiteral("emblem-symbolic-link"), QStyle::SP_DirLinkIcon); }
QIcon FinishedIcon() { return ThemedOr(QStringLiteral("emblem-default"), QStyle::SP_DialogApplyButton); }
QIcon TransferringIcon() { return ThemedOr(QStringLiteral("go-next"), QStyle::SP_ArrowRight); }

}  // namespace veltrim::ui
