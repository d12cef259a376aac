#pragma once
// Reading a remote directory into listing entries.

#include <atomic>
#include <vector>

#include "core/engine/listing.h"

namespace veltrim {

class CFtpConnection;

// Lists the connection's current directory (whole, no cache), stopping early
// when abort is set. A directory that cannot be read gives what was read
// before the failure (usually nothing).
std::vector<ListingEntry> ListCurrentDirectory(CFtpConnection& connection, const std::atomic<bool>* abort);

}  // namespace veltrim
