#pragma once
// The remote list's three pop-up menus: one for an empty selection (view
// modes and Refresh), one for a folder, one for files and aliases. Their
// entries run the main window's commands.

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QAction;
class QWidget;

namespace veltrim::ui {

enum class ListMenuKind { Nothing, Folder, File };

// Which menu: nothing selected, the first selected row a folder, or else.
ListMenuKind ListMenuFor(bool hasSelection, const QString& firstSelectedType);

// Builds the menu. command(id) is the main window's action of a command
// (its enabled state and check mark are copied); run(id) runs it.
std::unique_ptr<QMenu> BuildListMenu(ListMenuKind kind, const std::function<QAction*(int)>& command,
                                     const std::function<void(int)>& run, QWidget* parent);

// Where the menu opens: at the mouse, or for the keyboard 5 pixels right of
// and below the list's top-left corner (in screen coordinates).
QPoint ListMenuPosition(bool fromKeyboard, const QPoint& mouseGlobal, const QWidget* list);

}  // namespace veltrim::ui
