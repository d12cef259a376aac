#pragma once
// The transfer worker: one thread that empties the queue item by item,
// driving the File Transfer window through the host.

#include <cstdint>
#include <memory>

namespace veltrim {
class CFtpConnection;
namespace engine {
struct SessionState;
}
}  // namespace veltrim

namespace veltrim::engine {

struct TransferRunRequest {
  std::shared_ptr<SessionState> state;
  std::shared_ptr<CFtpConnection> connection;
  bool background = false;  // on the second connection; nobody waits for it
  uint64_t operationId = 0;  // the waited-for operation when !background
};

void RunTransferQueue(const TransferRunRequest& request);

}  // namespace veltrim::engine
