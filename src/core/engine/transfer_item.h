#pragma once
// One entry of the transfer queue.

#include <cstdint>
#include <string>

namespace veltrim {

struct TransferItem {
  std::string Destination;  // local path for a download, remote path for an upload
  std::string Source;       // remote path for a download, local path for an upload
  std::string TypeText;     // type description shown for the item
  int32_t IconIndex = 0;    // the item's small icon in the host's file icon list
  bool IsDownload = true;
  bool Binary = true;       // binary (true) or ASCII (false) transfer type
  uint64_t Size = 0;        // bytes, used only for progress
};

}  // namespace veltrim
