#include "ui/profile/session_settings_help.h"

#include <array>
#include <utility>

namespace veltrim::ui {
namespace {

// Kept word for word, spelling included: users and translators know them so.
constexpr std::array<std::pair<int, const char*>, 13> kHelpTexts = {{
    {1008, "Enter a name that you will remember for this specifc FTP session you are about to start.  This can be anything you want, but you should try and make it descriptive.  \n\nSome examples would be \"My Web Site\" or \"XYZ Company Server\""},
    {1058, "This is the hostname of the server to which you are connecting.  This is the \"address\" of the computer on the Internet.  This value is usally provided by the system administrator of the FTP server.  \n\nAn example would be \"ftp.example.com\""},
    {1061, "If you wish to automatically change to a directory on the remote server, you can enter that here.  When you are connected to the server listed above, you will automatically change to this directory."},
    {1015, "If you wish to specify a default directory on your local comuter to store downloaded files or a directory to look for files to upload, enter it here.  VeltrimFTP will use this directory as it's default directory for this session."},
    {1009, "Enter the username you wish to login to the server with.  This value will be given to you by your system administrator."},
    {1059, "Enter your password to logon to the server here.  This is given to you by the system administrator.  If you do not wish to store your password here, you can leave this value blank.  If you do so, you will be prompted for your password when attempting to logon to the server."},
    {1063, "This is the port of the server that you wish to connect to.  This is usually port 21.  \n\nDo not change this value unless instructed to do so by your system adminitrator."},
    {1017, "Enter the number of times you wish to try and make an attempt to connect to the server.  If you first connection attempt fails, VeltrimFTP will try this many extra times to connect to the server."},
    {1065, "This is the number of seconds to wait for a connection attempt.  If a connection is not made within this time period, VeltrimFTP will either try again to make the connection or abort the connection attempt."},
    {1006, "This is the filename of the session script you wish to have run when you first logon to the server.  VeltrimFTP will then execute these commands on the server.\n\nThis value is usually blank unless you have already recorded the proper script for this server."},
    {1060, "Check this box if you would like to connect to the server anonymously."},
    {1062, "Check this box if you would like VeltrimFTP to save your password.  If you do not choose this option, you will be prompted for your password each time you wish to logon to this server."},
    {1014, "Check this box if you would like VeltrimFTP to automatically connect to the server when this settings file is opened.  If you do not check this box, VeltrimFTP will load the session settings but not initiate a connection to the server until you choose the \"Connect\" menu item."},
}};

}  // namespace

QString SessionSettingsHelpText(int controlId) {
  for (const auto& [id, text] : kHelpTexts) {
    if (id == controlId) return QString::fromLatin1(text);
  }
  return {};
}

}  // namespace veltrim::ui
