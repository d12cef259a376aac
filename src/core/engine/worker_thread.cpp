#include "core/engine/worker_thread.h"

namespace veltrim::engine {

WorkerThread::WorkerThread(std::function<void()> body) : completion_(std::make_shared<Completion>()) {
  thread_ = std::thread([completion = completion_, body = std::move(body)]() mutable {
    try {
      body();
    } catch (...) {
      // A worker reports through the session state; nothing may escape a thread.
    }
    body = nullptr;  // release what the body shares before announcing the end
    std::lock_guard lock(completion->mutex);
    completion->finished = true;
    completion->ended.notify_all();
  });
}

WorkerThread::~WorkerThread() { Release(std::chrono::milliseconds(0)); }

bool WorkerThread::Finished() const {
  std::lock_guard lock(completion_->mutex);
  return completion_->finished;
}

void WorkerThread::Release(std::chrono::milliseconds grace) {
  if (!thread_.joinable()) return;
  bool finished;
  {
    std::unique_lock lock(completion_->mutex);
    finished = completion_->ended.wait_for(lock, grace, [&] { return completion_->finished; });
  }
  if (finished) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

}  // namespace veltrim::engine
