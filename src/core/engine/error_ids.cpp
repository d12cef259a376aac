#include "core/engine/error_ids.h"

namespace veltrim {

std::string ErrorMessageText(uint32_t id) {
  switch (id) {
    case kErrCreateDirectory:
      return "An error occured while trying to create the new directory.  This probably means that you do not "
             "have the proper permissions to create a directory at this location.";
    case kErrRemoveDirectory:
      return "An error occured while trying to remove the directory.  This probably means that you do not have "
             "the proper permissions to remove a directory at this location or the directory is not empty.  You "
             "may only remove an empty directory.";
    case kErrDeleteFile:
      return "An error occured while trying to delete a file.  This probably means that your account does not "
             "have permission to delete the file or that the file no longer exists.";
    case kErrRenameFile:
      return "An error occured while trying to rename a file.  This probably means that your account does not "
             "have permission to rename the file or that the file no longer exists.";
    case kErrDownloadFile:
      return "An error occured while trying to download a file.  This probably means that your account does not "
             "have permission to download the file or that the file no longer exists.";
    case kErrTransferData:
      return "An error occured while transfering a file.  A break in the connection between you and the server "
             "is the probable cause of this error.";
    case kErrTransferOpen:
      return "An error occured while trying to transfer a file.  This probably means that your account does not "
             "have permission to transfer the file or that the file no longer exists.";
    case kErrTransferConnection:
      return "An error occured while trying to establish a new connection to the server for file transfers.  The "
             "transfers will occur on the existing connection.  You will not be able to navigate directories "
             "during the transfer.";
    case kErrUploadDirectory:
      return "An error occured while trying to upload a directory to the server.  This could mean that you do not "
             "have permission to upload files or create directories on the server.";
    default:
      return {};
  }
}

}  // namespace veltrim
