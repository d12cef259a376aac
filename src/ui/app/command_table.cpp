#include "ui/app/command_table.h"

#include "ui/shared/command_ids.h"

namespace veltrim::ui {
namespace {

using R = EnableRule;
using M = CommandMark;

constexpr CommandSpec kCommands[] = {
    {ID_FILE_NEW, "&New\tCtrl+N", "Create a new document", "New", "Ctrl+N", R::Always, M::None,
     "document-new"},
    {ID_FILE_OPEN, "&Open...\tCtrl+O", "Open an existing document", "Open", "Ctrl+O", R::Always,
     M::None, "document-open"},
    {ID_FILE_SAVE, "&Save\tCtrl+S", "Save the active document", "Save", "Ctrl+S",
     R::ProfilePresent, M::None, "document-save"},
    {ID_FILE_SAVE_AS, "Save &As...", "Save the active document with a new name", "Save As", "",
     R::ProfilePresent, M::None, "document-save-as"},
    {ID_IMPORT_SERVER, "&Import Server", "", "", "", R::Always, M::None, ""},
    {ID_PREFERENCES, "&Preferences", "", "", "", R::Always, M::None, ""},
    {ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents", "Exit", "",
     R::Always, M::None, "application-exit"},
    {ID_CONNECT, "&Connect", "Connect to the specified server", "Connect to Server", "",
     R::CanConnect, M::None, ""},
    {ID_DISCONNECT, "&Disconnect", "Disconnect from the current server",
     "Disconnect from Server", "", R::Connected, M::None, ""},
    {ID_EDIT_SETTINGS, "&Edit Settings", "Edit the current session settings", "Edit Settings",
     "", R::ProfilePresent, M::None, "document-properties"},
    {ID_ENABLE_AUTOLOGIN, "Ena&ble Autologin", "", "", "", R::Always, M::Autologin, ""},
    {ID_DOWNLOAD, "&Download File(s)", "Download file(s) from the server", "Download", "",
     R::Session, M::None, ""},
    {ID_DOWNLOAD_DIRECTORY, "Download Directory",
     "Download a full directory structure to your hard drive", "Download Directory", "",
     R::Session, M::None, ""},
    {ID_UPLOAD, "&Upload File(s)", "Upload file(s) to the server", "Upload", "", R::Session,
     M::None, ""},
    {ID_UPLOAD_DIRECTORY, "Upload Directory", "Upload an entire directory to the server",
     "Upload Directory", "", R::Session, M::None, ""},
    {ID_CHANGE_DIRECTORY, "&Change Directory", "Change the current directory",
     "Change Directory", "", R::Session, M::None, ""},
    {ID_CREATE_DIRECTORY, "Create D&irectory", "Create a directory", "New Directory", "",
     R::Session, M::None, "folder-new"},
    {ID_REMOVE_DIRECTORY, "&Remove Directory", "Remove a directory", "Remove Directory", "",
     R::Session, M::None, ""},
    {ID_HOME, "", "Change to your home directory on the server", "Change to Home", "",
     R::Session, M::None, "go-home"},
    {ID_UP_LEVEL, "", "Change to parent directory", "Up a Level", "", R::Session, M::None,
     "go-up"},
    {ID_ROOT, "", "Change to the root directory", "Root", "", R::Session, M::None, "go-top"},
    {ID_RENAME_FILE, "Re&name File\tF2", "Rename a file", "Rename", "F2", R::Session, M::None,
     ""},
    {ID_DELETE_FILE, "De&lete File\tDel", "Delete a file", "Delete", "Del", R::Session, M::None,
     "edit-delete"},
    {ID_VIEW_FILE, "&View File", "", "", "", R::Session, M::None, ""},
    {ID_EDIT_FILE, "&Edit File", "", "", "", R::Session, M::None, ""},
    {ID_VIEW_ASSOCIATED, "&Associated Viewer", "", "", "", R::AssociatedViewer, M::None, ""},
    {ID_EDIT_ASSOCIATED, "&Associated Viewer", "", "", "", R::AssociatedViewer, M::None, ""},
    {ID_FILE_INFORMATION, "File &Information", "Retrieve the file description from the server",
     "Get file information", "", R::FileInformation, M::None, "dialog-information"},
    {ID_BINARY, "&Binary", "Change to Binary transfer type", "Binary", "", R::TransferType,
     M::TransferBinary, ""},
    {ID_ASCII, "&Ascii", "Change to ASCII transfer type", "ASCII", "", R::TransferType,
     M::TransferAscii, ""},
    {ID_AUTO, "Au&to", "Automatically choose between Ascii and Binary transfer types", "Auto",
     "", R::TransferType, M::TransferAuto, ""},
    {ID_REFRESH, "&Refresh\tF5", "", "", "F5", R::Session, M::None, "view-refresh"},
    {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar", "", R::Always,
     M::Toolbar, ""},
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", "",
     R::Always, M::StatusBar, ""},
    {ID_VIEW_CONNECTION_BAR, "&Connection Bar", "", "", "", R::Always, M::ConnectionBar, ""},
    {ID_VIEW_LOG_WINDOW, "&Log Window", "", "", "", R::Always, M::LogWindow, ""},
    {ID_VIEW_TREE, "Tr&ee View", "", "", "", R::Always, M::TreeView, ""},
    {ID_VIEW_SMALLICON, "Small Icon", "Display items by using small icons.", "Small Icons", "",
     R::ListViewExists, M::ListMode, ""},
    {ID_VIEW_LARGEICON, "Large Icon", "Display items by using large icons.", "Large Icons", "",
     R::ListViewExists, M::ListMode, ""},
    {ID_VIEW_LIST, "List", "Displays items in a list.", "List", "", R::ListViewExists,
     M::ListMode, ""},
    {ID_VIEW_DETAILS, "Details", "Displays detailed information about each item in the window.",
     "Details", "", R::ListViewExists, M::ListMode, ""},
    {ID_SELECT_ALL, "", "", "", "Ctrl+A", R::Always, M::None, ""},
    {ID_HELP_CONTENTS, "&Contents", "Open the help contents file", "Help Contents", "",
     R::Always, M::None, "help-contents"},
    {ID_HELP_INDEX, "&Topics", "", "", "", R::Always, M::None, ""},
    {ID_HELP_GETTING_STARTED, "&Getting Started", "", "", "", R::Always, M::None, ""},
    {ID_APP_ABOUT, "&About VeltrimFTP...", "", "", "", R::Always, M::None, "help-about"},
};

}  // namespace

std::span<const CommandSpec> CommandTable() { return kCommands; }

const CommandSpec* FindCommand(int id) {
  for (const CommandSpec& command : kCommands)
    if (command.id == id) return &command;
  return nullptr;
}

}  // namespace veltrim::ui
