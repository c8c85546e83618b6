// The audio outputs' default notify worker: a thread of its own, polling on the wall clock.
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/api/audio.h"

namespace plat {

namespace {

class ThreadWorker : public AudioDevice::Worker {
 public:
  ThreadWorker(uint32_t periodMs, std::function<void()> poll) {
    thread_ = std::thread([this, periodMs, poll = std::move(poll)] {
      while (!stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
        if (stop_) break;
        poll();
      }
    });
  }
  ~ThreadWorker() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioDevice::Worker> AudioDevice::StartWorker(uint32_t periodMs, std::function<void()> poll) {
  return std::make_unique<ThreadWorker>(periodMs, std::move(poll));
}

}  // namespace plat
