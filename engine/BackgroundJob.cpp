#include "BackgroundJob.h"

BackgroundJob::BackgroundJob(std::function<void(Control&)> work)
    : thread_([this, work = std::move(work)] {
          try {
              work(control_);
          } catch (...) {
              // A job reports through what it publishes; an error ends it early.
          }
          finished_.store(true, std::memory_order_release);
      }) {}

BackgroundJob::~BackgroundJob() {
    Cancel();
    thread_.join();
}

int BackgroundJob::Percent() const {
    const std::uint64_t total = Total();
    if (total == 0)
        return Finished() ? 100 : 0;
    const std::uint64_t done = Done();
    return done >= total ? 100 : static_cast<int>(done * 100 / total);
}
