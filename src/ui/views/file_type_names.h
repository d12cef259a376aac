#pragma once
// The desktop's names and icons for file types, looked up by file name only
// (the file need not exist; nothing touches the disk). Stands in for the
// shell's type names: the MIME database's description of the name's type.

#include <QIcon>
#include <QString>

namespace veltrim::ui {

// The type text a folder always carries; the list and the commands
// recognise folders by it.
inline constexpr char kFolderTypeText[] = "File Folder";
inline constexpr char kAliasTypeText[] = "Alias";
inline constexpr char kApplicationTypeText[] = "Application";

// The desktop's description of the type of fileName ("Plain text document",
// "Application" for programs), or an empty text when the desktop knows the
// name by no pattern.
QString ShellTypeName(const QString& fileName);
// The type text of a file row: ShellTypeName, or when that is empty the
// generic form (the text after the last "." not in first place, upper-cased,
// then " File"; "Data File" when there is no such ".").
QString FileTypeText(const QString& fileName);
QString GenericTypeText(const QString& fileName);
// The desktop knows a program for a row: not a folder or an alias, and its
// type text is not the generic one (the desktop had no name for the type).
bool HasAssociatedProgram(const QString& fileName, const QString& typeText);

// The type text (as FileTypeText) and icon (as ShellIcon) of a file name in
// one look-up. Names are looked up by their last three name parts (the
// longest patterns the desktop knows, like "*.pkg.tar.zst"), and the answers
// are kept, so a directory of 100,000 files asks the database about as
// often as it has kinds of files.
struct FileTypeAndIcon {
  QString typeText;
  QIcon icon;
};
FileTypeAndIcon LookUpFileType(const QString& fileName);

// Small icon of a file name's type; never null.
QIcon ShellIcon(const QString& fileName);
QIcon FolderIcon();
QIcon ApplicationIcon();
QIcon AliasIcon();
QIcon FinishedIcon();
QIcon TransferringIcon();

}  // namespace veltrim::ui
