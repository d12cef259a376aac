#pragma once
// The command table of the main window: for every command id its menu text,
// status-line prompt, tool tip, key, mark and enabling rule.

#include <span>

#include "ui/app/command_rules.h"

namespace veltrim::ui {

enum class CommandMark {
  None,
  Autologin,       // check mark: the Autologin preference
  TransferBinary,  // radio marks of the three transfer types
  TransferAscii,
  TransferAuto,
  ConnectionBar,  // check marks: the bar is visible
  LogWindow,
  TreeView,
  Toolbar,
  StatusBar,
  ListMode,  // radio mark on the current display mode
};

struct CommandSpec {
  int id;
  const char* menuText;  // "&Save\tCtrl+S"; empty for toolbar-only commands
  const char* prompt;    // status line text while the command is highlighted
  const char* toolTip;
  const char* shortcut;  // QKeySequence text, empty when none
  EnableRule rule;
  CommandMark mark;
  const char* themeIcon;  // icon theme name; empty: no theme icon is asked for
};

std::span<const CommandSpec> CommandTable();
const CommandSpec* FindCommand(int id);

}  // namespace veltrim::ui
