#include "ui/views/remote_list_menus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "ui/shared/command_ids.h"
#include "ui/views/file_type_names.h"

namespace veltrim::ui {

namespace {

struct MenuBuilder {
  const std::function<QAction*(int)>& command;
  const std::function<void(int)>& run;

  QAction* Add(QMenu* menu, int id, const char* text) const {
    QAction* item = menu->addAction(QString::fromLatin1(text));
    item->setData(id);
    if (QAction* source = command ? command(id) : nullptr) {
      item->setEnabled(source->isEnabled());
      item->setIcon(source->icon());
      if (source->isCheckable()) {
        item->setCheckable(true);
        item->setChecked(source->isChecked());
      }
    }
    auto runner = run;
    QObject::connect(item, &QAction::triggered, menu, [runner, id] {
      if (runner) runner(id);
    });
    return item;
  }
};

}  // namespace

ListMenuKind ListMenuFor(bool hasSelection, const QString& firstSelectedType) {
  if (!hasSelection) return ListMenuKind::Nothing;
  return firstSelectedType == QLatin1String(kFolderTypeText) ? ListMenuKind::Folder : ListMenuKind::File;
}

std::unique_ptr<QMenu> BuildListMenu(ListMenuKind kind, const std::function<QAction*(int)>& command,
                                     const std::function<void(int)>& run, QWidget* parent) {
  auto menu = std::make_unique<QMenu>(parent);
  const MenuBuilder builder{command, run};
  switch (kind) {
    case ListMenuKind::Nothing: {
      QMenu* view = menu->addMenu(QStringLiteral("&View"));
      builder.Add(view, ID_VIEW_LARGEICON, "Large Icon");
      builder.Add(view, ID_VIEW_SMALLICON, "Small Icon");
      builder.Add(view, ID_VIEW_LIST, "List");
      builder.Add(view, ID_VIEW_DETAILS, "Details");
      menu->addSeparator();
      builder.Add(menu.get(), ID_REFRESH, "Refresh");
      break;
    }
    case ListMenuKind::Folder:
      menu->setDefaultAction(builder.Add(menu.get(), ID_CHANGE_DIRECTORY, "Change to..."));
      builder.Add(menu.get(), ID_DOWNLOAD, "&Download");
      menu->addSeparator();
      builder.Add(menu.get(), ID_RENAME_FILE, "Re&name");
      builder.Add(menu.get(), ID_REMOVE_DIRECTORY, "&Remove");
      menu->addSeparator();
      builder.Add(menu.get(), ID_REFRESH, "Refresh");
      break;
    case ListMenuKind::File: {
      menu->setDefaultAction(builder.Add(menu.get(), ID_DOWNLOAD, "&Download"));
      menu->addSeparator();
      builder.Add(menu.get(), ID_RENAME_FILE, "Re&name");
      builder.Add(menu.get(), ID_DELETE_FILE, "De&lete");
      menu->addSeparator();
      QMenu* viewWith = menu->addMenu(QStringLiteral("&View with"));
      builder.Add(viewWith, ID_VIEW_FILE, "&Notepad");
      builder.Add(viewWith, ID_VIEW_ASSOCIATED, "&Associated Viewer");
      QMenu* editWith = menu->addMenu(QStringLiteral("&Edit with"));
      builder.Add(editWith, ID_EDIT_FILE, "&Notepad");
      builder.Add(editWith, ID_EDIT_ASSOCIATED, "&Associated Viewer");
      builder.Add(menu.get(), ID_FILE_INFORMATION, "File &Information");
      menu->addSeparator();
      builder.Add(menu.get(), ID_REFRESH, "Refresh");
      break;
    }
  }
  return menu;
}

QPoint ListMenuPosition(bool fromKeyboard, const QPoint& mouseGlobal, const QWidget* list) {
  if (!fromKeyboard || list == nullptr) return mouseGlobal;
  return list->mapToGlobal(QPoint(5, 5));
}

}  // namespace veltrim::ui
