#include "ui/app/string_table.h"

namespace veltrim::ui {
namespace {

struct Entry {
  unsigned id;
  const char* text;
};

// The texts are the program's own and are kept exactly, spelling included.
constexpr Entry kMessages[] = {
    {61204,
     "An error occured while trying to create the new directory.  This probably means that you "
     "do not have the proper permissions to create a directory at this location."},
    {61205,
     "An error occured while trying to remove the directory.  This probably means that you do "
     "not have the proper permissions to remove a directory at this location or the directory "
     "is not empty.  You may only remove an empty directory."},
    {61206,
     "An error occured while trying to delete a file.  This probably means that your account "
     "does not have permission to delete the file or that the file no longer exists."},
    {61207,
     "An error occured while trying to rename a file.  This probably means that your account "
     "does not have permission to rename the file or that the file no longer exists."},
    {61208,
     "An error occured while trying to download a file.  This probably means that your account "
     "does not have permission to download the file or that the file no longer exists."},
    {61209,
     "An error occured while transfering a file.  A break in the connection between you and the "
     "server is the probable cause of this error."},
    {61210,
     "An error occured while trying to transfer a file.  This probably means that your account "
     "does not have permission to transfer the file or that the file no longer exists."},
    {61211,
     "An error occured while trying to establish a new connection to the server for file "
     "transfers.  The transfers will occur on the existing connection.  You will not be able to "
     "navigate directories during the transfer."},
    {61212,
     "An error occured while trying to upload a directory to the server.  This could mean that "
     "you do not have permission to upload files or create directories on the server."},
    {61219,
     "Welcome to VeltrimFTP.  In order to get started and logged onto an FTP server, please "
     "select one of the two options below.  You will need some information from your system "
     "administrator to sucessfully connect to your server."},
};

}  // namespace

QString LoadMessage(unsigned id) {
  for (const Entry& entry : kMessages)
    if (entry.id == id) return QString::fromLatin1(entry.text);
  return QString();
}

}  // namespace veltrim::ui
