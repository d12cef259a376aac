#pragma once
// One worker thread of the session. The thread never dangles: it is joined
// once it has ended, or, when it is still blocked in the network after the
// session gave it up, detached. A worker owns (shares) everything it touches,
// so running on detached is safe.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace veltrim::engine {

class WorkerThread {
 public:
  explicit WorkerThread(std::function<void()> body);
  ~WorkerThread();  // Release(0)
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  bool Finished() const;
  // Joins the thread when it has ended or ends within grace; otherwise
  // detaches it. Idempotent.
  void Release(std::chrono::milliseconds grace);

 private:
  struct Completion {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
  };
  std::shared_ptr<Completion> completion_;
  std::thread thread_;
};

}  // namespace veltrim::engine
