#include "ui/app/icon_theme.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "ui/widgets/drawn_images.h"

namespace veltrim::ui {
namespace {

bool ThemeInstalled(const QStringList& paths, const QString& name) {
  for (const QString& path : paths)
    if (QFileInfo::exists(path + QLatin1Char('/') + name + QStringLiteral("/index.theme")))
      return true;
  return false;
}

}  // namespace

void SetUpIconTheme() {
  QStringList paths = QIcon::themeSearchPaths();
  QStringList candidates{QDir::homePath() + QStringLiteral("/.local/share/icons"),
                         QDir::homePath() + QStringLiteral("/.icons")};
  const QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS",
                                                QStringLiteral("/usr/local/share:/usr/share"));
  for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
    candidates << dir + QStringLiteral("/icons");
  candidates << QStringLiteral("/usr/share/icons") << QStringLiteral("/usr/share/pixmaps");
  for (const QString& candidate : candidates)
    if (!paths.contains(candidate) && QFileInfo(candidate).isDir()) paths << candidate;
  QIcon::setThemeSearchPaths(paths);

  const QString current = QIcon::themeName();
  if (current.isEmpty() || current == QLatin1String("hicolor") || !ThemeInstalled(paths, current)) {
    if (ThemeInstalled(paths, QStringLiteral("Adwaita")))
      QIcon::setThemeName(QStringLiteral("Adwaita"));
    else if (ThemeInstalled(paths, QStringLiteral("hicolor")))
      QIcon::setThemeName(QStringLiteral("hicolor"));
  }
  QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

QIcon CommandIcon(int commandId, const char* themeName) {
  if (themeName != nullptr && *themeName != '\0') {
    const QString name = QString::fromLatin1(themeName);
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  }
  return DrawnCommandIcon(commandId);
}

}  // namespace veltrim::ui
