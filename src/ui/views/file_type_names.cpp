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
  if (qobject_cast<QApplication*>(QApplication::instance()) == nullptr) return QIcon();
  // Asking the style looks the icon up in the theme every time; a long
  // listing of unknown types asks for the same one over and over.
  static QHash<int, QIcon> cache;
  auto found = cache.constFind(static_cast<int>(which));
  if (found == cache.constEnd()) found = cache.insert(static_cast<int>(which), QApplication::style()->standardIcon(which));
  return *found;
}

QIcon ThemedOr(const QString& name, QStyle::StandardPixmap fallback) {
  if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  return StandardIcon(fallback);
}

QString TypeNameOf(const QMimeType& type) {
  if (!type.isValid()) return QString();
  if (IsProgramType(type.name())) return QString::fromLatin1(kApplicationTypeText);
  return type.comment();
}

QIcon IconOf(const QMimeType& type) {
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

}  // namespace

QString ShellTypeName(const QString& fileName) { return TypeNameOf(TypeOfName(fileName)); }

QString GenericTypeText(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot >= 1) return fileName.mid(dot + 1).toUpper() + QStringLiteral(" File");
  return QStringLiteral("Data File");
}

bool HasAssociatedProgram(const QString& fileName, const QString& typeText) {
  if (typeText == QLatin1String(kFolderTypeText) || typeText == QLatin1String(kAliasTypeText)) return false;
  return typeText != GenericTypeText(fileName);
}

QString FileTypeText(const QString& fileName) {
  QString text = ShellTypeName(fileName);
  if (text.isEmpty()) text = GenericTypeText(fileName);
  return text;
}

QIcon ShellIcon(const QString& fileName) { return IconOf(TypeOfName(fileName)); }

FileTypeAndIcon LookUpFileType(const QString& fileName) {
  // The key: from the third-last "." on (the whole name when it has fewer
  // dots); a name with no dot is looked up whole, as literal patterns
  // ("Makefile") match whole names. Case is kept: some patterns differ by it.
  qsizetype from = fileName.size();
  for (int dots = 0; dots < 3; ++dots) {
    const qsizetype dot = from > 0 ? fileName.lastIndexOf(QLatin1Char('.'), from - 1) : -1;
    if (dot < 0) break;
    from = dot;
  }
  const bool hasDot = from < fileName.size();
  // A leading "." (".profile") is part of the name, not an extension.
  const QString key = hasDot && from > 0 ? fileName.mid(from) : fileName;
  static QHash<QString, FileTypeAndIcon> cache;
  auto found = cache.constFind(key);
  if (found == cache.constEnd()) {
    // Stand-in name with the same ending: what the database sees is the same.
    const QString probe = key == fileName ? fileName : QStringLiteral("x") + key;
    const QMimeType type = TypeOfName(probe);
    FileTypeAndIcon answer{TypeNameOf(type), IconOf(type)};
    // Bounded: a directory of unique odd names must not grow it for ever.
    if (cache.size() > 20000) cache.clear();
    found = cache.insert(key, answer);
  }
  FileTypeAndIcon result = *found;
  if (result.typeText.isEmpty()) result.typeText = GenericTypeText(fileName);
  if (result.typeText == QLatin1String(kApplicationTypeText)) result.icon = ApplicationIcon();
  return result;
}

QIcon FolderIcon() {
  static const QIcon icon = ThemedOr(QStringLiteral("folder"), QStyle::SP_DirIcon);
  return icon;
}
QIcon ApplicationIcon() {
  static const QIcon icon = ThemedOr(QStringLiteral("application-x-executable"), QStyle::SP_ComputerIcon);
  return icon;
}
QIcon AliasIcon() {
  static const QIcon icon = ThemedOr(QStringLiteral("emblem-symbolic-link"), QStyle::SP_DirLinkIcon);
  return icon;
}
QIcon FinishedIcon() {
  static const QIcon icon = ThemedOr(QStringLiteral("emblem-default"), QStyle::SP_DialogApplyButton);
  return icon;
}
QIcon TransferringIcon() {
  static const QIcon icon = ThemedOr(QStringLiteral("go-next"), QStyle::SP_ArrowRight);
  return icon;
}

}  // namespace veltrim::ui
